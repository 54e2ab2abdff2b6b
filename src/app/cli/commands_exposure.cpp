#include <algorithm>
#include <charconv>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "analytics/day/quote_queries.h"
#include "analytics/volatility/gamma_exposure.h"
#include "analytics/volatility/term_structure.h"
#include "app/cli/analytics_support.h"
#include "app/cli/command_support.h"
#include "app/cli/commands.h"
#include "app/cli/json_writer.h"
#include "common/config_folder.h"
#include "common/date.h"
#include "settings/contract_sizes.h"
#include "storage/store.h"

namespace zarvex::cli {

namespace {

std::string Exact(double value) {
    char text[32];
    const auto result = std::to_chars(std::begin(text), std::end(text), value);
    return std::string(text, result.ptr);
}

// Every stored day with option rows, as dates; nullopt when the rows cannot be read.
std::optional<std::vector<common::Date>> StoredDays(const storage::Database& db) {
    storage::Statement statement = analytics::quotes::Query(
        db, "SELECT DISTINCT date FROM dating WHERE option IN ('CALL', 'PUT')", {});
    if (!statement.IsValid()) {
        return std::nullopt;
    }
    std::vector<common::Date> days;
    while (statement.Step()) {
        const common::Date day = common::ParseDate(statement.ColumnText(0), "%dd.%mm.%yyyy");
        if (day != common::kInvalidDate) {
            days.push_back(day);
        }
    }
    if (statement.Failed()) {
        return std::nullopt;
    }
    return days;
}

struct ContractDay {
    std::string contract;
    analytics::OptionChain chain;
    analytics::ContractVolatility figures;
};

std::string_view SignKey(analytics::GammaSign sign) {
    return sign == analytics::GammaSign::kDealerLongCalls ? "dealer-long-calls"
                                                          : "dealer-short-calls";
}

std::string ExposureJson(const std::string& symbol, const std::string& date,
                         const std::string& contract, analytics::GammaSign sign, std::int64_t size,
                         const analytics::GammaExposure& exposure) {
    JsonWriter json;
    json.BeginObject();
    json.Key("symbol").String(symbol);
    json.Key("date").String(date);
    json.Key("contract").String(contract);
    json.Key("sign").String(SignKey(sign));
    json.Key("contract_size").Int(size);
    json.Key("forward").Optional(exposure.reference_forward > 0.0
                                     ? std::optional<double>(exposure.reference_forward)
                                     : std::nullopt);
    json.Key("strikes").BeginArray();
    for (const analytics::ExposureStrike& strike : exposure.strikes) {
        json.BeginObject();
        json.Key("strike").Number(strike.strike);
        json.Key("call").Number(strike.call);
        json.Key("put").Number(strike.put);
        json.Key("total").Number(strike.total);
        json.EndObject();
    }
    json.EndArray();
    json.Key("total").Number(exposure.total);
    json.Key("zero_gamma").Optional(exposure.zero_gamma);
    json.Key("left_out").Int(exposure.left_out);
    json.EndObject();
    return json.Text();
}

std::string ExposureCsv(const analytics::GammaExposure& exposure) {
    std::string out = "strike,call,put,total\r\n";
    for (const analytics::ExposureStrike& strike : exposure.strikes) {
        out += Exact(strike.strike) + "," + Exact(strike.call) + "," + Exact(strike.put) + "," +
               Exact(strike.total) + "\r\n";
    }
    return out;
}

}  // namespace

// The dealers' gamma by strike under an assumption of who holds what, and the futures price
// where its sum would change sign.
int CmdExposure(Context& ctx, const Words& words) {
    const Arguments args(words, {"symbol", "date", "contract", "sign"}, {"all", "csv"});
    RefusePositional(args);
    const std::string symbol = RequiredSymbol(args);
    const std::optional<common::Date> given_day = args.DayText("date");
    const std::optional<std::string> contract = args.Get("contract");
    const bool all = args.Has("all");
    if (all && contract) {
        throw UsageError("--all sums every contract of the day: leave out --contract");
    }
    analytics::GammaSign sign = analytics::GammaSign::kDealerLongCalls;
    if (const auto text = args.Get("sign")) {
        if (*text == "dealer-short-calls") {
            sign = analytics::GammaSign::kDealerShortCalls;
        } else if (*text != "dealer-long-calls") {
            throw UsageError("--sign must be dealer-long-calls or dealer-short-calls: " + *text);
        }
    }

    std::vector<std::string> problems;
    const settings::ContractSizes sizes = settings::ContractSizes::Read(
        settings::ContractSizesPath(common::UserConfigFolder()), problems);
    for (const std::string& problem : problems) {
        *ctx.err << "zarvex-cli: " << problem << " (the default size is used)\n";
    }

    Calculation calculation(ctx, symbol);
    if (!calculation.OpenQuoteDatabase()) {
        return kExitFailed;
    }
    const storage::Database& db = calculation.Quotes();
    const auto unreadable = [&] {
        *ctx.err << "zarvex-cli: " << storage::QuotePath(ctx.home, symbol).string()
                 << ": the quote rows cannot be read\n";
        return kExitFailed;
    };
    common::Date day = given_day.value_or(common::kInvalidDate);
    if (!given_day) {
        const auto days = StoredDays(db);
        if (!days) {
            return unreadable();
        }
        for (const common::Date stored : *days) {
            if (stored <= ctx.today && (day == common::kInvalidDate || stored > day)) {
                day = stored;
            }
        }
        if (day == common::kInvalidDate) {
            *ctx.err << "zarvex-cli: " << symbol << ": no day with option rows is stored\n";
            return kExitFailed;
        }
    }
    const std::string date = common::DayText(day);

    std::vector<std::string> names;
    if (contract) {
        names.push_back(*contract);
    } else {
        const auto found = analytics::ContractsOfDay(db, date);
        if (!found) {
            return unreadable();
        }
        names = *found;
    }
    std::vector<ContractDay> contracts;
    for (const std::string& name : names) {
        ContractDay entry;
        entry.contract = name;
        common::Result<analytics::OptionChain> chain =
            analytics::ReadOptionChain(db, symbol, date, name);
        if (!chain) {
            return unreadable();
        }
        entry.chain = std::move(chain).Value();
        entry.figures = analytics::VolatilityOfChain(entry.chain, day);
        contracts.push_back(std::move(entry));
    }
    if (!contract && !all && !contracts.empty()) {
        // Neither named: the day's nearest-expiring contract that has figures, else the first.
        const auto ready = [](const ContractDay& c) {
            return c.figures.status == analytics::VolatilityStatus::kReady;
        };
        auto chosen = std::find_if(contracts.begin(), contracts.end(), ready);
        for (auto it = contracts.begin(); it != contracts.end(); ++it) {
            if (ready(*it) && it->figures.days < chosen->figures.days) {
                chosen = it;
            }
        }
        ContractDay kept = std::move(chosen == contracts.end() ? contracts.front() : *chosen);
        contracts.clear();
        contracts.push_back(std::move(kept));
    }

    std::vector<analytics::ExposureContract> inputs;
    inputs.reserve(contracts.size());
    for (const ContractDay& entry : contracts) {
        inputs.push_back({&entry.chain, &entry.figures});
    }
    const std::int64_t size = sizes.Of(symbol);
    const analytics::GammaExposure exposure =
        analytics::ExposureOf(inputs, static_cast<double>(size), sign);
    const std::string shown_contract =
        all ? "all" : (contracts.empty() ? contract.value_or("") : contracts.front().contract);
    *ctx.out << (args.Has("csv")
                     ? ExposureCsv(exposure)
                     : ExposureJson(symbol, date, shown_contract, sign, size, exposure) + '\n');
    return kExitDone;
}

}  // namespace zarvex::cli

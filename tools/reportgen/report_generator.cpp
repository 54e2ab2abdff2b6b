#include "reportgen/report_generator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>
#include <utility>

#include "common/calendar.h"
#include "common/text.h"
#include "reportgen/contract_schedule.h"
#include "reportgen/market_model.h"
#include "reportgen/product.h"
#include "reportgen/random.h"

namespace zarvex::reportgen {

namespace {

using common::Date;

constexpr std::size_t kRuleWidth = 70;
constexpr std::size_t kSectionsPerPage = 4;
constexpr double kDuplicateChance = 0.12;
constexpr double kBlankLineChance = 0.10;

std::string Pad(std::string_view text, std::size_t width) {
    std::string out(text);
    if (out.size() < width) {
        out.append(width - out.size(), ' ');
    }
    return out;
}

std::string RightAlign(std::string_view text, std::size_t width) {
    std::string out;
    if (text.size() < width) {
        out.assign(width - text.size(), ' ');
    }
    out += text;
    return out;
}

// A number given in units of its last decimal, printed with all its decimals: 13050, 4 ->
// "1.3050". Whole-number arithmetic, so the expected texts do not share the parser's doubles.
std::string UnitsText(std::int64_t units, int decimals) {
    std::string digits = std::to_string(units);
    if (digits.size() <= static_cast<std::size_t>(decimals)) {
        digits.insert(0, static_cast<std::size_t>(decimals) + 1 - digits.size(), '0');
    }
    if (decimals > 0) {
        digits.insert(digits.size() - static_cast<std::size_t>(decimals), 1, '.');
    }
    return digits;
}

// As UnitsText, then trailing zeros and a trailing point dropped: "1.2250" -> "1.225".
std::string ShortUnitsText(std::int64_t units, int decimals) {
    std::string text = UnitsText(units, decimals);
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') {
            text.pop_back();
        }
        if (text.back() == '.') {
            text.pop_back();
        }
    }
    return text;
}

std::string Replace(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t pos = text.find(from); pos != std::string::npos;
         pos = text.find(from, pos + to.size())) {
        text.replace(pos, from.size(), to);
    }
    return text;
}

std::string_view StyleText(ContractStyle style) {
    // No word here may hold a product code ("EUROPEAN" holds EUR) or, outside the contract
    // code, matter to anyone.
    switch (style) {
        case ContractStyle::kAmerican:
            return "EXERCISE ANY DAY";
        case ContractStyle::kEuropean:
            return "EXERCISE AT EXPIRY ONLY";
        case ContractStyle::kWeekly:
            return "WEEKLY OPTIONS";
        case ContractStyle::kPlain:
            return "QUARTERLY OPTIONS";
    }
    return "";
}

PinOptions PinOf(const GeneratorOptions& options) {
    PinOptions pin;
    pin.strength = options.pin;
    pin.ignore_oi = options.pin_ignores_oi;
    pin.schedule.full = options.full;
    pin.schedule.plain_codes = options.plain_codes;
    return pin;
}

struct Section {
    const Product* product;
    bool call;
};

// Collects the lines of one report (in the server's spelling) and what the parser must make
// of them.
class Builder final {
public:
    Builder(const GeneratorOptions& options, Date day)
        : options_(options),
          model_(options.volatility_memory
                     ? MarketModel(options.seed, options.volatility_premium, PinOf(options))
                     : MarketModel(options.seed, options.flat_volatility, PinOf(options))),
          day_(day),
          day_text_(common::DayText(day)),
          previous_(common::PreviousTradingDay(day)) {}

    void Title(int page);
    void WriteSection(const Section& section, const std::vector<Contract>& contracts,
                      std::vector<import::ReportRow>* expected);
    void Line(std::string line) { lines_.push_back(std::move(line)); }

    const std::vector<std::string>& Lines() const { return lines_; }
    void RecordTruth(std::vector<TruthRow>* truth) { truth_ = truth; }

private:
    struct Block {
        const Section* section;
        const Contract* contract;
        std::vector<import::ReportRow>* expected;
        std::int64_t volume = 0;
        std::int64_t oi = 0;
    };

    void WriteBlock(Block& block);
    void WriteStrike(Block& block, const StrikeSeries& series, const Settlement& s);
    void WriteBlank(Block& block);
    void AddTruth(const StrikeSeries& series);
    import::ReportRow ExpectedBase(const Block& block) const;

    const GeneratorOptions& options_;
    MarketModel model_;
    Date day_;
    std::string day_text_;
    Date previous_;
    std::vector<std::string> lines_;
    std::vector<TruthRow>* truth_ = nullptr;
};

void Builder::Title(int page) {
    std::string title = "\fCURRENCY OPTIONS ON FUTURES - DAILY SETTLEMENT REPORT";
    title = Pad(title, 64) + "PAGE " + RightAlign(std::to_string(page), 4);
    Line(std::move(title));
    Line("TRADE DATE " + common::FormatDate(day_, "%mm/%dd/%yyyy") +
         "          PRELIMINARY FIGURES ARE FINAL AFTER 18:00");
    Line("");
}

void Builder::WriteSection(const Section& section, const std::vector<Contract>& contracts,
                           std::vector<import::ReportRow>* expected) {
    const Product& product = *section.product;
    std::string header =
        std::string(product.code) + "  " + std::string(product.name) + " OPTIONS ON FUTURES";
    header = Pad(header, 66) + (section.call ? "CALL" : " PUT");
    // Some headers carry trailing blanks; the option type is read from the trimmed line.
    header.append(Below(Hash(options_.seed, "header", product.code, section.call, day_), 3), ' ');
    Line(std::move(header));
    Line("STRIKE      SETTLE     DELTA    VOLUME  OPEN INT    CHANGE +/-       PRIOR");
    for (const Contract& contract : contracts) {
        Block block{&section, &contract, expected};
        WriteBlock(block);
    }
    Line(std::string(kRuleWidth, '='));
    Line("");
}

import::ReportRow Builder::ExpectedBase(const Block& block) const {import::ReportRow row;
row.symb = std::string(block.section->product->code);
row.option = block.section->call ? "CALL" : "PUT";
row.contract = Pad(block.contract->code, 8);
row.expiration = common::DayText(block.contract->expiration);
row.date = day_text_;
return row;
}  // namespace

void Builder::WriteBlock(Block& block) {
    const Product& product = *block.section->product;
    const Contract& contract = *block.contract;
    const std::uint64_t h =
        Hash(options_.seed, "block", product.code, contract.code, block.section->call, day_);

    std::string line(Below(Combine(h, 1), 3), ' ');
    line += Pad(contract.raw_code, 8) + "  " + std::string(product.name) + " " +
            std::string(StyleText(contract.style));
    line = Pad(line, 60) + "EXPIRES " + common::DateKey(contract.expiration);
    Line(std::move(line));

    int count = std::clamp(options_.strikes, 1, kMaxStrikes);
    if (options_.full) {
        count = std::max(count, kFullStrikes);
    }
    if (!product.instrument) {
        count = std::max(5, count / 2);
    }
    const double step_value =
        static_cast<double>(product.strike_step) / std::pow(10.0, product.strike_decimals);
    const std::int64_t center =
        std::llround(model_.Futures(product, contract.listed) / step_value) * product.strike_step;

    const int duplicate =
        options_.duplicates && Unit(Combine(h, 2)) < kDuplicateChance
            ? static_cast<int>(Below(Combine(h, 3), static_cast<std::uint64_t>(count)))
            : -1;
    const int blank =
        options_.blank_lines && Unit(Combine(h, 4)) < kBlankLineChance
            ? static_cast<int>(Below(Combine(h, 5), static_cast<std::uint64_t>(count) + 1))
            : -1;

    for (int i = 0; i <= count; ++i) {
        if (i == blank) {
            WriteBlank(block);
        }
        if (i == count) {
            break;
        }
        StrikeSeries series;
        series.product = &product;
        series.contract = &contract;
        series.call = block.section->call;
        series.center_units = center;
        series.strike_units = center + (i - count / 2) * product.strike_step;
        if (series.strike_units <= 0 ||
            UnitsText(series.strike_units, product.strike_decimals).size() > 8) {
            continue;
        }
        const Settlement s = model_.Settle(series, day_);
        if (i == duplicate) {
            // A first, stale print of the line; the one below supersedes it.
            Settlement stale = s;
            stale.premium += 1.0 / std::pow(10.0, product.price_decimals);
            stale.volume = s.volume / 2;
            WriteStrike(block, series, stale);
        }
        WriteStrike(block, series, s);
        if (truth_ != nullptr && block.expected != nullptr) {
            AddTruth(series);
        }
    }
    Line(std::string(kRuleWidth, '-'));
    Line(Pad("TOTAL", 12) + "VOLUME " + RightAlign(std::to_string(block.volume), 9) +
         "     OPEN INTEREST " + RightAlign(std::to_string(block.oi), 10));
}

void Builder::AddTruth(const StrikeSeries& series) {
    const OptionTruth truth = model_.Truth(series, day_);
    // The program reads the yen per 100.
    const double scale = series.product->code == "JPY" ? 100.0 : 1.0;
    TruthRow row;
    row.symbol = std::string(series.product->code);
    row.contract = std::string(series.contract->code);
    row.call = series.call;
    row.strike = model_.StrikeValue(*series.product, series.strike_units) * scale;
    row.days = truth.days;
    row.forward = truth.forward * scale;
    row.discount = truth.discount;
    row.volatility = truth.volatility;
    truth_->push_back(std::move(row));
}

void Builder::WriteBlank(Block& block) {
    Line("");
    if (block.expected != nullptr) {
        import::ReportRow row = ExpectedBase(block);
        // An empty line in a block is a strike line of empty fields; the yen strike is then
        // read as the number 0.
        if (block.section->product->code == "JPY") {
            row.strike = "0";
        }
        block.expected->push_back(std::move(row));
    }
}

void Builder::WriteStrike(Block& block, const StrikeSeries& series, const Settlement& s) {
    const Product& product = *series.product;
    const std::string strike = UnitsText(series.strike_units, product.strike_decimals);
    const std::string price = common::FormatFixed(s.premium, product.price_decimals);
    const std::string delta = common::FormatFixed(s.delta, 3);
    const std::string volume = std::to_string(s.volume);
    const std::string oi = std::to_string(s.oi);
    const std::string doi = std::to_string(s.doi);
    const std::string_view sign = s.sign > 0 ? " +" : (s.sign < 0 ? " -" : "  ");

    std::string line = Pad(strike, 8) + "  " + RightAlign(price, 8) + "  " + RightAlign(delta, 8) +
                       "  " + RightAlign(volume, 8) + "  " + RightAlign(oi, 8) + "  " +
                       RightAlign(doi, 8) + "  " + std::string(sign);
    if (previous_ >= series.contract->listed) {
        const double prior = model_.Quote(series, previous_).premium;
        line += "  " + RightAlign(common::FormatFixed(prior, product.price_decimals), 10);
    }
    Line(std::move(line));
    block.volume += s.volume;
    block.oi += s.oi;

    if (block.expected != nullptr) {
        import::ReportRow row = ExpectedBase(block);
        // The yen is printed per one yen with 6 decimals and read per 100 yen.
        row.strike = product.code == "JPY"
                         ? ShortUnitsText(series.strike_units, product.strike_decimals - 2)
                         : strike;
        row.price = price;
        row.delta = delta;
        row.volume = volume;
        row.oi = oi;
        row.doi = doi;
        row.sign = s.sign > 0 ? "1" : (s.sign < 0 ? "-1" : "");
        block.expected->push_back(std::move(row));
    }
}

template <typename T>
void Shuffle(std::vector<T>& items, std::uint64_t hash) {
    for (std::size_t i = items.size(); i > 1; --i) {
        const std::size_t j = Below(Combine(hash, i), i);
        std::swap(items[i - 1], items[j]);
    }
}

}  // namespace zarvex::reportgen

ReportGenerator::ReportGenerator(GeneratorOptions options) : options_(options) {
    options_.strikes = std::clamp(options_.strikes, 1, kMaxStrikes);
}

GeneratedDay ReportGenerator::Generate(Date day) const {
    day = common::DayStart(day);
    GeneratedDay out;
    out.day = day;
    const std::uint64_t seed = options_.seed;
    const std::uint64_t day_index = static_cast<std::uint64_t>(day / common::kSecondsPerDay);

    // The same other products appear every day for a seed; a small day has about half.
    std::vector<const Product*> products;
    for (const Product& product : Products()) {
        if (product.instrument || options_.full ||
            Unit(Hash(seed, "carried", product.code)) < 0.5) {
            products.push_back(&product);
        }
    }
    Shuffle(products, Hash(seed, "order", day_index));

    // Either each product's CALL and PUT sections together, or all CALL sections first:
    // the program reads both, as long as a CALL section comes before its PUT section.
    std::vector<Section> sections;
    if (Unit(Hash(seed, "layout", day_index)) < 0.5) {
        for (const Product* product : products) {
            sections.push_back({product, true});
            sections.push_back({product, false});
        }
    } else {
        for (const Product* product : products) {
            sections.push_back({product, true});
        }
        Shuffle(products, Hash(seed, "put order", day_index));
        for (const Product* product : products) {
            sections.push_back({product, false});
        }
    }

    ScheduleOptions schedule;
    schedule.full = options_.full;
    schedule.plain_codes = options_.plain_codes;

    Builder builder(options_, day);
    if (options_.record_truth) {
        builder.RecordTruth(&out.truth);
    }
    int page = 1;
    builder.Title(page);
    for (std::size_t i = 0; i < sections.size(); ++i) {
        if (i > 0 && i % kSectionsPerPage == 0) {
            builder.Title(++page);
        }
        const Section& section = sections[i];
        const std::vector<Contract> contracts =
            ListedContracts(day, section.product->instrument, schedule);
        std::vector<import::ReportRow>* expected =
            section.product->instrument ? &out.rows[std::string(section.product->code)] : nullptr;
        builder.WriteSection(section, contracts, expected);
    }
    builder.Line("END OF REPORT");

    const std::string_view eol = options_.raw_lf ? "\n" : "\r\n";
    std::size_t size = 0;
    for (const std::string& line : builder.Lines()) {
        size += line.size() + 2;
    }
    out.raw_report.reserve(size);
    out.report.reserve(size + 2);
    for (const std::string& line : builder.Lines()) {
        out.raw_report += line;
        out.raw_report += eol;
        out.report += Replace(line, "JLY", "JUL");
        out.report += "\r\n";
    }
    // The server's report ends with a line break; the zero byte stored behind it becomes one
    // more, empty, line.
    out.report += "\r\n";

    if (options_.record_truth && options_.volatility_memory) {
        const MarketModel memory(seed, options_.volatility_premium);
        for (const Product& product : Products()) {
            if (!product.instrument) {
                continue;
            }
            const VolatilityPath::Point point = memory.Path()->At(product, day);
            const double scale = product.code == "JPY" ? 100.0 : 1.0;
            out.path.push_back({std::string(product.code), point.futures * scale, point.atm,
                                point.realized, point.log_return});
        }
    }
    MarketModel model(seed);
    out.raw_forward_points = "FORWARD POINTS " + common::DateKey(day) + std::string(eol);
    for (const Product& product : Products()) {
        if (!product.instrument) {
            continue;
        }
        const std::string text = common::FormatFixed(model.ForwardPoint(product, day), 2);
        out.forward_point_texts[std::string(product.code)] = text;
        out.raw_forward_points += std::string(product.code) + " " + text + std::string(eol);
    }
    out.forward_points = out.raw_forward_points;
    out.forward_points.push_back('\0');
    return out;
}

std::string TruthCsv(const GeneratedDay& day, bool header) {
    std::string out;
    if (header) {
        out += "date,symbol,contract,option,strike,days,forward,discount,vol\n";
    }
    const auto number = [](double value) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", value);
        return std::string(text);
    };
    const std::string date = common::DayText(day.day);
    for (const TruthRow& row : day.truth) {
        out += date + ',' + row.symbol + ',' + row.contract + ',' + (row.call ? "CALL" : "PUT") +
               ',' + number(row.strike) + ',' + std::to_string(row.days) + ',' +
               number(row.forward) + ',' + number(row.discount) + ',' + number(row.volatility) +
               '\n';
    }
    return out;
}

std::string PathCsv(const GeneratedDay& day, bool header) {
    std::string out;
    if (header) {
        out += "date,symbol,futures,atm,realized,return\n";
    }
    const auto number = [](double value) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", value);
        return std::string(text);
    };
    const std::string date = common::DayText(day.day);
    for (const PathRow& row : day.path) {
        out += date + ',' + row.symbol + ',' + number(row.futures) + ',' + number(row.atm) + ',' +
               number(row.realized) + ',' + number(row.log_return) + '\n';
    }
    return out;
}

}  // namespace zarvex::reportgen

#include "analytics/board/levels_text_feed.h"

#include <cstdint>

#include "common/text.h"
#include "common/text_id.h"
#include "common/text_table.h"

namespace zarvex::analytics {

namespace {

FigureId Id(std::string_view key) {
    return FigureByKey(key).value();
}

// The order a trader reads them in the left panel, each labelled with its caption.
constexpr std::string_view kLevels[] = {
    "call_level",    "put_level",    "upper_limit",   "upper_border", "channel_center",
    "bottom_border", "bottom_limit", "delta_balance", "max_pain",
};

std::int64_t TotalOi(const BoardContract& contract) {
    const auto count = [&](std::string_view key) {
        const std::optional<double>& number = contract.today[Id(key)].number;
        return number ? static_cast<std::int64_t>(*number) : std::int64_t{0};
    };
    return count("call_oi") + count("put_oi");
}

// A label must not break the line or the PRICE<TAB>LABEL split of a terminal's reader.
std::string OneField(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += (c == '\t' || c == '\r' || c == '\n') ? ' ' : c;
    }
    return out;
}

}  // namespace

const BoardContract* TerminalFront(const SymbolBoard& board) {
    const BoardContract* best = nullptr;
    for (const BoardContract& contract : board.contracts) {
        if (!contract.days_to_expiry || *contract.days_to_expiry < kTerminalFrontMinDays) {
            continue;
        }
        if (best == nullptr || *contract.days_to_expiry < *best->days_to_expiry) {
            best = &contract;
            continue;
        }
        if (*contract.days_to_expiry > *best->days_to_expiry) {
            continue;
        }
        const std::int64_t oi = TotalOi(contract);
        const std::int64_t best_oi = TotalOi(*best);
        if (oi > best_oi || (oi == best_oi && contract.contract < best->contract)) {
            best = &contract;
        }
    }
    return best;
}

std::string LevelsTextFeed(const SymbolBoard& board) {
    const BoardContract* front = TerminalFront(board);
    if (front == nullptr) {
        return {};
    }
    const common::TextTable& english = common::TextTable::English();
    const std::string code = OneField(front->contract);
    std::string out;
    const auto line = [&](const FigureValue& value, int label) {
        const std::string_view price = common::Trim(value.text);
        if (!price.empty()) {
            out += std::string(price) + '\t' + english.Get(label) + ' ' + code + "\r\n";
        }
    };
    for (const std::string_view key : kLevels) {
        line(front->today[Id(key)], Figure(Id(key)).caption);
    }
    line(front->today[Id("band_low")], common::text::kFeedBandLow);
    line(front->today[Id("band_high")], common::text::kFeedBandHigh);
    return out;
}

std::string LevelsTextFeedFileName(std::string_view symbol) {
    return std::string(symbol) + "_levels.txt";
}

}  // namespace zarvex::analytics

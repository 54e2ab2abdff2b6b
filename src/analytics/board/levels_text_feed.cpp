#include "analytics/board/levels_text_feed.h"

#include <cstdint>

#include "common/text.h"
#include "common/text_id.h"
#include "common/text_table.h"

namespace zarvex::analytics {

namespace {

struct TextLevel {
    BoardFigure figure;
    int label;
};

// The order a trader reads them in the left panel.
constexpr TextLevel kLevels[] = {
    {BoardFigure::kCallLevel, common::text::kCallLevel},
    {BoardFigure::kPutLevel, common::text::kPutLevel},
    {BoardFigure::kUpperLimit, common::text::kUpperLimit},
    {BoardFigure::kUpperBorder, common::text::kUpperBorder},
    {BoardFigure::kChannelCenter, common::text::kChannelCenter},
    {BoardFigure::kBottomBorder, common::text::kBottomBorder},
    {BoardFigure::kBottomLimit, common::text::kBottomLimit},
    {BoardFigure::kDeltaBalance, common::text::kDeltaBalance},
    {BoardFigure::kMaxPain, common::text::kMaxPain},
};

std::int64_t TotalOi(const BoardContract& contract) {
    const auto count = [&](BoardFigure figure) {
        const std::optional<double>& number = contract.today[figure].number;
        return number ? static_cast<std::int64_t>(*number) : std::int64_t{0};
    };
    return count(BoardFigure::kCallOi) + count(BoardFigure::kPutOi);
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
    const auto line = [&](const BoardValue& value, int label) {
        const std::string_view price = common::Trim(value.text);
        if (!price.empty()) {
            out += std::string(price) + '\t' + english.Get(label) + ' ' + code + "\r\n";
        }
    };
    for (const TextLevel& level : kLevels) {
        line(front->today[level.figure], level.label);
    }
    line(front->today.band_low, common::text::kFeedBandLow);
    line(front->today.band_high, common::text::kFeedBandHigh);
    return out;
}

std::string LevelsTextFeedFileName(std::string_view symbol) {
    return std::string(symbol) + "_levels.txt";
}

}  // namespace zarvex::analytics

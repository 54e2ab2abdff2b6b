#include "analytics/board/levels_json_feed.h"

#include <cstdint>

#include "analytics/board/levels_feed.h"
#include "analytics/board/levels_text_feed.h"
#include "common/text.h"

namespace zarvex::analytics {

namespace {

constexpr std::string_view kPriceKeys[] = {
    "call_level",   "put_level",      "upper_border",  "bottom_border", "upper_limit",
    "bottom_limit", "channel_center", "delta_balance", "max_pain",
};

// The symbol's across its stored days, the same in each contract as in the CSV's lines.
constexpr std::string_view kAcrossDaysKeys[] = {"cm30", "iv_rank"};

FigureId Id(std::string_view key) {
    return FigureByKey(key).value();
}

std::string Quoted(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out = "\"";
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7f) {
            out += "\\u00";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (const std::size_t length = common::Utf8SequenceLength(text.substr(i));
                   length > 0) {
            out += text.substr(i, length);
            i += length;
            continue;
        } else {
            out += "\\ufffd";
        }
        ++i;
    }
    return out + '"';
}

std::string TextOrNull(const FigureValue& value) {
    const std::string_view text = common::Trim(value.text);
    return text.empty() ? "null" : Quoted(text);
}

// An exact figure's text is already a JSON number.
std::string NumberOrNull(const FigureValue& value) {
    return value.text.empty() ? std::string("null") : value.text;
}

}  // namespace

std::string LevelsJsonFeed(const SymbolBoard& board) {
    const BoardContract* front = TerminalFront(board);
    std::string out = "{\"version\": " + std::to_string(kLevelsFeedVersion) +
                      ", \"symbol\": " + Quoted(board.symbol) +
                      ", \"date\": " + Quoted(common::DayText(board.date)) +
                      ", \"front\": " + (front ? Quoted(front->contract) : "null") +
                      ", \"contracts\": [";
    bool first = true;
    for (const BoardContract& contract : board.contracts) {
        out += first ? "{" : ", {";
        first = false;
        out += "\"contract\": " + Quoted(contract.contract);
        out += ", \"expiration\": " + Quoted(contract.expiration);
        out += ", \"days_to_expiry\": " +
               (contract.days_to_expiry ? std::to_string(*contract.days_to_expiry) : "null");
        for (const std::string_view key : kPriceKeys) {
            out += ", \"" + std::string(key) + "\": " + TextOrNull(contract.today[Id(key)]);
        }
        out += ", \"atm_vol\": " + NumberOrNull(contract.today[Id("atm_vol")]);
        out += ", \"band_low\": " + TextOrNull(contract.today[Id("band_low")]);
        out += ", \"band_high\": " + TextOrNull(contract.today[Id("band_high")]);
        for (const std::string_view key : kAcrossDaysKeys) {
            out += ", \"" + std::string(key) + "\": " + NumberOrNull(contract.today[Id(key)]);
        }
        out += "}";
    }
    return out + "]}\n";
}

std::string LevelsJsonFeedFileName(std::string_view symbol) {
    return std::string(symbol) + "_levels.json";
}

}  // namespace zarvex::analytics

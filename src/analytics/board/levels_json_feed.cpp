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

// Length of the valid UTF-8 sequence at the front of text, 0 when it is none: a contract code
// comes from a report and may hold any byte, and a script's JSON parser refuses bad UTF-8.
std::size_t Utf8Length(std::string_view text) {
    const auto b0 = static_cast<unsigned char>(text[0]);
    if (b0 < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    std::uint32_t min = 0;
    if ((b0 & 0xE0) == 0xC0) {
        length = 2;
        min = 0x80;
    } else if ((b0 & 0xF0) == 0xE0) {
        length = 3;
        min = 0x800;
    } else if ((b0 & 0xF8) == 0xF0) {
        length = 4;
        min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) {
        return 0;
    }
    std::uint32_t code = b0 & (0x7Fu >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        code = (code << 6) | (b & 0x3Fu);
    }
    if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return 0;
    }
    return length;
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
        } else if (const std::size_t length = Utf8Length(text.substr(i)); length > 0) {
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

// The CSV and JSON writers of the command line and the window's tables, read back by small
// reference readers written after RFC 4180 and RFC 8259.
// - CSV lines of any cells (CsvField, joined by commas, ended by CRLF) read back as the same
//   rows of the same cells.
// - A JSON document of any strings, numbers, integers and nested containers parses, and gives
//   back every string (bytes that are no UTF-8 read as the Latin-1 character of the byte), every
//   finite number bit for bit (nan and infinities as 0, no "-0"), and every integer.

#include <fuzzer/FuzzedDataProvider.h>

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "analytics/history/history_table.h"
#include "app/cli/json_writer.h"
#include "fuzz/fuzz_check.h"

namespace {

using zarvex::cli::JsonWriter;

// --- CSV -----------------------------------------------------------------------------------

using Rows = std::vector<std::vector<std::string>>;

// Records end with CRLF; a field is either quoted (a doubled quote stands for one) or holds no
// quote, comma, CR or LF. nullopt for text that breaks those rules.
std::optional<Rows> ReadCsv(std::string_view text) {
    Rows rows;
    std::size_t at = 0;
    while (at < text.size()) {
        std::vector<std::string> row;
        while (true) {
            std::string field;
            if (at < text.size() && text[at] == '"') {
                ++at;
                while (true) {
                    if (at >= text.size()) {
                        return std::nullopt;
                    }
                    if (text[at] == '"') {
                        if (at + 1 < text.size() && text[at + 1] == '"') {
                            field += '"';
                            at += 2;
                            continue;
                        }
                        ++at;
                        break;
                    }
                    field += text[at++];
                }
            } else {
                while (at < text.size() && text[at] != ',' && text[at] != '\r') {
                    if (text[at] == '"' || text[at] == '\n') {
                        return std::nullopt;
                    }
                    field += text[at++];
                }
            }
            row.push_back(std::move(field));
            if (at < text.size() && text[at] == ',') {
                ++at;
                continue;
            }
            if (text.substr(at, 2) != "\r\n") {
                return std::nullopt;
            }
            at += 2;
            break;
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void CheckCsv(FuzzedDataProvider& input) {
    Rows rows(input.ConsumeIntegralInRange<std::size_t>(1, 4));
    std::string text;
    for (std::vector<std::string>& row : rows) {
        row.resize(input.ConsumeIntegralInRange<std::size_t>(1, 5));
        for (std::size_t i = 0; i < row.size(); ++i) {
            row[i] = input.ConsumeRandomLengthString(64);
            text += (i > 0 ? "," : "") + zarvex::analytics::CsvField(row[i]);
        }
        text += "\r\n";
    }
    const std::optional<Rows> read = ReadCsv(text);
    FUZZ_CHECK(read.has_value());
    FUZZ_CHECK(*read == rows);
}

// --- JSON ----------------------------------------------------------------------------------

struct Json;
using JsonArray = std::vector<Json>;
using JsonObject = std::vector<std::pair<std::string, Json>>;
struct Json {
    // A number keeps its text: integers and doubles are read from it as each needs.
    std::variant<std::nullptr_t, bool, std::string, JsonArray, JsonObject> value;
    std::string number;
};

class JsonReader final {
public:
    explicit JsonReader(std::string_view text) : text_(text) {}

    // The one value of the text, nothing but white space around it.
    std::optional<Json> Document() {
        std::optional<Json> value = Value(0);
        Space();
        if (!value || at_ != text_.size()) {
            return std::nullopt;
        }
        return value;
    }

private:
    void Space() {
        while (at_ < text_.size() && (text_[at_] == ' ' || text_[at_] == '\t' ||
                                      text_[at_] == '\n' || text_[at_] == '\r')) {
            ++at_;
        }
    }
    bool Take(char c) {
        Space();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }
    bool Word(std::string_view word) {
        if (text_.substr(at_, word.size()) != word) {
            return false;
        }
        at_ += word.size();
        return true;
    }

    std::optional<Json> Value(int depth) {
        if (depth > 64) {
            return std::nullopt;
        }
        Space();
        if (at_ >= text_.size()) {
            return std::nullopt;
        }
        Json json;
        const char c = text_[at_];
        if (c == '{') {
            ++at_;
            JsonObject members;
            if (!Take('}')) {
                do {
                    Space();
                    std::optional<std::string> key = String();
                    if (!key || !Take(':')) {
                        return std::nullopt;
                    }
                    std::optional<Json> member = Value(depth + 1);
                    if (!member) {
                        return std::nullopt;
                    }
                    members.emplace_back(std::move(*key), std::move(*member));
                } while (Take(','));
                if (!Take('}')) {
                    return std::nullopt;
                }
            }
            json.value = std::move(members);
        } else if (c == '[') {
            ++at_;
            JsonArray items;
            if (!Take(']')) {
                do {
                    std::optional<Json> item = Value(depth + 1);
                    if (!item) {
                        return std::nullopt;
                    }
                    items.push_back(std::move(*item));
                } while (Take(','));
                if (!Take(']')) {
                    return std::nullopt;
                }
            }
            json.value = std::move(items);
        } else if (c == '"') {
            std::optional<std::string> text = String();
            if (!text) {
                return std::nullopt;
            }
            json.value = std::move(*text);
        } else if (Word("true")) {
            json.value = true;
        } else if (Word("false")) {
            json.value = false;
        } else if (Word("null")) {
            json.value = nullptr;
        } else {
            std::optional<std::string> number = Number();
            if (!number) {
                return std::nullopt;
            }
            json.number = std::move(*number);
        }
        return json;
    }

    // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
    std::optional<std::string> Number() {
        const std::size_t start = at_;
        auto digits = [&] {
            const std::size_t first = at_;
            while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') {
                ++at_;
            }
            return at_ - first;
        };
        Word("-");
        const bool leading_zero = at_ < text_.size() && text_[at_] == '0';
        const std::size_t whole = digits();
        if (whole == 0 || (leading_zero && whole > 1)) {
            return std::nullopt;
        }
        if (Word(".") && digits() == 0) {
            return std::nullopt;
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (!Word("+")) {
                Word("-");
            }
            if (digits() == 0) {
                return std::nullopt;
            }
        }
        return std::string(text_.substr(start, at_ - start));
    }

    static void AppendUtf8(std::string& out, std::uint32_t code) {
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (code >> 18));
            out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }

    std::optional<std::uint32_t> Hex4() {
        if (at_ + 4 > text_.size()) {
            return std::nullopt;
        }
        std::uint32_t code = 0;
        const auto result = std::from_chars(text_.data() + at_, text_.data() + at_ + 4, code, 16);
        if (result.ptr != text_.data() + at_ + 4) {
            return std::nullopt;
        }
        at_ += 4;
        return code;
    }

    // The string's characters as UTF-8. The text between the quotes must itself be UTF-8 and
    // hold no control character.
    std::optional<std::string> String() {
        if (!Word("\"")) {
            return std::nullopt;
        }
        std::string out;
        while (at_ < text_.size() && text_[at_] != '"') {
            const auto c = static_cast<unsigned char>(text_[at_]);
            if (c < 0x20) {
                return std::nullopt;
            }
            if (c != '\\') {
                out += static_cast<char>(c);
                ++at_;
                continue;
            }
            ++at_;
            if (at_ >= text_.size()) {
                return std::nullopt;
            }
            const char escape = text_[at_++];
            switch (escape) {
                case '"':
                case '\\':
                case '/':
                    out += escape;
                    break;
                case 'b':
                    out += '\b';
                    break;
                case 'f':
                    out += '\f';
                    break;
                case 'n':
                    out += '\n';
                    break;
                case 'r':
                    out += '\r';
                    break;
                case 't':
                    out += '\t';
                    break;
                case 'u': {
                    std::optional<std::uint32_t> code = Hex4();
                    if (!code) {
                        return std::nullopt;
                    }
                    if (*code >= 0xD800 && *code < 0xDC00) {
                        std::optional<std::uint32_t> low;
                        if (!Word("\\u") || !(low = Hex4()) || *low < 0xDC00 || *low > 0xDFFF) {
                            return std::nullopt;
                        }
                        *code = 0x10000 + ((*code - 0xD800) << 10) + (*low - 0xDC00);
                    } else if (*code >= 0xDC00 && *code <= 0xDFFF) {
                        return std::nullopt;
                    }
                    AppendUtf8(out, *code);
                    break;
                }
                default:
                    return std::nullopt;
            }
        }
        if (!Word("\"")) {
            return std::nullopt;
        }
        return out;
    }

    std::string_view text_;
    std::size_t at_ = 0;
};

// The code point of the well-formed UTF-8 sequence at the front, with its length.
std::optional<std::pair<std::uint32_t, std::size_t>> DecodeUtf8(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    const std::size_t length = lead < 0x80   ? 1
                               : lead < 0xC2 ? 0
                               : lead < 0xE0 ? 2
                               : lead < 0xF0 ? 3
                               : lead < 0xF5 ? 4
                                             : 0;
    if (length == 0 || text.size() < length) {
        return std::nullopt;
    }
    std::uint32_t code = length == 1 ? lead : lead & (0xFF >> (length + 1));
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) {
            return std::nullopt;
        }
        code = (code << 6) | (next & 0x3F);
    }
    constexpr std::uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kLeast[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        return std::nullopt;
    }
    return std::pair{code, length};
}

// What a string should read back as: its UTF-8 as it is, every other byte as the Latin-1
// character of that byte.
std::string ExpectedText(std::string_view bytes) {
    std::string out;
    std::size_t at = 0;
    while (at < bytes.size()) {
        if (const auto decoded = DecodeUtf8(bytes.substr(at))) {
            out += bytes.substr(at, decoded->second);
            at += decoded->second;
        } else {
            const auto byte = static_cast<unsigned char>(bytes[at++]);
            out += static_cast<char>(0xC0 | (byte >> 6));
            out += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return out;
}

// What the writer was given, kept to compare with what the reader gives back.
struct Written {
    enum class Kind { kString, kNumber, kInt, kBool } kind;
    std::string text;
    double number = 0.0;
    std::int64_t integer = 0;
    bool flag = false;
};

void CheckValue(const Json& json, const Written& written) {
    switch (written.kind) {
        case Written::Kind::kString:
            FUZZ_CHECK(std::holds_alternative<std::string>(json.value));
            FUZZ_CHECK(std::get<std::string>(json.value) == ExpectedText(written.text));
            break;
        case Written::Kind::kNumber: {
            FUZZ_CHECK(!json.number.empty());
            double read = 0.0;
            const auto result =
                std::from_chars(json.number.data(), json.number.data() + json.number.size(), read);
            FUZZ_CHECK(result.ptr == json.number.data() + json.number.size());
            const double expected = std::isfinite(written.number) ? written.number : 0.0;
            FUZZ_CHECK(std::bit_cast<std::uint64_t>(read) ==
                       std::bit_cast<std::uint64_t>(expected == 0.0 ? 0.0 : expected));
            break;
        }
        case Written::Kind::kInt: {
            std::int64_t read = 0;
            const auto result =
                std::from_chars(json.number.data(), json.number.data() + json.number.size(), read);
            FUZZ_CHECK(result.ptr == json.number.data() + json.number.size());
            FUZZ_CHECK(read == written.integer);
            break;
        }
        case Written::Kind::kBool:
            FUZZ_CHECK(std::holds_alternative<bool>(json.value));
            FUZZ_CHECK(std::get<bool>(json.value) == written.flag);
            break;
    }
}

Written WriteValue(FuzzedDataProvider& input, JsonWriter& json) {
    Written written{};
    switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            written.kind = Written::Kind::kString;
            written.text = input.ConsumeRandomLengthString(64);
            json.String(written.text);
            break;
        case 1:
            written.kind = Written::Kind::kNumber;
            written.number = std::bit_cast<double>(input.ConsumeIntegral<std::uint64_t>());
            json.Number(written.number);
            break;
        case 2:
            written.kind = Written::Kind::kInt;
            written.integer = input.ConsumeIntegral<std::int64_t>();
            json.Int(written.integer);
            break;
        default:
            written.kind = Written::Kind::kBool;
            written.flag = input.ConsumeBool();
            json.Bool(written.flag);
            break;
    }
    return written;
}

// An object of keys from the input, each holding a value or an array of values.
void CheckJson(FuzzedDataProvider& input) {
    JsonWriter json;
    std::vector<std::pair<std::string, std::vector<Written>>> members;
    std::vector<bool> as_array;
    json.BeginObject();
    const std::size_t count = input.ConsumeIntegralInRange<std::size_t>(0, 6);
    for (std::size_t i = 0; i < count; ++i) {
        std::string key = input.ConsumeRandomLengthString(16);
        json.Key(key);
        std::vector<Written> values;
        const bool array = input.ConsumeBool();
        if (array) {
            json.BeginArray();
            for (std::size_t n = input.ConsumeIntegralInRange<std::size_t>(0, 4); n > 0; --n) {
                values.push_back(WriteValue(input, json));
            }
            json.EndArray();
        } else {
            values.push_back(WriteValue(input, json));
        }
        members.emplace_back(std::move(key), std::move(values));
        as_array.push_back(array);
    }
    json.EndObject();

    const std::optional<Json> read = JsonReader(json.Text()).Document();
    FUZZ_CHECK(read.has_value());
    FUZZ_CHECK(std::holds_alternative<JsonObject>(read->value));
    const JsonObject& object = std::get<JsonObject>(read->value);
    FUZZ_CHECK(object.size() == members.size());
    for (std::size_t i = 0; i < members.size(); ++i) {
        FUZZ_CHECK(object[i].first == ExpectedText(members[i].first));
        const std::vector<Written>& values = members[i].second;
        if (!as_array[i]) {
            CheckValue(object[i].second, values.front());
            continue;
        }
        FUZZ_CHECK(std::holds_alternative<JsonArray>(object[i].second.value));
        const JsonArray& items = std::get<JsonArray>(object[i].second.value);
        FUZZ_CHECK(items.size() == values.size());
        for (std::size_t k = 0; k < values.size(); ++k) {
            CheckValue(items[k], values[k]);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    if (input.ConsumeBool()) {
        CheckCsv(input);
    } else {
        CheckJson(input);
    }
    return 0;
}

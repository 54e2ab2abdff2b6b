#include "app/cli/json_writer.h"

#include <charconv>
#include <cmath>

#include "common/text.h"

namespace zarvex::cli {

std::string JsonEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size() + 2);
    out.push_back('"');
    std::size_t i = 0;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\') {
            out.push_back('\\');
            out.push_back(static_cast<char>(c));
            ++i;
        } else if (c < 0x20) {
            static constexpr char kHex[] = "0123456789abcdef";
            switch (c) {
                case '\n':
                    out += "\\n";
                    break;
                case '\r':
                    out += "\\r";
                    break;
                case '\t':
                    out += "\\t";
                    break;
                default:
                    out += "\\u00";
                    out.push_back(kHex[c >> 4]);
                    out.push_back(kHex[c & 15]);
            }
            ++i;
        } else if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
        } else {
            const std::size_t length = common::Utf8SequenceLength(text.substr(i));
            if (length == 0) {
                // Latin-1 reading of a stray byte, as two UTF-8 bytes.
                out.push_back(static_cast<char>(0xC0 | (c >> 6)));
                out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
                ++i;
            } else {
                out.append(text.substr(i, length));
                i += length;
            }
        }
    }
    out.push_back('"');
    return out;
}

void JsonWriter::BeforeValue() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (!has_value_.empty()) {
        if (has_value_.back()) {
            text_ += ", ";
        }
        has_value_.back() = true;
    }
}

JsonWriter& JsonWriter::BeginObject() {
    BeforeValue();
    text_.push_back('{');
    has_value_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    text_.push_back('}');
    has_value_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    BeforeValue();
    text_.push_back('[');
    has_value_.push_back(false);
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    text_.push_back(']');
    has_value_.pop_back();
    return *this;
}

JsonWriter& JsonWriter::Key(std::string_view key) {
    BeforeValue();
    text_ += JsonEscape(key);
    text_ += ": ";
    after_key_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view value) {
    BeforeValue();
    text_ += JsonEscape(value);
    return *this;
}

JsonWriter& JsonWriter::Number(double value) {
    BeforeValue();
    if (!std::isfinite(value)) {
        value = 0.0;
    }
    if (value == 0.0) {
        value = 0.0;  // no "-0"
    }
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    text_.append(buffer, result.ptr);
    return *this;
}

JsonWriter& JsonWriter::Int(std::int64_t value) {
    BeforeValue();
    text_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    BeforeValue();
    text_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    text_ += "null";
    return *this;
}

JsonWriter& JsonWriter::Optional(const std::optional<double>& value) {
    if (!value || !std::isfinite(*value)) {
        return Null();
    }
    return Number(*value);
}

JsonWriter& JsonWriter::StringArray(const std::vector<std::string>& values) {
    BeginArray();
    for (const auto& value : values) {
        String(value);
    }
    return EndArray();
}

JsonWriter& JsonWriter::NumberArray(const std::vector<double>& values) {
    BeginArray();
    for (double value : values) {
        Number(value);
    }
    return EndArray();
}

}  // namespace zarvex::cli

#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zarvex::cli {

// A small streaming JSON writer: commas and escaping are its business, the order of keys the
// caller's. Output is one line with ", " and ": " separators, UTF-8; bytes that are not valid
// UTF-8 are written as the Latin-1 character of that byte, so the output always parses.
class JsonWriter final {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view value);
    JsonWriter& Number(double value);  // shortest form that reads back the same; nan/inf -> 0
    JsonWriter& Int(std::int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();
    // The number, or null without one (or when it is not finite).
    JsonWriter& Optional(const std::optional<double>& value);
    JsonWriter& StringArray(const std::vector<std::string>& values);
    JsonWriter& NumberArray(const std::vector<double>& values);

    const std::string& Text() const { return text_; }

private:
    void BeforeValue();

    std::string text_;
    // One entry per open container: true once it holds a value.
    std::vector<bool> has_value_;
    bool after_key_ = false;
};

std::string JsonEscape(std::string_view text);

// `key`: {"call": ..., "put": ...}, each side written by write(json, side).
template <typename Side, typename Write>
void CallPutObject(JsonWriter& json, std::string_view key, const Side& call, const Side& put,
                   Write write) {
    json.Key(key).BeginObject();
    json.Key("call");
    write(json, call);
    json.Key("put");
    write(json, put);
    json.EndObject();
}

}  // namespace zarvex::cli

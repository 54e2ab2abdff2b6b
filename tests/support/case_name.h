#pragma once

#include <cctype>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zarvex::test {

// A short readable name for one case of a parameterised test (the default would be the
// parameter's bytes or its whole printout): the case's number, then its text with every run of
// other characters than letters and digits made one underscore, cut to 40 characters.
inline std::string CaseName(std::size_t index, std::string_view text) {
    std::string name = std::to_string(index);
    bool gap = true;
    for (char c : text) {
        if (name.size() >= 40) {
            break;
        }
        if (std::isalnum(static_cast<unsigned char>(c)) != 0) {
            if (gap) {
                name.push_back('_');
            }
            name.push_back(c);
            gap = false;
        } else {
            gap = true;
        }
    }
    return name;
}

inline std::string CaseName(std::size_t index, const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        text += word + ' ';
    }
    return CaseName(index, text);
}

}  // namespace zarvex::test

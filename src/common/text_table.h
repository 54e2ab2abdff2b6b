#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/text_id.h"

namespace zarvex::common {

enum class Language { kEnglish, kRussian };

// "rus" or "eng" exactly (no other spelling or case); nullopt for anything else.
std::optional<Language> LanguageFromArgument(std::string_view argument);

// Russian when the language part of a POSIX locale name ("ru_RU.UTF-8", "ru") is "ru",
// otherwise English ("C", "POSIX", "" and every other language included).
Language LanguageOfLocale(std::string_view locale_name);

// The locale that decides the user's interface language: LC_ALL, else LC_MESSAGES, else LANG
// (the first one set and not empty); "" when none is.
std::string UserLocaleName();

// Gives the user's locale name; replaced in tests.
using LocaleReader = std::function<std::string()>;

// The language of the interface, chosen once at start-up: the first command-line argument
// when it is exactly "rus" or "eng", else the user's locale.
Language ChooseLanguage(std::string_view first_argument,
                        const LocaleReader& read_locale = UserLocaleName);

// The numbered interface texts (entries 0 to 223, see text_id.h) in one language, UTF-8.
// Fixed for the life of the process once built.
class TextTable final {
public:
    static constexpr int kEntryCount = 289;

    explicit TextTable(Language language);
    // The English table, built once: what a host without a table of its own speaks.
    static const TextTable& English();

    Language GetLanguage() const { return language_; }
    // The text of an entry; "" for the unused entries 118 and 119 and for numbers out of range.
    const std::string& Get(int index) const;

private:
    Language language_;
    std::array<std::string, kEntryCount> texts_;
};

}  // namespace zarvex::common

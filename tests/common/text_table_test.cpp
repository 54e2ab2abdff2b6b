#include "common/text_table.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "common/text_id.h"
#include "support/case_name.h"

namespace zarvex::common {
namespace {

TEST(TextTable, EveryEntryButTheTwoUnusedHoldsATextInBothLanguages) {
    const TextTable english(Language::kEnglish);
    const TextTable russian(Language::kRussian);
    int filled = 0;
    for (int i = 0; i < TextTable::kEntryCount; ++i) {
        const bool unused = i == 118 || i == 119;
        EXPECT_EQ(english.Get(i).empty(), unused) << i;
        EXPECT_EQ(russian.Get(i).empty(), unused) << i;
        filled += english.Get(i).empty() ? 0 : 1;
    }
    EXPECT_EQ(filled, TextTable::kEntryCount - 2);
    EXPECT_EQ(english.Get(-1), "");
    EXPECT_EQ(english.Get(TextTable::kEntryCount), "");
    EXPECT_EQ(english.GetLanguage(), Language::kEnglish);
    EXPECT_EQ(russian.GetLanguage(), Language::kRussian);
}

struct EntryCase {
    int entry;
    const char* english;
    const char* russian;
};

class TextEntry : public testing::TestWithParam<EntryCase> {};

TEST_P(TextEntry, IsExact) {
    EXPECT_EQ(TextTable(Language::kEnglish).Get(GetParam().entry), GetParam().english);
    EXPECT_EQ(TextTable(Language::kRussian).Get(GetParam().entry), GetParam().russian);
}

INSTANTIATE_TEST_SUITE_P(
    TextTable, TextEntry,
    testing::Values(
        EntryCase{text::kDate, "Date:", "\xD0\x94\xD0\xB0\xD1\x82\xD0\xB0:"},
        // The English caption begins with the Cyrillic capital Es (D0 A1), not a Latin C.
        EntryCase{text::kBarCondition,
                  "\xD0\xA1ondition for displaying bars:", "Условие отображения баров:"},
        EntryCase{text::kGroupBasic, " Basic", " Общие"},
        EntryCase{text::kProgramStatus, "Program status:", "Статус программы: "},
        EntryCase{text::kStartupSuccessful, "The startup process was successful. ",
                  "Процесс запуска прошёл успешно. "},
        // Doubled blanks stay as they are.
        EntryCase{text::kPreviousDaysDownloaded,
                  "Download for previous days has been completed successfully. After a while "
                  "will be start data processing.",
                  "Загрузка данных за предыдущие дни успешно завершена. Через некоторое время  "
                  "начнётся их обработка."},
        EntryCase{text::kTryAgain, "Please try again...\r", "Пожалуйста, попробуйте ещё  раз...\r"},
        EntryCase{text::kCurrentDayDownloaded,
                  "Download the current day has been completed successfully. After a while will "
                  "be start data processing.",
                  "Загрузка данных за текущий день успешно завершена. Через некоторое время "
                  "начнётся их обработка. "},
        EntryCase{text::kCreatingMainWindow, "Create a main window...",
                  "Создание оснеовного окна..."},
        EntryCase{text::kPriceByOi, "Price x OI", "Премия х ОИ"},
        EntryCase{text::kColumnPriceVolume, "Pr*V", "Пр*V"},
        EntryCase{text::kMinutes, " min.", " мин."},
        EntryCase{text::kLeftPanelLocked, "The left panel is temporarily locked. ",
                  "Панель слева временно заблокирована."},
        EntryCase{text::kMessage, "Message", "Сообщение"},
        EntryCase{text::kBadFileNameTemplate, "The file name template is invalid.\r",
                  "Неверно задан шаблон имени файла.\r"},
        EntryCase{text::kBadBarCondition, "The condition for displaying bars is incorrect.\r",
                  "Неверно задано условие отображения баров.\r"}),
    [](const auto& one_case) { return test::CaseName(one_case.index, one_case.param.english); });

TEST(TextTable, StatusTextsJoinOnTheirOwnBlanks) {
    const TextTable english(Language::kEnglish);
    EXPECT_EQ(english.Get(text::kStartupSuccessful) + english.Get(text::kProgramReady),
              "The startup process was successful. The program is prepared to use.");
    EXPECT_EQ(english.Get(text::kCurrentDayNotDownloaded) + "5" + english.Get(text::kMinutes),
              "Download the current day has not been completed. The process will restart in 5 "
              "min.");
}

struct LanguageCase {
    const char* argument;
    const char* locale;
    Language expected;
};

class LanguageChoice : public testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageChoice, FollowsTheArgumentThenTheLocale) {
    const LanguageCase& c = GetParam();
    const std::string locale = c.locale;
    EXPECT_EQ(ChooseLanguage(c.argument, [&] { return locale; }), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    TextTable, LanguageChoice,
    testing::Values(LanguageCase{"eng", "ru_RU.UTF-8", Language::kEnglish},
                    LanguageCase{"rus", "en_US.UTF-8", Language::kRussian},
                    // Only the exact words count; anything else leaves it to the locale.
                    LanguageCase{"ENG", "ru_RU.UTF-8", Language::kRussian},
                    LanguageCase{"RUS", "C", Language::kEnglish},
                    LanguageCase{"rus ", "C", Language::kEnglish},
                    LanguageCase{"russian", "de_DE.UTF-8", Language::kEnglish},
                    LanguageCase{"", "de_DE.UTF-8", Language::kEnglish},
                    LanguageCase{"", "ru_UA.KOI8-U", Language::kRussian},
                    LanguageCase{"", "ru", Language::kRussian},
                    LanguageCase{"", "ru@petr1708", Language::kRussian},
                    LanguageCase{"", "rue_UA", Language::kEnglish},
                    LanguageCase{"", "C.UTF-8", Language::kEnglish},
                    LanguageCase{"", "POSIX", Language::kEnglish},
                    LanguageCase{"", "", Language::kEnglish}),
    [](const auto& one_case) {
        return test::CaseName(one_case.index,
                              std::string(one_case.param.argument) + " " + one_case.param.locale);
    });

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv final {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnv() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(TextTable, TheLocaleComesFromLcAllThenLcMessagesThenLang) {
    {
        ScopedEnv all("LC_ALL", "ru_RU.UTF-8");
        ScopedEnv messages("LC_MESSAGES", "en_GB.UTF-8");
        ScopedEnv lang("LANG", "de_DE.UTF-8");
        EXPECT_EQ(UserLocaleName(), "ru_RU.UTF-8");
        EXPECT_EQ(ChooseLanguage(""), Language::kRussian);
        EXPECT_EQ(ChooseLanguage("eng"), Language::kEnglish);
    }
    {
        ScopedEnv all("LC_ALL", "");
        ScopedEnv messages("LC_MESSAGES", "ru_RU.UTF-8");
        ScopedEnv lang("LANG", "en_US.UTF-8");
        EXPECT_EQ(UserLocaleName(), "ru_RU.UTF-8");
    }
    {
        ScopedEnv all("LC_ALL", nullptr);
        ScopedEnv messages("LC_MESSAGES", nullptr);
        ScopedEnv lang("LANG", "ru_RU.UTF-8");
        EXPECT_EQ(UserLocaleName(), "ru_RU.UTF-8");
    }
    {
        ScopedEnv all("LC_ALL", nullptr);
        ScopedEnv messages("LC_MESSAGES", nullptr);
        ScopedEnv lang("LANG", nullptr);
        EXPECT_EQ(UserLocaleName(), "");
        EXPECT_EQ(ChooseLanguage(""), Language::kEnglish);
    }
}

}  // namespace
}  // namespace zarvex::common

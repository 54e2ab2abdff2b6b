#include "ui/settings_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "common/plain_host.h"
#include "common/text_table.h"
#include "settings/settings_record.h"
#include "support/temp_folder.h"
#include "ui/qt_app.h"

namespace zarvex::ui {
namespace {

class SettingsDialogTest : public testing::Test {
protected:
    static void SetUpTestSuite() { test::EnsureQtApplication(); }

    SettingsDialogTest() : record_("CAD", home_.Folder()) {
        record_.OpenSettings(home_.Folder().Db() / "CAD_config.lql");
    }

    std::unique_ptr<SettingsDialog> Open(common::Language language = common::Language::kEnglish) {
        texts_ = std::make_unique<common::TextTable>(language);
        return std::make_unique<SettingsDialog>(
            record_, home_.Folder(), *texts_, &messages_,
            [this](QWidget*, const QString& start) {
                chooser_start_ = start;
                return chosen_;
            },
            nullptr);
    }

    settings::Settings Stored() {
        settings::SettingsRecord fresh("CAD", home_.Folder());
        fresh.OpenSettings(home_.Folder().Db() / "CAD_config.lql");
        return fresh.Values();
    }

    test::TempProgramFolder home_;
    settings::SettingsRecord record_;
    std::unique_ptr<common::TextTable> texts_;
    common::PlainHost messages_;
    QString chosen_;
    QString chooser_start_;
};

TEST_F(SettingsDialogTest, OpensWithTheRecordsValuesAndCaptions) {
    auto dialog = Open();
    EXPECT_EQ(dialog->size(), QSize(1200, 323));
    EXPECT_EQ(dialog->windowTitle(), "Symbol parametrs");
    EXPECT_TRUE(dialog->ExtractBox()->isChecked());
    EXPECT_EQ(dialog->LevelField()->text(), "oi>500 AND sign>=0");
    EXPECT_EQ(dialog->BarConditionField(1)->text(), "oi>100");
    EXPECT_EQ(dialog->ParamList(4)->currentIndex(), 3);
    EXPECT_EQ(dialog->ParamList(4)->currentText(), "Pr.*OI");
    EXPECT_EQ(dialog->DisplayScaleList(2)->currentText(), "In borders");
    EXPECT_TRUE(dialog->FolderField()->text().endsWith("OUTPUT/"));
    QStringList groups;
    for (const QGroupBox* group : dialog->findChildren<QGroupBox*>()) {
        groups << group->title();
    }
    EXPECT_EQ(groups, QStringList({" Basic", " Left panel", " Histogam 1", " Histogam 2",
                                   " Histogam 3", " Histogam 4"}));
}

TEST_F(SettingsDialogTest, RussianCaptionsAndLists) {
    auto dialog = Open(common::Language::kRussian);
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8("Настройка актива"));
    EXPECT_EQ(dialog->OkButton()->text(), QString::fromUtf8("Готово"));
    EXPECT_EQ(dialog->PriceTypeList()->itemText(2), QString::fromUtf8("Форекс"));
    EXPECT_EQ(dialog->ParamList(1)->itemText(4), QString::fromUtf8("Прем.*Объём"));
    EXPECT_EQ(dialog->ExtractBox()->text(),
              QString::fromUtf8("Извлекать данные из отчёта в базу данных"));
    bool bar_caption = false;
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
        bar_caption |= label->text() == QString::fromUtf8("Условие отображения баров:");
    }
    EXPECT_TRUE(bar_caption);
}

TEST_F(SettingsDialogTest, TheDefaultsPassAndOkSavesThem) {
    auto dialog = Open();
    dialog->LevelField()->setText("  oi>=1000 AND sign>=0 ");
    dialog->ParamList(2)->setCurrentIndex(4);
    dialog->OkButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    EXPECT_TRUE(messages_.Messages().empty());
    EXPECT_EQ(record_.LevelCond(), "oi>=1000 AND sign>=0");
    EXPECT_EQ(Stored().level_cond, "oi>=1000 AND sign>=0");
    EXPECT_EQ(Stored().histograms[1].param, 4);
}

TEST_F(SettingsDialogTest, EveryFailingCheckIsReportedInOrderAndNothingIsStored) {
    auto dialog = Open();
    const settings::Settings before = record_.Values();
    dialog->FileNameField()->setText("{SYM}{WHEN}");
    dialog->LevelField()->setText("sign>-1");
    dialog->FractalMainField()->setText("oi>10 and sign>0");
    dialog->FractalNearField()->setText("(oi>1");
    dialog->BarConditionField(3)->setText("delta>0.0");
    dialog->OkButton()->click();
    EXPECT_NE(dialog->result(), QDialog::Accepted);
    const std::string again = "Please try again...\r";
    EXPECT_EQ(messages_.Messages(),
              (std::vector<std::string>{
                  "Message: The file name template is invalid.\r" + again,
                  "Message: The conditions for significance of levels is incorrect.\r" + again,
                  "Message: The conditions for significance of fractals is incorrect.\r" + again,
                  "Message: The conditions for significance of fractals is incorrect.\r" + again,
                  "Message: The condition for displaying bars is incorrect.\r" + again}));
    EXPECT_EQ(record_.Values(), before);
    EXPECT_EQ(Stored(), before);
    // The entries stay for the user to mend.
    EXPECT_EQ(dialog->LevelField()->text(), "sign>-1");
}

TEST_F(SettingsDialogTest, BadDataTemplateIsReported) {
    auto dialog = Open();
    dialog->DataTemplateField()->setText("{strike,price}{,}");
    dialog->OkButton()->click();
    ASSERT_EQ(messages_.Messages().size(), 1u);
    EXPECT_EQ(messages_.Messages()[0],
              "Message: The template of the data for unload is incorrectly set.\r"
              "Please try again...\r");
}

TEST_F(SettingsDialogTest, ExtractAndUnloadSwitchTheUnloadControls) {
    auto dialog = Open();
    const auto unload_controls = [&] {
        return std::vector<bool>{
            dialog->FolderField()->isEnabled(), dialog->FolderButton()->isEnabled(),
            dialog->FileNameField()->isEnabled(), dialog->DataTemplateField()->isEnabled()};
    };
    const std::vector<bool> all_on(4, true);
    const std::vector<bool> all_off(4, false);
    EXPECT_EQ(unload_controls(), all_on);
    dialog->UploadBox()->setChecked(false);
    EXPECT_EQ(unload_controls(), all_off);
    dialog->UploadBox()->setChecked(true);
    EXPECT_EQ(unload_controls(), all_on);

    dialog->ExtractBox()->setChecked(false);
    EXPECT_FALSE(dialog->UploadBox()->isEnabled());
    EXPECT_TRUE(dialog->UploadBox()->isChecked());
    EXPECT_EQ(unload_controls(), all_off);
    // OK still stores the unload box's mark.
    dialog->OkButton()->click();
    EXPECT_EQ(Stored().is_extract, 0);
    EXPECT_EQ(Stored().is_upload, 1);
}

TEST_F(SettingsDialogTest, OpeningWithoutExtractClearsAndDisablesUnload) {
    record_.SetIsExtract(0);
    auto dialog = Open();
    EXPECT_FALSE(dialog->UploadBox()->isChecked());
    EXPECT_FALSE(dialog->UploadBox()->isEnabled());
    EXPECT_FALSE(dialog->DataTemplateField()->isEnabled());
    dialog->ExtractBox()->setChecked(true);
    EXPECT_TRUE(dialog->UploadBox()->isEnabled());
    EXPECT_FALSE(dialog->FolderField()->isEnabled());
}

TEST_F(SettingsDialogTest, OpeningWithUnloadOffStartsWithTheUnloadControlsOff) {
    record_.SetIsUpload(0);
    auto dialog = Open();
    EXPECT_TRUE(dialog->UploadBox()->isEnabled());
    EXPECT_FALSE(dialog->FolderField()->isEnabled());
    EXPECT_FALSE(dialog->FileNameField()->isEnabled());
}

TEST_F(SettingsDialogTest, DefaultThenCancelLeavesTheRecordAlone) {
    record_.SetLevelCond("oi>7");
    record_.SetParam(1, 2);
    auto dialog = Open();
    dialog->DefaultButton()->click();
    EXPECT_EQ(dialog->LevelField()->text(), "oi>500 AND sign>=0");
    EXPECT_EQ(dialog->ParamList(1)->currentIndex(), 0);
    dialog->CancelButton()->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(record_.LevelCond(), "oi>7");
    EXPECT_EQ(record_.Param(1), 2);
}

TEST_F(SettingsDialogTest, DefaultThenOkStoresTheDefaults) {
    record_.SetLevelCond("oi>7");
    auto dialog = Open();
    dialog->DefaultButton()->click();
    dialog->OkButton()->click();
    EXPECT_EQ(Stored().level_cond, "oi>500 AND sign>=0");
}

TEST_F(SettingsDialogTest, ChosenFolderReplacesTheFieldWithItsSeparator) {
    auto dialog = Open();
    const QString before = dialog->FolderField()->text();
    dialog->FolderButton()->click();
    EXPECT_EQ(chooser_start_.toStdString(), record_.OutputFolder());
    EXPECT_EQ(dialog->FolderField()->text(), before);
    chosen_ = "/srv/unload";
    dialog->FolderButton()->click();
    EXPECT_EQ(dialog->FolderField()->text(), "/srv/unload/");
}

TEST_F(SettingsDialogTest, RunReturnsZeroWhenCancelledAndOneWhenSaved) {
    for (const bool save : {false, true}) {
        auto dialog = Open();
        QTimer::singleShot(0, dialog.get(), [&dialog, save] {
            (save ? dialog->OkButton() : dialog->CancelButton())->click();
        });
        EXPECT_EQ(dialog->Run(), save ? 1 : 0);
    }
}

TEST_F(SettingsDialogTest, ListsShowingNothingKeepTheStoredValue) {
    record_.SetParam(1, 44);
    auto dialog = Open();
    EXPECT_EQ(dialog->ParamList(1)->currentIndex(), -1);
    dialog->OkButton()->click();
    EXPECT_EQ(Stored().histograms[0].param, 44);
}

}  // namespace
}  // namespace zarvex::ui

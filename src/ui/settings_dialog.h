#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

#include "common/host.h"
#include "common/program_folder.h"
#include "settings/settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace zarvex::settings {
class SettingsRecord;
}
namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

// The settings dialog of one instrument ("Symbol parametrs", 1200 x 323): every setting in a
// control, "Default", "Cancel" and "OK". OK checks the two templates and the seven
// conditions, reports each failure in a message box and, when all pass, stores the values
// into the record and saves it. The record is touched only by a successful OK: "Default"
// fills the controls with the defaults, and cancelling after it changes nothing.
class SettingsDialog final : public QDialog {
    Q_OBJECT

public:
    // Asks for a folder, starting at the given one; an empty result means none was chosen.
    using FolderChooser = std::function<QString(QWidget* parent, const QString& start)>;

    static constexpr int kWidth = 1200;
    static constexpr int kHeight = 323;

    SettingsDialog(settings::SettingsRecord& record, common::ProgramFolder folder,
                   const common::TextTable& texts, common::MessageSink* messages,
                   FolderChooser choose_folder, QWidget* parent);

    // Runs the dialog modally over its parent: 1 when the settings were saved, else 0.
    int Run();

    // The controls, for tests.
    QCheckBox* ExtractBox() const { return extract_; }
    QCheckBox* UploadBox() const { return upload_; }
    QCheckBox* ForwardPointBox() const { return forward_point_; }
    QLineEdit* FolderField() const { return folder_; }
    QPushButton* FolderButton() const { return folder_button_; }
    QLineEdit* FileNameField() const { return file_name_; }
    QLineEdit* DataTemplateField() const { return data_template_; }
    QComboBox* PriceTypeList() const { return price_type_; }
    QLineEdit* LevelField() const { return level_; }
    QLineEdit* FractalMainField() const { return fractal_main_; }
    QLineEdit* FractalNearField() const { return fractal_near_; }
    QComboBox* HistogramPriceTypeList(int n) const { return histograms_.at(Slot(n)).price_type; }
    QComboBox* DisplayScaleList(int n) const { return histograms_.at(Slot(n)).scale; }
    QComboBox* ParamList(int n) const { return histograms_.at(Slot(n)).param; }
    QLineEdit* BarConditionField(int n) const { return histograms_.at(Slot(n)).bar_cond; }
    QPushButton* DefaultButton() const { return default_button_; }
    QPushButton* CancelButton() const { return cancel_button_; }
    QPushButton* OkButton() const { return ok_button_; }

private:
    struct HistogramControls {
        QComboBox* price_type = nullptr;
        QComboBox* scale = nullptr;
        QComboBox* param = nullptr;
        QLineEdit* bar_cond = nullptr;
    };

    static std::size_t Slot(int n) { return static_cast<std::size_t>(n - 1); }
    QString Text(int entry) const;
    void Build();
    void Fill(const settings::Settings& values);
    // The controls as settings: texts trimmed of blanks; a list showing nothing keeps the
    // record's value.
    settings::Settings Collect() const;
    void ApplyOpeningRules();
    void UploadToggled();
    void ExtractToggled();
    void ChooseFolder();
    void RestoreDefaults();
    void Accept();
    // Runs every check in order, showing each failure; true when all passed.
    bool CheckAll(const settings::Settings& values);
    void Report(int entry);

    settings::SettingsRecord& record_;
    common::ProgramFolder program_folder_;
    const common::TextTable& texts_;
    common::MessageSink* messages_;
    FolderChooser choose_folder_;

    QCheckBox* extract_ = nullptr;
    QCheckBox* upload_ = nullptr;
    QCheckBox* forward_point_ = nullptr;
    QLineEdit* folder_ = nullptr;
    QPushButton* folder_button_ = nullptr;
    QLineEdit* file_name_ = nullptr;
    QLineEdit* data_template_ = nullptr;
    QComboBox* price_type_ = nullptr;
    QLineEdit* level_ = nullptr;
    QLineEdit* fractal_main_ = nullptr;
    QLineEdit* fractal_near_ = nullptr;
    std::array<HistogramControls, settings::Settings::kHistogramCount> histograms_;
    QPushButton* default_button_ = nullptr;
    QPushButton* cancel_button_ = nullptr;
    QPushButton* ok_button_ = nullptr;
};

// The folder chooser of the platform, titled as the program titles it in every language.
QString ChooseFolderWithSystemDialog(QWidget* parent, const QString& start);

}  // namespace zarvex::ui

#include "ui/settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "common/text.h"
#include "common/text_id.h"
#include "common/text_table.h"
#include "settings/settings_record.h"
#include "settings/template_rules.h"

namespace zarvex::ui {
namespace {

namespace text = common::text;

std::string Trimmed(const QLineEdit* field) {
    return common::TrimCopy(field->text().toStdString());
}

QString FromUtf8(const std::string& value) {
    return QString::fromStdString(value);
}

void SetIndex(QComboBox* list, int value) {
    list->setCurrentIndex(value >= 0 && value < list->count() ? value : -1);
}

std::int8_t IndexOr(const QComboBox* list, std::int8_t kept) {
    return list->currentIndex() >= 0 ? static_cast<std::int8_t>(list->currentIndex()) : kept;
}

}  // namespace

QString ChooseFolderWithSystemDialog(QWidget* parent, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, QString::fromUtf8("Папка для выгрузки файлов"),
                                             start);
}

SettingsDialog::SettingsDialog(settings::SettingsRecord& record, common::ProgramFolder folder,
                               const common::TextTable& texts, common::MessageSink* messages,
                               FolderChooser choose_folder, QWidget* parent)
    : QDialog(parent),
      record_(record),
      program_folder_(std::move(folder)),
      texts_(texts),
      messages_(messages),
      choose_folder_(std::move(choose_folder)) {
    setObjectName(QStringLiteral("settingsDialog"));
    setWindowTitle(Text(text::kSymbolParameters));
    setFixedSize(kWidth, kHeight);
    setWindowModality(Qt::WindowModal);
    Build();
    Fill(record_.Values());
    ApplyOpeningRules();
}

int SettingsDialog::Run() {
    return exec() == QDialog::Accepted ? 1 : 0;
}

QString SettingsDialog::Text(int entry) const {
    return FromUtf8(texts_.Get(entry));
}

void SettingsDialog::Build() {
    auto label = [](QWidget* group, const QString& caption, QRect place, bool wrap = false) {
        auto* widget = new QLabel(caption, group);
        widget->setGeometry(place);
        widget->setWordWrap(wrap);
        return widget;
    };
    auto field = [](QWidget* group, const char* name, QRect place) {
        auto* widget = new QLineEdit(group);
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(place);
        return widget;
    };
    auto list = [this](QWidget* group, const QString& name, int first_entry, int count,
                       QRect place) {
        auto* widget = new QComboBox(group);
        widget->setObjectName(name);
        for (int i = 0; i < count; ++i) {
            widget->addItem(Text(first_entry + i));
        }
        widget->setGeometry(place);
        return widget;
    };
    auto check = [](QWidget* group, const QString& caption, const char* name, QRect place) {
        auto* widget = new QCheckBox(caption, group);
        widget->setObjectName(QString::fromLatin1(name));
        widget->setGeometry(place);
        return widget;
    };

    auto* basic = new QGroupBox(Text(text::kGroupBasic), this);
    basic->setGeometry(5, 5, 380, 280);
    extract_ = check(basic, Text(text::kExtractData), "extractCheck", {10, 22, 360, 20});
    upload_ = check(basic, Text(text::kUnloadData), "uploadCheck", {10, 44, 360, 20});
    forward_point_ =
        check(basic, Text(text::kAllowForwardPoint), "forwardPointCheck", {10, 66, 360, 20});
    label(basic, Text(text::kOutputFolder), {10, 92, 360, 16});
    folder_ = field(basic, "outputFolder", {10, 110, 325, 22});
    folder_button_ = new QPushButton(QStringLiteral("..."), basic);
    folder_button_->setObjectName(QStringLiteral("folderButton"));
    folder_button_->setGeometry(340, 110, 30, 22);
    label(basic, Text(text::kFileNameTemplate), {10, 140, 360, 16});
    file_name_ = field(basic, "fileNameTemplate", {10, 158, 360, 22});
    label(basic, Text(text::kDataTemplate), {10, 188, 360, 16});
    data_template_ = field(basic, "dataTemplate", {10, 206, 360, 22});

    auto* left = new QGroupBox(Text(text::kGroupLeftPanel), this);
    left->setGeometry(390, 5, 200, 280);
    label(left, Text(text::kLeftPriceType), {10, 22, 180, 16});
    price_type_ =
        list(left, QStringLiteral("priceType"), text::kPriceTypeFutures, 3, {10, 40, 180, 22});
    label(left, Text(text::kLevelCondition), {10, 70, 180, 16});
    level_ = field(left, "levelCondition", {10, 88, 180, 22});
    label(left, Text(text::kFractalConditions), {10, 118, 180, 16});
    label(left, Text(text::kFractalMain), {10, 140, 70, 20});
    fractal_main_ = field(left, "fractalMainCondition", {80, 138, 110, 22});
    label(left, Text(text::kFractalNear), {10, 168, 70, 20});
    fractal_near_ = field(left, "fractalNearCondition", {80, 166, 110, 22});

    for (int n = 1; n <= settings::Settings::kHistogramCount; ++n) {
        auto* group = new QGroupBox(Text(text::kGroupHistogram1 + n - 1), this);
        group->setGeometry(595 + (n - 1) * 151, 5, 146, 280);
        HistogramControls& controls = histograms_.at(Slot(n));
        const QString suffix = QString::number(n);
        label(group, Text(text::kHistogramPriceType), {8, 22, 130, 16});
        controls.price_type = list(group, QStringLiteral("marketType") + suffix,
                                   text::kPriceTypeFutures, 3, {8, 40, 130, 22});
        label(group, Text(text::kDisplayScale), {8, 68, 130, 16});
        controls.scale = list(group, QStringLiteral("marketScale") + suffix, text::kScaleAllLevels,
                              3, {8, 86, 130, 22});
        label(group, Text(text::kDisplayedParam), {8, 114, 130, 16});
        controls.param = list(group, QStringLiteral("param") + suffix, text::kParamOpenInterest, 5,
                              {8, 132, 130, 22});
        label(group, Text(text::kBarCondition), {8, 160, 130, 32}, true);
        controls.bar_cond = new QLineEdit(group);
        controls.bar_cond->setObjectName(QStringLiteral("barCondition") + suffix);
        controls.bar_cond->setGeometry(8, 194, 130, 22);
    }

    default_button_ = new QPushButton(Text(text::kDefault), this);
    default_button_->setObjectName(QStringLiteral("defaultButton"));
    default_button_->setGeometry(5, 291, 110, 26);
    cancel_button_ = new QPushButton(Text(text::kCancel), this);
    cancel_button_->setObjectName(QStringLiteral("cancelButton"));
    cancel_button_->setGeometry(970, 291, 110, 26);
    ok_button_ = new QPushButton(Text(text::kOk), this);
    ok_button_->setObjectName(QStringLiteral("okButton"));
    ok_button_->setGeometry(1085, 291, 110, 26);
    ok_button_->setDefault(true);

    connect(upload_, &QCheckBox::toggled, this, [this] { UploadToggled(); });
    connect(extract_, &QCheckBox::toggled, this, [this] { ExtractToggled(); });
    connect(folder_button_, &QPushButton::clicked, this, [this] { ChooseFolder(); });
    connect(default_button_, &QPushButton::clicked, this, [this] { RestoreDefaults(); });
    connect(cancel_button_, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok_button_, &QPushButton::clicked, this, [this] { Accept(); });
}

void SettingsDialog::Fill(const settings::Settings& values) {
    // Filling must not run the toggle rules half-way; they are applied afterwards.
    const QSignalBlocker extract_blocker(extract_);
    const QSignalBlocker upload_blocker(upload_);
    extract_->setChecked(values.is_extract == 1);
    upload_->setChecked(values.is_upload == 1);
    forward_point_->setChecked(values.is_fp == 1);
    folder_->setText(FromUtf8(values.output_folder));
    file_name_->setText(FromUtf8(values.template_file_name));
    data_template_->setText(FromUtf8(values.template_output_data));
    SetIndex(price_type_, values.price_type);
    level_->setText(FromUtf8(values.level_cond));
    fractal_main_->setText(FromUtf8(values.fractal_main_cond));
    fractal_near_->setText(FromUtf8(values.fractal_near_cond));
    for (int n = 1; n <= settings::Settings::kHistogramCount; ++n) {
        const HistogramControls& controls = histograms_.at(Slot(n));
        const settings::HistogramSettings& histogram = values.histograms.at(Slot(n));
        SetIndex(controls.price_type, histogram.market_type);
        SetIndex(controls.scale, histogram.market_scale);
        SetIndex(controls.param, histogram.param);
        controls.bar_cond->setText(FromUtf8(histogram.bar_cond));
    }
}

settings::Settings SettingsDialog::Collect() const {
    settings::Settings values = record_.Values();
    values.is_extract = extract_->isChecked() ? 1 : 0;
    values.is_upload = upload_->isChecked() ? 1 : 0;
    values.is_fp = forward_point_->isChecked() ? 1 : 0;
    values.output_folder = Trimmed(folder_);
    values.template_file_name = Trimmed(file_name_);
    values.template_output_data = Trimmed(data_template_);
    values.price_type = IndexOr(price_type_, values.price_type);
    values.level_cond = Trimmed(level_);
    values.fractal_main_cond = Trimmed(fractal_main_);
    values.fractal_near_cond = Trimmed(fractal_near_);
    for (int n = 1; n <= settings::Settings::kHistogramCount; ++n) {
        const HistogramControls& controls = histograms_.at(Slot(n));
        settings::HistogramSettings& histogram = values.histograms.at(Slot(n));
        histogram.market_type = IndexOr(controls.price_type, histogram.market_type);
        histogram.market_scale = IndexOr(controls.scale, histogram.market_scale);
        histogram.param = IndexOr(controls.param, histogram.param);
        histogram.bar_cond = Trimmed(controls.bar_cond);
    }
    return values;
}

void SettingsDialog::ApplyOpeningRules() {
    if (!extract_->isChecked()) {
        const QSignalBlocker blocker(upload_);
        upload_->setChecked(false);
    }
    ExtractToggled();
}

void SettingsDialog::UploadToggled() {
    const bool enabled = upload_->isEnabled() && upload_->isChecked();
    for (QWidget* control :
         std::initializer_list<QWidget*>{folder_, folder_button_, file_name_, data_template_}) {
        control->setEnabled(enabled);
    }
}

void SettingsDialog::ExtractToggled() {
    upload_->setEnabled(extract_->isChecked());
    UploadToggled();
}

void SettingsDialog::ChooseFolder() {
    if (!choose_folder_) {
        return;
    }
    QString chosen = choose_folder_(this, FromUtf8(record_.OutputFolder()));
    if (chosen.isEmpty()) {
        return;
    }
    // Output folders are kept with their trailing separator.
    if (!chosen.endsWith(QLatin1Char('/'))) {
        chosen += QLatin1Char('/');
    }
    folder_->setText(chosen);
}

void SettingsDialog::RestoreDefaults() {
    Fill(settings::DefaultSettings(record_.Symbol(), program_folder_));
    ApplyOpeningRules();
}

void SettingsDialog::Report(int entry) {
    if (messages_ != nullptr) {
        messages_->ShowMessage(texts_.Get(text::kMessage),
                               texts_.Get(entry) + texts_.Get(text::kTryAgain));
    }
}

bool SettingsDialog::CheckAll(const settings::Settings& values) {
    using settings::CheckResult;
    using settings::ConditionUse;
    std::vector<CheckResult> results;
    results.push_back(settings::CheckFileNameTemplate(values.template_file_name));
    results.push_back(settings::CheckDataTemplate(values.template_output_data));
    results.push_back(settings::CheckCondition(values.level_cond, ConditionUse::kLevel));
    results.push_back(settings::CheckCondition(values.fractal_main_cond, ConditionUse::kFractal));
    results.push_back(settings::CheckCondition(values.fractal_near_cond, ConditionUse::kFractal));
    for (const settings::HistogramSettings& histogram : values.histograms) {
        results.push_back(settings::CheckCondition(histogram.bar_cond, ConditionUse::kBar));
    }
    bool all_valid = true;
    for (const CheckResult& result : results) {
        if (!result.valid) {
            Report(result.message);
            all_valid = false;
        }
    }
    return all_valid;
}

void SettingsDialog::Accept() {
    const settings::Settings values = Collect();
    if (!CheckAll(values)) {
        return;
    }
    record_.SetValues(values);
    record_.SaveSettings();
    accept();
}

}  // namespace zarvex::ui

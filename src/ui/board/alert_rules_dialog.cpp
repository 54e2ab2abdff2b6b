#include "ui/board/alert_rules_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include "analytics/board/alert_rules.h"
#include "common/config_folder.h"
#include "common/text_id.h"
#include "common/text_table.h"

namespace zarvex::ui {

namespace {

QString Text(const common::TextTable& texts, int id) {
    return QString::fromStdString(texts.Get(id));
}

}  // namespace

AlertRulesDialog::AlertRulesDialog(std::filesystem::path path, const common::TextTable& texts,
                                   QWidget* parent)
    : QDialog(parent),
      path_(std::move(path)),
      texts_(texts),
      editor_(new QPlainTextEdit(this)),
      problems_(new QLabel(this)),
      save_(nullptr) {
    setWindowTitle(Text(texts, common::text::kBoardAlertRules).remove(QStringLiteral("…")));
    auto* help = new QLabel(Text(texts, common::text::kBoardRulesHelp), this);
    help->setWordWrap(true);
    editor_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    problems_->setWordWrap(true);
    problems_->setStyleSheet(QStringLiteral("color: #b00000"));

    QFile file(QString::fromStdString(path_.string()));
    if (file.exists() && file.open(QIODevice::ReadOnly)) {
        editor_->setPlainText(QString::fromUtf8(file.read(1024 * 1024)));
    } else {
        const std::string_view header = analytics::AlertRulesFileHeader();
        editor_->setPlainText(
            QString::fromUtf8(header.data(), static_cast<qsizetype>(header.size())));
    }

    auto* buttons = new QDialogButtonBox(this);
    auto* check =
        buttons->addButton(Text(texts, common::text::kBoardCheck), QDialogButtonBox::ActionRole);
    save_ = buttons->addButton(Text(texts, common::text::kBoardSave), QDialogButtonBox::AcceptRole);
    buttons->addButton(Text(texts, common::text::kCancel), QDialogButtonBox::RejectRole);
    connect(check, &QPushButton::clicked, this, [this] { Check(); });
    connect(save_, &QPushButton::clicked, this, [this] {
        if (Save()) {
            accept();
        }
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(help);
    layout->addWidget(editor_, 1);
    layout->addWidget(problems_);
    layout->addWidget(buttons);
    resize(640, 420);
    Check();
}

bool AlertRulesDialog::Check() {
    const std::string text = editor_->toPlainText().toStdString();
    const analytics::AlertRules rules = analytics::ParseAlertRules(text);
    if (rules.errors.empty()) {
        problems_->clear();
        return true;
    }
    QString shown = Text(texts_, common::text::kBoardRulesBroken);
    for (const analytics::AlertRuleError& error : rules.errors) {
        shown += QStringLiteral("\n") + QString::fromStdString(error.message);
    }
    problems_->setText(shown);
    return false;
}

bool AlertRulesDialog::Save() {
    // Broken lines are kept: they are the user's text, and the reader skips them.
    Check();
    common::PrepareUserConfigFolder(path_.parent_path());
    QSaveFile file(QString::fromStdString(path_.string()));
    if (!file.open(QIODevice::WriteOnly) || file.write(editor_->toPlainText().toUtf8()) < 0 ||
        !file.commit()) {
        problems_->setText(Text(texts_, common::text::kCannotWrite) +
                           QString::fromStdString(path_.string()));
        return false;
    }
    return true;
}

}  // namespace zarvex::ui

#pragma once

#include <QDialog>
#include <filesystem>

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

// The alert rules as the text file they are kept in: edited here, checked line by line (every
// broken line named with its number) and saved whole, so a day run never reads half a file.
// A missing file opens with its explaining header.
class AlertRulesDialog final : public QDialog {
    Q_OBJECT

public:
    AlertRulesDialog(std::filesystem::path path, const common::TextTable& texts,
                     QWidget* parent = nullptr);

    QPlainTextEdit* Editor() const { return editor_; }
    QLabel* Problems() const { return problems_; }
    QPushButton* SaveButton() const { return save_; }

    // Shows the broken lines of the editor's text; true when there are none.
    bool Check();
    // Writes the editor's text to the file; false, with the reason shown, when it cannot.
    bool Save();

private:
    std::filesystem::path path_;
    const common::TextTable& texts_;
    QPlainTextEdit* editor_;
    QLabel* problems_;
    QPushButton* save_;
};

}  // namespace zarvex::ui

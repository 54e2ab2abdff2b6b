#pragma once

#include <QDialog>

#include "acquisition/data_source.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::gui {

// "Data source": the report server (plain HTTP or https://, with the CA bundle its certificate
// is checked against) and the time hosts of the whole program. OK keeps the dialog open while
// a host cannot be used, naming it and why; an empty report server is allowed (no downloads).
// A report server on another computer over plain HTTP is allowed too, with a warning.
class DataSourceDialog final : public QDialog {
    Q_OBJECT

public:
    DataSourceDialog(const acquisition::DataSource& current, const common::TextTable& texts,
                     QWidget* parent);

    // What the fields hold, trimmed and split; the scheme joined to the report server.
    acquisition::DataSource Source() const;

    QComboBox* SchemeBox() const { return scheme_; }
    QLineEdit* ReportHostField() const { return report_host_; }
    QLineEdit* CaFileField() const { return ca_file_; }
    QPushButton* BrowseButton() const { return browse_; }
    QLineEdit* TimeHostsField() const { return time_hosts_; }
    QLabel* PlainHttpLabel() const { return plain_http_; }
    QLabel* ProblemLabel() const { return problem_; }

    void accept() override;

private:
    void ShowPlainHttpWarning();
    void ChooseCaFile();

    const common::TextTable& texts_;
    QComboBox* scheme_;
    QLineEdit* report_host_;
    QLineEdit* ca_file_;
    QPushButton* browse_;
    QLineEdit* time_hosts_;
    QLabel* plain_http_;
    QLabel* problem_;
};

}  // namespace zarvex::gui

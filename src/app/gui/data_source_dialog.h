#pragma once

#include <QDialog>

#include "acquisition/data_source.h"

class QLabel;
class QLineEdit;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::gui {

// "Data source": the report server and the time hosts of the whole program. OK keeps the
// dialog open while a host does not parse, naming it; an empty report server is allowed (no
// downloads).
class DataSourceDialog final : public QDialog {
    Q_OBJECT

public:
    DataSourceDialog(const acquisition::DataSource& current, const common::TextTable& texts,
                     QWidget* parent);

    // What the fields hold, trimmed and split.
    acquisition::DataSource Source() const;

    QLineEdit* ReportHostField() const { return report_host_; }
    QLineEdit* TimeHostsField() const { return time_hosts_; }
    QLabel* ProblemLabel() const { return problem_; }

    void accept() override;

private:
    const common::TextTable& texts_;
    QLineEdit* report_host_;
    QLineEdit* time_hosts_;
    QLabel* problem_;
};

}  // namespace zarvex::gui

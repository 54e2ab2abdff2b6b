#include "app/gui/data_source_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/text.h"
#include "common/text_id.h"
#include "common/text_table.h"

namespace zarvex::gui {

namespace {

namespace text = common::text;

QString Shown(const std::string& value) {
    return QString::fromStdString(value);
}

}  // namespace

DataSourceDialog::DataSourceDialog(const acquisition::DataSource& current,
                                   const common::TextTable& texts, QWidget* parent)
    : QDialog(parent),
      texts_(texts),
      report_host_(new QLineEdit(Shown(current.report_host), this)),
      time_hosts_(new QLineEdit(this)),
      problem_(new QLabel(this)) {
    setWindowTitle(Shown(texts.Get(text::kDataSource)));
    setObjectName(QStringLiteral("dataSourceDialog"));
    QStringList hosts;
    for (const std::string& host : current.time_hosts) {
        hosts << Shown(host);
    }
    time_hosts_->setText(hosts.join(QStringLiteral(", ")));
    report_host_->setPlaceholderText(QStringLiteral("127.0.0.1:8217"));
    report_host_->setMinimumWidth(320);
    QPalette red = problem_->palette();
    red.setColor(QPalette::WindowText, QColor(200, 0, 0));
    problem_->setPalette(red);
    problem_->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(Shown(texts.Get(text::kOk)));
    buttons->button(QDialogButtonBox::Cancel)->setText(Shown(texts.Get(text::kCancel)));
    connect(buttons, &QDialogButtonBox::accepted, this, &DataSourceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DataSourceDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Shown(texts.Get(text::kReportServerField)), this));
    layout->addWidget(report_host_);
    layout->addWidget(new QLabel(Shown(texts.Get(text::kTimeHostsField)), this));
    layout->addWidget(time_hosts_);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
}

acquisition::DataSource DataSourceDialog::Source() const {
    acquisition::DataSource source;
    source.report_host = std::string(common::Trim(report_host_->text().toStdString()));
    source.time_hosts = acquisition::SplitHostList(time_hosts_->text().toStdString());
    return source;
}

void DataSourceDialog::accept() {
    const std::string bad = acquisition::FirstBadHost(Source());
    if (!bad.empty()) {
        problem_->setText(Shown(texts_.Get(text::kBadHost) + bad));
        problem_->show();
        return;
    }
    QDialog::accept();
}

}  // namespace zarvex::gui

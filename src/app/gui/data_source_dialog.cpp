#include "app/gui/data_source_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "acquisition/host_address.h"
#include "acquisition/network_status.h"
#include "common/text.h"
#include "common/text_id.h"
#include "common/text_table.h"

namespace zarvex::gui {

namespace {

namespace text = common::text;

constexpr int kHttps = 1;  // the scheme box's second entry
constexpr std::string_view kHttpsMark = "https://";
constexpr std::string_view kHttpMark = "http://";

QString Shown(const std::string& value) {
    return QString::fromStdString(value);
}

void MakeRed(QLabel* label) {
    QPalette red = label->palette();
    red.setColor(QPalette::WindowText, QColor(200, 0, 0));
    label->setPalette(red);
    label->setWordWrap(true);
    label->hide();
}

}  // namespace

DataSourceDialog::DataSourceDialog(const acquisition::DataSource& current,
                                   const common::TextTable& texts, QWidget* parent)
    : QDialog(parent),
      texts_(texts),
      scheme_(new QComboBox(this)),
      report_host_(new QLineEdit(this)),
      ca_file_(new QLineEdit(Shown(current.ca_file), this)),
      browse_(new QPushButton(Shown(texts.Get(text::kBrowse)), this)),
      time_hosts_(new QLineEdit(this)),
      plain_http_(new QLabel(Shown(texts.Get(text::kPlainHttpWarning)), this)),
      problem_(new QLabel(this)) {
    setWindowTitle(Shown(texts.Get(text::kDataSource)));
    setObjectName(QStringLiteral("dataSourceDialog"));
    scheme_->addItem(QStringLiteral("http://"));
    scheme_->addItem(QStringLiteral("https://"));
    // The scheme stands in the box, the rest in the field: "https://h:1" shows as https:// + h:1.
    std::string host = current.report_host;
    const std::string lower = common::ToLowerAscii(host);
    if (common::StartsWith(lower, kHttpsMark)) {
        scheme_->setCurrentIndex(kHttps);
        host.erase(0, kHttpsMark.size());
    } else if (common::StartsWith(lower, kHttpMark)) {
        host.erase(0, kHttpMark.size());
    }
    report_host_->setText(Shown(host));
    QStringList hosts;
    for (const std::string& time_host : current.time_hosts) {
        hosts << Shown(time_host);
    }
    time_hosts_->setText(hosts.join(QStringLiteral(", ")));
    report_host_->setPlaceholderText(QStringLiteral("127.0.0.1:8217"));
    report_host_->setMinimumWidth(320);
    MakeRed(plain_http_);
    MakeRed(problem_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(Shown(texts.Get(text::kOk)));
    buttons->button(QDialogButtonBox::Cancel)->setText(Shown(texts.Get(text::kCancel)));
    connect(buttons, &QDialogButtonBox::accepted, this, &DataSourceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DataSourceDialog::reject);
    connect(scheme_, &QComboBox::currentIndexChanged, this,
            &DataSourceDialog::ShowPlainHttpWarning);
    connect(report_host_, &QLineEdit::textChanged, this, &DataSourceDialog::ShowPlainHttpWarning);
    connect(browse_, &QPushButton::clicked, this, &DataSourceDialog::ChooseCaFile);

    auto* server = new QHBoxLayout;
    server->addWidget(scheme_);
    server->addWidget(report_host_, 1);
    auto* ca_row = new QHBoxLayout;
    ca_row->addWidget(ca_file_, 1);
    ca_row->addWidget(browse_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(Shown(texts.Get(text::kReportServerField)), this));
    layout->addLayout(server);
    layout->addWidget(plain_http_);
    layout->addWidget(new QLabel(Shown(texts.Get(text::kCaFileField)), this));
    layout->addLayout(ca_row);
    layout->addWidget(new QLabel(Shown(texts.Get(text::kTimeHostsField)), this));
    layout->addWidget(time_hosts_);
    layout->addWidget(problem_);
    layout->addWidget(buttons);
    ShowPlainHttpWarning();
}

acquisition::DataSource DataSourceDialog::Source() const {
    acquisition::DataSource source;
    const std::string host(common::Trim(report_host_->text().toStdString()));
    // A scheme typed into the field itself is taken as typed.
    const bool has_scheme = host.find("://") != std::string::npos;
    if (!host.empty() && !has_scheme && scheme_->currentIndex() == kHttps) {
        source.report_host = std::string(kHttpsMark) + host;
    } else {
        source.report_host = host;
    }
    source.time_hosts = acquisition::SplitHostList(time_hosts_->text().toStdString());
    source.ca_file = std::string(common::Trim(ca_file_->text().toStdString()));
    return source;
}

void DataSourceDialog::ShowPlainHttpWarning() {
    const std::string host = Source().report_host;
    const auto address = acquisition::ParseHostAddress(host);
    plain_http_->setVisible(address && !address->https && !acquisition::IsLoopbackHost(host));
}

void DataSourceDialog::ChooseCaFile() {
    const QString chosen =
        QFileDialog::getOpenFileName(this, Shown(texts_.Get(text::kChooseCaFile)), ca_file_->text(),
                                     QStringLiteral("PEM (*.pem *.crt *.cer);;* (*)"));
    if (!chosen.isEmpty()) {
        ca_file_->setText(chosen);
    }
}

void DataSourceDialog::accept() {
    const acquisition::BadHost bad = acquisition::FirstBadHost(Source());
    if (bad.fault != acquisition::HostFault::kNone) {
        problem_->setText(Shown(texts_.Get(text::kBadHost) + common::Capped(bad.host) + ": " +
                                acquisition::HostFaultText(bad.fault, texts_)));
        problem_->show();
        return;
    }
    QDialog::accept();
}

}  // namespace zarvex::gui

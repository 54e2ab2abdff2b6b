#include "app/gui/data_notice.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include "common/text_id.h"
#include "common/text_table.h"

namespace zarvex::gui {

DataNotice::DataNotice(const common::TextTable& texts, QWidget* parent)
    : QFrame(parent),
      text_(new QLabel(this)),
      set_source_(
          new QPushButton(QString::fromStdString(texts.Get(common::text::kSetDataSource)), this)),
      demo_(new QPushButton(QString::fromStdString(texts.Get(common::text::kOpenDemoData)), this)) {
    setObjectName(QStringLiteral("dataNotice"));
    // The busy colours of the status bar: the notice is about the same thing.
    setAutoFillBackground(true);
    QPalette yellow = palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 200));
    setPalette(yellow);
    setFrameShape(QFrame::StyledPanel);
    // A long reason is cut on screen; the whole of it is in the tooltip.
    text_->setTextFormat(Qt::PlainText);
    text_->setMinimumWidth(1);
    text_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 1, 2, 1);
    layout->setSpacing(4);
    layout->addWidget(text_, 1);
    layout->addWidget(set_source_);
    layout->addWidget(demo_);
    connect(set_source_, &QPushButton::clicked, this, &DataNotice::setSourceRequested);
    connect(demo_, &QPushButton::clicked, this, &DataNotice::demoRequested);
}

void DataNotice::SetText(const QString& text) {
    text_->setText(text);
    text_->setToolTip(text);
}

QString DataNotice::Text() const {
    return text_->text();
}

}  // namespace zarvex::gui

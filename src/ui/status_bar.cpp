#include "ui/status_bar.h"

#include <QLabel>
#include <algorithm>

#include "ui/control_number.h"

namespace zarvex::ui {
namespace {

QColor FromRgb(int rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb) & 0xFFFFFFu);
}

}  // namespace

StatusBar::StatusBar(QWidget* parent, int control_number, int x, int y, int width, int height)
    : QWidget(parent),
      label_(new QLabel(this)),
      status_(new QLabel(this)),
      note_(new QLabel(this)) {
    SetControlNumber(this, control_number);
    SetControlNumber(label_, control_number + kLabelFieldOffset);
    SetControlNumber(status_, control_number + kStatusFieldOffset);
    height = std::max(height, kMinHeight);
    setGeometry(x, y, width, height);
    label_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    status_->setAutoFillBackground(true);
    // The field's own background, remembered for the idle colours.
    default_background_ = status_->palette().color(QPalette::Window);
    note_->setObjectName(QStringLiteral("statusNote"));
    note_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PlaceFields();
    Dock();
}

void StatusBar::PlaceFields() {
    const int note = note_->text().isEmpty() ? 0 : note_->sizeHint().width() + 8;
    label_->setGeometry(0, 0, kLabelWidth, height());
    status_->setGeometry(kLabelWidth + 1, 0, width() - kLabelWidth - 4 - note, height());
    note_->setGeometry(width() - note - 3, 0, note, height());
    note_->setVisible(note > 0);
}

void StatusBar::SetNote(const QString& text) {
    note_->setText(text);
    PlaceFields();
}

void StatusBar::Resize(int width) {
    resize(width, height());
    Dock();
    PlaceFields();
}

void StatusBar::Dock() {
    if (parentWidget() != nullptr) {
        move(x(), parentWidget()->height() - height());
    }
}

void StatusBar::SetLabel(const QString& text) {
    label_->setText(text);
}

void StatusBar::SetStatus(const QString& text) {
    status_->setText(text);
}

void StatusBar::SetStatusColours(int background, int text) {
    QPalette colours = status_->palette();
    // Every colour group: the window may be locked (input blocked) while the text is shown.
    colours.setColor(QPalette::WindowText, FromRgb(text));
    colours.setColor(QPalette::Window,
                     background == kDefaultBackground ? default_background_ : FromRgb(background));
    status_->setPalette(colours);
}

QString StatusBar::StatusText() const {
    return status_->text();
}

QColor StatusBar::StatusTextColour() const {
    return status_->palette().color(QPalette::WindowText);
}

QColor StatusBar::StatusBackground() const {
    return status_->palette().color(QPalette::Window);
}

}  // namespace zarvex::ui

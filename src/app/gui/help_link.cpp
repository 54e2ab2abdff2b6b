#include "app/gui/help_link.h"

#include <QMouseEvent>

namespace zarvex::gui {

HelpLink::HelpLink(const QString& text, QWidget* parent) : QLabel(text, parent) {
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    SetColour(QColor(0, 0, 255));
}

QColor HelpLink::TextColour() const {
    return palette().color(QPalette::WindowText);
}

void HelpLink::SetColour(const QColor& colour) {
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, colour);
    setPalette(colours);
}

void HelpLink::enterEvent(QEnterEvent* event) {
    SetColour(QColor(255, 0, 0));
    QLabel::enterEvent(event);
}

void HelpLink::leaveEvent(QEvent* event) {
    SetColour(QColor(0, 0, 255));
    QLabel::leaveEvent(event);
}

void HelpLink::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        emit activated();
    }
    QLabel::mouseReleaseEvent(event);
}

}  // namespace zarvex::gui

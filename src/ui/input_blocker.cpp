#include "ui/input_blocker.h"

#include <QApplication>
#include <QEvent>
#include <algorithm>

namespace zarvex::ui {
namespace {

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
            return true;
        default:
            return false;
    }
}

}  // namespace

InputBlocker::InputBlocker(QObject* parent) : QObject(parent) {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->installEventFilter(this);
    }
}

InputBlocker::~InputBlocker() {
    if (QCoreApplication::instance() != nullptr) {
        QCoreApplication::instance()->removeEventFilter(this);
    }
}

void InputBlocker::Block(QWidget* widget) {
    for (Entry& entry : entries_) {
        if (entry.widget == widget) {
            ++entry.depth;
            return;
        }
    }
    entries_.push_back({widget, 1});
    widget->setCursor(Qt::BusyCursor);
}

void InputBlocker::Unblock(QWidget* widget) {
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        if (it->widget == widget) {
            if (--it->depth <= 0) {
                if (it->widget) {
                    it->widget->unsetCursor();
                }
                entries_.erase(it);
            }
            return;
        }
    }
}

bool InputBlocker::IsBlocked(const QWidget* widget) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [widget](const Entry& entry) { return entry.widget == widget; });
}

bool InputBlocker::DropsInputFor(const QWidget* widget) const {
    for (; widget != nullptr; widget = widget->parentWidget()) {
        if (IsBlocked(widget)) {
            return true;
        }
    }
    return false;
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (!entries_.empty() && IsUserInput(event->type()) && watched->isWidgetType() &&
        DropsInputFor(static_cast<QWidget*>(watched))) {
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace zarvex::ui

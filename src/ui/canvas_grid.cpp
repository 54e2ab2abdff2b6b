#include "ui/canvas_grid.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <algorithm>

#include "ui/auto_repeat.h"

namespace zarvex::ui {
namespace {

constexpr int kTextPadding = 10;
constexpr int kItemPadding = 5;
constexpr int kMinThickness = 32;
constexpr int kArrowHeight = 16;
constexpr int kPressedUp = -10;
constexpr int kPressedDown = -11;
constexpr int kPressedHeader = -12;

QColor FromRgb(std::uint32_t rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb));
}

}  // namespace

CanvasGrid::CanvasGrid(QWidget* parent, AutoRepeat* repeat, unsigned flags)
    : QWidget(parent), repeat_(repeat), flags_(flags) {
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    FitWidth();
}

CanvasGrid::~CanvasGrid() {
    ReleasePress();
}

void CanvasGrid::AddItem(int position, const QString& text) {
    Item item;
    item.text = text;
    if (position == kHeader) {
        header_ = item;
    } else if (position < 0 || position >= ItemCount()) {
        items_.push_back(item);
    } else {
        items_.insert(items_.begin() + position, item);
    }
    FitWidth();
    update();
}

void CanvasGrid::SetFlag(unsigned flag, bool value, bool redraw) {
    flags_ = value ? (flags_ | flag) : (flags_ & ~flag);
    FitWidth();
    if (redraw) {
        Redraw();
    }
}

void CanvasGrid::SetItemState(int index, unsigned state, unsigned mask) {
    if (index < 0 || index >= ItemCount()) {
        return;
    }
    Item& item = items_[static_cast<std::size_t>(index)];
    if ((mask & kDisabled) != 0) {
        item.disabled = (state & kDisabled) != 0;
    }
    if ((mask & kSelected) != 0) {
        const bool select = (state & kSelected) != 0;
        if (select && (flags_ & kSingleSelection) != 0) {
            for (Item& other : items_) {
                other.selected = false;
            }
        }
        item.selected = select;
    }
    if ((mask & kMarked) != 0) {
        item.marked = (state & kMarked) != 0;
    }
    update();
}

void CanvasGrid::SetGridFont(const QFont& grid_font) {
    setFont(grid_font);
    FitWidth();
    update();
}

void CanvasGrid::SetItemColour(int index, ColourKind which, std::uint32_t colour) {
    if (index < 0 || index >= ItemCount()) {
        return;
    }
    Item& item = items_[static_cast<std::size_t>(index)];
    (which == kTextColour ? item.text_colour : item.background) = colour;
    update();
}

int CanvasGrid::State(int query) const {
    switch (query) {
        case kQueryLastClicked:
            return last_clicked_;
        case kQuerySelected:
            for (int i = 0; i < ItemCount(); ++i) {
                if (items_[static_cast<std::size_t>(i)].selected) {
                    return i;
                }
            }
            return -1;
        case -1:
        case -2:
            return query;
        default:
            return (query >= 0 && query < ItemCount()) ? query : -1;
    }
}

void CanvasGrid::Redraw() {
    FitWidth();
    Scroll(0);
    update();
}

QString CanvasGrid::ItemText(int index) const {
    return (index >= 0 && index < ItemCount()) ? items_[static_cast<std::size_t>(index)].text
                                               : QString();
}

QColor CanvasGrid::ItemTextColour(int index) const {
    if (index < 0 || index >= ItemCount()) {
        return {};
    }
    const std::uint32_t colour = items_[static_cast<std::size_t>(index)].text_colour;
    return colour == kDefaultColour ? palette().color(QPalette::ButtonText) : FromRgb(colour);
}

int CanvasGrid::ItemHeight() const {
    return QFontMetrics(font()).height() + 2 * kItemPadding;
}

int CanvasGrid::HeaderHeight() const {
    return header_ ? ItemHeight() : 0;
}

int CanvasGrid::ContentThickness() const {
    const QFontMetrics metrics(font());
    int widest = 0;
    for (const Item& item : items_) {
        widest = std::max(widest, metrics.horizontalAdvance(item.text));
    }
    if (header_) {
        widest = std::max(widest, metrics.horizontalAdvance(header_->text));
    }
    return std::max(kMinThickness, widest + 2 * kTextPadding + 2);
}

bool CanvasGrid::ScrollArrowsShown() const {
    return HeaderHeight() + ItemCount() * ItemHeight() > height();
}

QRect CanvasGrid::UpArrowRect() const {
    if (!ScrollArrowsShown()) {
        return {};
    }
    return QRect(0, height() - kArrowHeight, width() / 2, kArrowHeight);
}

QRect CanvasGrid::DownArrowRect() const {
    if (!ScrollArrowsShown()) {
        return {};
    }
    return QRect(width() / 2, height() - kArrowHeight, width() - width() / 2, kArrowHeight);
}

QRect CanvasGrid::ItemRect(int index) const {
    if (index < 0 || index >= ItemCount()) {
        return {};
    }
    return QRect(0, HeaderHeight() + (index - first_visible_) * ItemHeight(), width(),
                 ItemHeight());
}

int CanvasGrid::ItemAt(QPoint point) const {
    const int list_bottom = ScrollArrowsShown() ? height() - kArrowHeight : height();
    if (point.y() < HeaderHeight() || point.y() >= list_bottom) {
        return -1;
    }
    const int index = first_visible_ + (point.y() - HeaderHeight()) / ItemHeight();
    return index < ItemCount() ? index : -1;
}

void CanvasGrid::Scroll(int delta) {
    int visible = 1;
    if (ScrollArrowsShown()) {
        visible = std::max(1, (height() - kArrowHeight - HeaderHeight()) / ItemHeight());
    } else {
        visible = std::max(1, ItemCount());
    }
    const int last_first = std::max(0, ItemCount() - visible);
    first_visible_ = std::clamp(first_visible_ + delta, 0, last_first);
    update();
}

void CanvasGrid::FitWidth() {
    if ((flags_ & kFitToContent) != 0 && width() != ContentThickness()) {
        resize(ContentThickness(), height());
    }
}

void CanvasGrid::ReleasePress() {
    if (repeating_ && repeat_ != nullptr) {
        repeat_->Disarm(repeat_ticket_);
    }
    repeating_ = false;
    pressed_ = -1;
}

void CanvasGrid::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || pressed_ != -1) {
        return;
    }
    const QPoint point = event->position().toPoint();
    if (header_ && point.y() < HeaderHeight()) {
        pressed_ = kPressedHeader;
        emit headerPressed(last_clicked_);
        return;
    }
    for (const auto& [rect, direction, code] : {std::tuple{UpArrowRect(), -1, kPressedUp},
                                                std::tuple{DownArrowRect(), 1, kPressedDown}}) {
        if (rect.contains(point)) {
            pressed_ = code;
            Scroll(direction);
            if (repeat_ != nullptr) {
                // The report comes from the repeat thread: it only queues the step here.
                QPointer<CanvasGrid> self(this);
                repeat_ticket_ = repeat_->Arm([self, direction] {
                    QMetaObject::invokeMethod(
                        self.data(),
                        [self, direction] {
                            if (self) {
                                emit self->autoRepeated(direction);
                                self->Scroll(direction);
                            }
                        },
                        Qt::QueuedConnection);
                });
                repeating_ = true;
            }
            return;
        }
    }
    const int index = ItemAt(point);
    if (index < 0 || items_[static_cast<std::size_t>(index)].disabled) {
        return;
    }
    pressed_ = index;
    last_clicked_ = index;
    Item& item = items_[static_cast<std::size_t>(index)];
    if ((flags_ & kSingleSelection) != 0) {
        const int selected = State(kQuerySelected);
        for (Item& other : items_) {
            other.selected = false;
        }
        item.selected = true;
        update();
        if (selected != index) {
            emit itemClicked(index);
        }
    } else {
        item.selected = !item.selected;
        update();
        emit itemClicked(index);
    }
}

void CanvasGrid::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        ReleasePress();
        update();
    }
}

void CanvasGrid::mouseMoveEvent(QMouseEvent* event) {
    const int hovered = ItemAt(event->position().toPoint());
    if (hovered != hovered_) {
        hovered_ = hovered;
        update();
    }
}

void CanvasGrid::leaveEvent(QEvent* event) {
    hovered_ = -1;
    update();
    QWidget::leaveEvent(event);
}

void CanvasGrid::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Scroll(0);
}

void CanvasGrid::PaintItem(QPainter& painter, const Item& item, QRect rect, bool hovered) const {
    const QPalette& colours = palette();
    QColor background = item.background == kDefaultColour ? colours.color(QPalette::Button)
                                                          : FromRgb(item.background);
    if (item.selected) {
        background = colours.color(QPalette::Base);
    } else if (hovered && !item.disabled) {
        background = background.lighter(108);
    }
    painter.fillRect(rect, background);
    painter.setPen(colours.color(QPalette::Mid));
    painter.drawLine(rect.left(), rect.bottom(), rect.right(), rect.bottom());
    if (!item.selected) {
        // The selected tab stays open towards the instrument beside it.
        painter.drawLine(rect.right(), rect.top(), rect.right(), rect.bottom());
    }
    QColor text = item.text_colour == kDefaultColour ? colours.color(QPalette::ButtonText)
                                                     : FromRgb(item.text_colour);
    if (item.disabled) {
        text = colours.color(QPalette::Disabled, QPalette::ButtonText);
    }
    painter.setPen(text);
    painter.drawText(rect, Qt::AlignCenter, item.text);
}

void CanvasGrid::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Button));
    if (header_) {
        PaintItem(painter, *header_, QRect(0, 0, width(), HeaderHeight()), false);
    }
    const int list_bottom = ScrollArrowsShown() ? height() - kArrowHeight : height();
    painter.save();
    painter.setClipRect(QRect(0, HeaderHeight(), width(), list_bottom - HeaderHeight()));
    for (int i = first_visible_; i < ItemCount(); ++i) {
        const QRect item_rect = ItemRect(i);
        if (item_rect.top() >= list_bottom) {
            break;
        }
        PaintItem(painter, items_[static_cast<std::size_t>(i)], item_rect, i == hovered_);
    }
    painter.restore();
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(width() - 1, 0, width() - 1, height());
    if (ScrollArrowsShown()) {
        for (const auto& [arrow, up] :
             {std::pair{UpArrowRect(), true}, std::pair{DownArrowRect(), false}}) {
            painter.fillRect(arrow, palette().color(QPalette::Button));
            painter.setPen(palette().color(QPalette::Mid));
            painter.drawRect(arrow.adjusted(0, 0, -1, -1));
            painter.setPen(palette().color(QPalette::ButtonText));
            painter.drawText(arrow, Qt::AlignCenter,
                             up ? QStringLiteral("\u25B2") : QStringLiteral("\u25BC"));
        }
    }
}

}  // namespace zarvex::ui

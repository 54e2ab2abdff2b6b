#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <optional>
#include <vector>

namespace zarvex::ui {

class AutoRepeat;

// The program's own list control, drawn on a canvas: a vertical column of items with their
// own text colours, a single selection, the width of its longest item, and scroll arrows
// (repeating while held) when the items do not fit. It reports what the user did through
// its signals: itemClicked is the "+2" event, headerPressed "+4", autoRepeated "+0".
class CanvasGrid final : public QWidget {
    Q_OBJECT

public:
    enum Flag : unsigned {
        kSingleSelection = 0x1,
        kFitToContent = 0x2,
    };
    enum ItemState : unsigned {
        kDisabled = 0x1,
        kSelected = 0x2,
        kMarked = 0x4,
    };
    enum ColourKind { kTextColour = 1, kBackgroundColour = 2 };
    static constexpr int kAppend = -1;
    static constexpr int kHeader = -2;
    static constexpr int kQueryLastClicked = -4;
    static constexpr int kQuerySelected = -3;
    static constexpr std::uint32_t kDefaultColour = 0xFFFFFFFF;

    // repeat may be null: held arrows then move one step per press.
    CanvasGrid(QWidget* parent, AutoRepeat* repeat, unsigned flags = 0);
    ~CanvasGrid() override;

    // position kAppend appends, kHeader sets the header item, otherwise inserts there.
    void AddItem(int position, const QString& text);
    void SetFlag(unsigned flag, bool value, bool redraw = true);
    // Sets the states in mask to those in state (kDisabled, kSelected, kMarked).
    void SetItemState(int index, unsigned state, unsigned mask);
    void SetGridFont(const QFont& font);
    // colour is 0xRRGGBB, or kDefaultColour for the style's default.
    void SetItemColour(int index, ColourKind which, std::uint32_t colour);
    // kQueryLastClicked: index of the latest click (-1 before any); kQuerySelected: the
    // selected item or -1; -1 and -2 return themselves; an existing index returns itself;
    // anything else -1.
    int State(int query) const;
    void Redraw();

    int ItemCount() const { return static_cast<int>(items_.size()); }
    QString ItemText(int index) const;
    QColor ItemTextColour(int index) const;
    QRect ItemRect(int index) const;
    // The width the items need.
    int ContentThickness() const;
    bool ScrollArrowsShown() const;
    QRect UpArrowRect() const;
    QRect DownArrowRect() const;
    int FirstVisible() const { return first_visible_; }

signals:
    void itemClicked(int index);
    void headerPressed(int last_clicked);
    void autoRepeated(int data);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Item {
        QString text;
        std::uint32_t text_colour = kDefaultColour;
        std::uint32_t background = kDefaultColour;
        bool selected = false;
        bool disabled = false;
        bool marked = false;
    };

    int ItemHeight() const;
    int HeaderHeight() const;
    int ItemAt(QPoint point) const;
    void Scroll(int delta);
    void FitWidth();
    void ReleasePress();
    void PaintItem(QPainter& painter, const Item& item, QRect rect, bool hovered) const;

    AutoRepeat* repeat_;
    unsigned flags_;
    std::vector<Item> items_;
    std::optional<Item> header_;
    int hovered_ = -1;
    int pressed_ = -1;
    int last_clicked_ = -1;
    int first_visible_ = 0;
    std::uint64_t repeat_ticket_ = 0;
    bool repeating_ = false;
};

}  // namespace zarvex::ui

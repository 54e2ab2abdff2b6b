#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <vector>

namespace zarvex::ui {

// Keeps the user's input away from a widget and everything in it while it is locked, without
// greying it: the window stays readable during long runs. Locks nest per widget.
class InputBlocker final : public QObject {
    Q_OBJECT

public:
    explicit InputBlocker(QObject* parent = nullptr);
    ~InputBlocker() override;

    void Block(QWidget* widget);
    void Unblock(QWidget* widget);
    bool IsBlocked(const QWidget* widget) const;
    // Whether input aimed at this widget is dropped (it or one of its ancestors is blocked).
    bool DropsInputFor(const QWidget* widget) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry {
        QPointer<QWidget> widget;
        int depth = 0;
    };
    std::vector<Entry> entries_;
};

}  // namespace zarvex::ui

#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QLabel;

namespace zarvex::ui {

// The status bar at the bottom of the main window: a label field ("Program status:") and the
// status field, side by side, both the bar's full height. It docks itself at the bottom of
// its parent when made and on every Resize.
class StatusBar final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMinHeight = 18;
    static constexpr int kLabelWidth = 235;
    static constexpr int kLabelFieldOffset = 1033;
    static constexpr int kStatusFieldOffset = 2033;
    // A background of kDefaultBackground means the field's own default.
    static constexpr int kDefaultBackground = -1;

    // The height is raised to 18 when smaller.
    StatusBar(QWidget* parent, int control_number, int x, int y, int width, int height);

    void Resize(int width);
    void SetLabel(const QString& text);
    void SetStatus(const QString& text);
    // A short text at the bar's right end, after the status (how fresh the data is); the status
    // field gives it the room it needs.
    void SetNote(const QString& text);
    QLabel* NoteField() const { return note_; }
    // background and text as 0xRRGGBB; background kDefaultBackground for the field's default.
    void SetStatusColours(int background, int text);

    QLabel* LabelField() const { return label_; }
    QLabel* StatusField() const { return status_; }
    QString StatusText() const;
    QColor StatusTextColour() const;
    QColor StatusBackground() const;

private:
    void Dock();
    void PlaceFields();

    QLabel* label_;
    QLabel* status_;
    QLabel* note_;
    QColor default_background_;
};

}  // namespace zarvex::ui

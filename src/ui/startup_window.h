#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

class QLabel;

namespace zarvex::ui {

// The progress bar image of the start-up window, 202 x 16: a black edge, a light green
// trough, the done part in light yellow and a grey line at its end while not complete.
QImage MakeProgressImage(int percent);

// The borderless start-up window, 540 x 303, centred and kept on top, showing the built-in
// picture, the progress bar at (315, 260) and the progress text at (315, 278).
class StartupWindow final : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 540;
    static constexpr int kHeight = 303;

    // picture: the window's background; when null (a damaged built-in picture) the window
    // is plain.
    explicit StartupWindow(const QImage& picture);

    // Shows the window centred on the primary screen, fading in over 100 ms.
    void Open();
    // Repaints at once: the start-up steps run on the main thread between pumps.
    void SetProgress(int percent, const QString& text);

    int Percent() const { return percent_; }
    const QString& ProgressText() const { return text_; }
    const QImage& ProgressImage() const { return progress_; }
    QLabel* ProgressControl() const { return progress_control_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
    QImage progress_;
    QLabel* progress_control_ = nullptr;
    QFont text_font_;
    int percent_ = 0;
    QString text_;
};

// The built-in picture decoded with libpng; a null image if it cannot be decoded.
QImage LoadStartupPicture();

}  // namespace zarvex::ui

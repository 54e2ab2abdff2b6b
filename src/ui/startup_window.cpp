#include "ui/startup_window.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPropertyAnimation>
#include <QScreen>
#include <algorithm>

#include "ui/chart/font_chain.h"
#include "ui/png_decoder.h"
#include "ui/startup_picture.h"

namespace zarvex::ui {

QImage MakeProgressImage(int percent) {
    percent = std::clamp(percent, 0, 100);
    QImage image(202, 16, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, 202, 16, QColor(0, 0, 0));
    painter.fillRect(1, 1, 200, 14, QColor(190, 218, 160));
    painter.fillRect(1, 1, 2 * percent, 14, QColor(255, 240, 120));
    if (percent < 100) {
        painter.setPen(QColor(80, 80, 80));
        painter.drawLine(2 * percent, 1, 2 * percent, 14);
    }
    return image;
}

QImage LoadStartupPicture() {
    const auto decoded = DecodePng(StartupPictureBytes());
    if (!decoded) {
        return {};
    }
    // The pixels are copied out of the decoder's buffer before it goes.
    return QImage(decoded->pixels.data(), decoded->width, decoded->height, decoded->width * 4,
                  QImage::Format_RGBA8888)
        .copy();
}

StartupWindow::StartupWindow(const QImage& picture)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::Tool | Qt::WindowStaysOnTopHint),
      picture_(picture),
      text_font_(MakeFont(
          {QStringLiteral("Arial Narow"), QStringLiteral("Arial Narrow"),
           QStringLiteral("Liberation Sans Narrow"), QStringLiteral("DejaVu Sans Condensed")},
          8)) {
    setObjectName(QStringLiteral("startupWindow"));
    setWindowTitle(QString());
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void StartupWindow::Open() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - kWidth) / 2, area.y() + (area.height() - kHeight) / 2);
    }
    setWindowOpacity(0.0);
    show();
    auto* fade = new QPropertyAnimation(this, "windowOpacity", this);
    fade->setDuration(100);
    fade->setStartValue(0.0);
    fade->setEndValue(1.0);
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void StartupWindow::SetProgress(int percent, const QString& text) {
    percent_ = std::clamp(percent, 0, 100);
    text_ = text;
    progress_ = MakeProgressImage(percent_);
    if (progress_control_ == nullptr) {
        progress_control_ = new QLabel(this);
        progress_control_->setObjectName(QStringLiteral("startupProgress"));
        progress_control_->setGeometry(315, 260, 202, 16);
        progress_control_->show();
    }
    progress_control_->setPixmap(QPixmap::fromImage(progress_));
    repaint();
}

void StartupWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (picture_.isNull()) {
        painter.fillRect(rect(), palette().color(QPalette::Window));
    } else {
        // A pattern brush: the picture tiles from the window's corner.
        painter.fillRect(rect(), QBrush(picture_));
    }
    painter.setFont(text_font_);
    painter.setPen(Qt::black);
    painter.drawText(315, 278 + QFontMetrics(text_font_).ascent(), text_);
}

}  // namespace zarvex::ui

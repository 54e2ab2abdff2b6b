#include "ui/chart/histogram_png.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QString>
#include <cstdio>
#include <memory>

#include "ui/chart/histogram_image.h"

namespace zarvex::ui {
namespace {

std::string Render(const analytics::HistogramData& data, int width, int height,
                   const std::string& path) {
    const QImage image = RenderHistogramImage(data, ChartOverlay{}, QSize(width, height));
    if (!image.save(QString::fromStdString(path), "PNG")) {
        return "cannot write " + path;
    }
    return {};
}

}  // namespace

std::string RenderHistogramPng(const analytics::HistogramData& data, int width, int height,
                               const std::string& path) {
    if (width < 1 || height < 1 || width > kMaxPictureSide || height > kMaxPictureSide) {
        return "picture size out of range";
    }
    if (QCoreApplication::instance() != nullptr) {
        if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) {
            return "drawing needs a GUI application";
        }
        return Render(data, width, height, path);
    }
    // Fonts need a GUI application; the offscreen platform needs no display.
    char name[] = "zarvex";
    char platform_option[] = "-platform";
    char platform[] = "offscreen";
    char* argv[] = {name, platform_option, platform, nullptr};
    int argc = 3;
    // Qt's notes about its own set-up (a missing runtime folder and the like) would mix with
    // the command-line program's status lines.
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg) {
                std::fprintf(stderr, "%s\n", qPrintable(message));
            }
        });
    std::string error;
    {
        const auto app = std::make_unique<QGuiApplication>(argc, argv);
        error = Render(data, width, height, path);
    }
    qInstallMessageHandler(previous);
    return error;
}

}  // namespace zarvex::ui

#include "ui/chart/font_chain.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace zarvex::ui {

int PointsToPixels(int points) {
    return (points * 96 + 36) / 72;
}

bool HasFace(const QString& face) {
    return QFontDatabase::families().contains(face, Qt::CaseInsensitive);
}

QString ResolveFace(const QStringList& chain) {
    for (const QString& face : chain) {
        if (HasFace(face)) {
            return face;
        }
    }
    if (chain.isEmpty()) {
        return QFontInfo(QFont()).family();
    }
    // Let the platform choose its substitute, and name it so that the choice is stable.
    return QFontInfo(QFont(chain.front())).family();
}

QFont MakeFont(const QStringList& chain, int points, bool bold, bool underline) {
    QFont font(ResolveFace(chain));
    font.setPixelSize(PointsToPixels(points));
    font.setBold(bold);
    font.setUnderline(underline);
    font.setStyleStrategy(QFont::PreferQuality);
    return font;
}

}  // namespace zarvex::ui

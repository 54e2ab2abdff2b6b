#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace zarvex::ui {

// Font sizes are given as on the original desktop (points at 96 dots per inch); they are
// turned into pixels so that a chart drawn into an image and on screen look the same.
int PointsToPixels(int points);

// The first face of the chain that the system has; when none is installed, the face that
// the platform puts in for the first one (DejaVu Sans on a plain Debian system).
QString ResolveFace(const QStringList& chain);
bool HasFace(const QString& face);

QFont MakeFont(const QStringList& chain, int points, bool bold = false, bool underline = false);

}  // namespace zarvex::ui

#pragma once

#include <QImage>
#include <QString>
#include <functional>
#include <string>

class QMenu;
class QTableWidget;
class QWidget;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::ui {

// Draws a chart's picture at its widget size times the ratio.
using PictureRenderer = std::function<QImage(qreal ratio)>;
using DefaultName = std::function<QString()>;

// Adds a chart's own entries at the end of its menu, each time the menu opens.
using MenuExtras = std::function<void(QMenu& menu)>;

// Gives the chart a context menu: "Save picture…" (the widget's size), the same at twice the
// size, "Copy picture", then the chart's own entries.
void AddPictureMenu(QWidget* chart, const common::TextTable& texts, PictureRenderer render,
                    DefaultName default_name, MenuExtras extras = {});

// Gives the table a context menu: "Save as CSV…" and "Copy" (tab-separated). csv gives the
// file's bytes; when empty, the shown table is written.
void AddTableMenu(QTableWidget* table, const common::TextTable& texts, DefaultName default_name,
                  std::function<std::string()> csv = {});

}  // namespace zarvex::ui

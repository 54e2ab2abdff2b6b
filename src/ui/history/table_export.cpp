#include "ui/history/table_export.h"

#include <QBuffer>
#include <QHeaderView>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTableWidget>
#include <vector>

#include "analytics/history/history_table.h"

namespace zarvex::ui {
namespace {

std::vector<int> ShownColumns(const QTableWidget& table) {
    std::vector<int> columns;
    for (int c = 0; c < table.columnCount(); ++c) {
        if (!table.isColumnHidden(c) && table.columnWidth(c) > 0) {
            columns.push_back(c);
        }
    }
    return columns;
}

QString HeaderText(const QTableWidget& table, int column) {
    const QTableWidgetItem* item = table.horizontalHeaderItem(column);
    return item != nullptr ? item->text() : QString();
}

QString CellText(const QTableWidget& table, int row, int column) {
    const QTableWidgetItem* item = table.item(row, column);
    return item != nullptr ? item->text() : QString();
}

std::string CsvField(const QString& text) {
    return analytics::CsvField(text.toStdString());
}

// Tabs and line breaks inside a cell would split it in the spreadsheet.
QString TabField(QString text) {
    text.replace(QLatin1Char('\t'), QLatin1Char(' '));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

}  // namespace

QString TableTabText(const QTableWidget& table) {
    const std::vector<int> columns = ShownColumns(table);
    QString out;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        out += (i > 0 ? QStringLiteral("\t") : QString()) + TabField(HeaderText(table, columns[i]));
    }
    out += QLatin1Char('\n');
    for (int row = 0; row < table.rowCount(); ++row) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            out += (i > 0 ? QStringLiteral("\t") : QString()) +
                   TabField(CellText(table, row, columns[i]));
        }
        out += QLatin1Char('\n');
    }
    return out;
}

std::string TableCsv(const QTableWidget& table) {
    const std::vector<int> columns = ShownColumns(table);
    std::string out;
    for (std::size_t i = 0; i < columns.size(); ++i) {
        out += (i > 0 ? "," : "") + CsvField(HeaderText(table, columns[i]));
    }
    out += "\r\n";
    for (int row = 0; row < table.rowCount(); ++row) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            out += (i > 0 ? "," : "") + CsvField(CellText(table, row, columns[i]));
        }
        out += "\r\n";
    }
    return out;
}

QString DefaultFileName(const QString& symbol, const QString& contract, const QString& date,
                        const QString& what, const QString& extension) {
    QString day;
    const QStringList parts = date.split(QLatin1Char('.'));
    if (parts.size() == 3) {
        day = parts[2] + parts[1] + parts[0];
    }
    QString name = (symbol + contract + day).toUpper();
    // Characters a file name cannot hold on some desktop are left out.
    name.remove(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>| ]")));
    if (!what.isEmpty()) {
        name += QLatin1Char('_') + what.toUpper();
    }
    return name + QLatin1Char('.') + extension;
}

bool WriteWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool SavePicture(const QImage& picture, const QString& path) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage plain = picture;
    plain.setDevicePixelRatio(1.0);
    if (!plain.save(&buffer, "PNG")) {
        return false;
    }
    return WriteWholeFile(path, bytes);
}

}  // namespace zarvex::ui

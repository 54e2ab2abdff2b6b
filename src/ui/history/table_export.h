#pragma once

#include <QImage>
#include <QString>
#include <string>

class QTableWidget;

namespace zarvex::ui {

// A table's shown columns (those with a width) as text: the header line, then one line per
// row in the order shown.
// Tab-separated with LF line ends, so that it pastes into a spreadsheet.
QString TableTabText(const QTableWidget& table);
// RFC 4180 CSV: a field holding a comma, a double quote, CR or LF is quoted; CRLF line ends.
std::string TableCsv(const QTableWidget& table);

// A default file name in the unload's style: symbol, contract and the date as YYYYMMDD run
// together, then what the file holds: "EUR6EZ520251212_HISTORY.csv". date is "dd.mm.yyyy".
QString DefaultFileName(const QString& symbol, const QString& contract, const QString& date,
                        const QString& what, const QString& extension);

// Writes the bytes whole (to a temporary file renamed over the target); false on any failure.
bool WriteWholeFile(const QString& path, const QByteArray& bytes);
// The picture as PNG, at its own pixel size.
bool SavePicture(const QImage& picture, const QString& path);

}  // namespace zarvex::ui

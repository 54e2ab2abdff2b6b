#include "ui/history/chart_context_menu.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTableWidget>
#include <memory>

#include "common/text_id.h"
#include "common/text_table.h"
#include "ui/history/table_export.h"

namespace zarvex::ui {
namespace {

namespace text = common::text;

QString Text(const common::TextTable& texts, int entry) {
    return QString::fromStdString(texts.Get(entry));
}

void CannotWrite(QWidget* parent, const common::TextTable& texts, const QString& path) {
    QMessageBox::warning(parent, Text(texts, text::kMessage),
                         Text(texts, text::kCannotWrite) + path);
}

QString AskPath(QWidget* parent, const common::TextTable& texts, const QString& name,
                int filter_entry) {
    return QFileDialog::getSaveFileName(parent, QString(), name, Text(texts, filter_entry));
}

}  // namespace

void AddPictureMenu(QWidget* chart, const common::TextTable& texts, PictureRenderer render,
                    DefaultName default_name, MenuExtras extras) {
    chart->setContextMenuPolicy(Qt::CustomContextMenu);
    auto shared = std::make_shared<PictureRenderer>(std::move(render));
    auto name = std::make_shared<DefaultName>(std::move(default_name));
    auto own = std::make_shared<MenuExtras>(std::move(extras));
    QObject::connect(
        chart, &QWidget::customContextMenuRequested, chart,
        [chart, &texts, shared, name, own](const QPoint& at) {
            QMenu menu(chart);
            QAction* save = menu.addAction(Text(texts, text::kSavePicture));
            QAction* twice = menu.addAction(Text(texts, text::kSavePictureTwice));
            menu.addSeparator();
            QAction* copy = menu.addAction(Text(texts, text::kCopyPicture));
            if (*own) {
                menu.addSeparator();
                (*own)(menu);
            }
            QAction* chosen = menu.exec(chart->mapToGlobal(at));
            if (chosen == copy) {
                QApplication::clipboard()->setImage((*shared)(1.0));
            } else if (chosen == save || chosen == twice) {
                const QString path = AskPath(chart, texts, (*name)(), text::kPngFiles);
                if (!path.isEmpty() && !SavePicture((*shared)(chosen == twice ? 2.0 : 1.0), path)) {
                    CannotWrite(chart, texts, path);
                }
            }
        });
}

void AddTableMenu(QTableWidget* table, const common::TextTable& texts, DefaultName default_name,
                  std::function<std::string()> csv) {
    table->setContextMenuPolicy(Qt::CustomContextMenu);
    auto name = std::make_shared<DefaultName>(std::move(default_name));
    auto bytes = std::make_shared<std::function<std::string()>>(std::move(csv));
    QObject::connect(table, &QWidget::customContextMenuRequested, table,
                     [table, &texts, name, bytes](const QPoint& at) {
                         QMenu menu(table);
                         QAction* save = menu.addAction(Text(texts, text::kSaveCsv));
                         QAction* copy = menu.addAction(Text(texts, text::kCopyTable));
                         QAction* chosen = menu.exec(table->viewport()->mapToGlobal(at));
                         if (chosen == copy) {
                             QApplication::clipboard()->setText(TableTabText(*table));
                         } else if (chosen == save) {
                             const QString path = AskPath(table, texts, (*name)(), text::kCsvFiles);
                             if (path.isEmpty()) {
                                 return;
                             }
                             const std::string content = *bytes ? (*bytes)() : TableCsv(*table);
                             if (!WriteWholeFile(path, QByteArray::fromStdString(content))) {
                                 CannotWrite(table, texts, path);
                             }
                         }
                     });
}

}  // namespace zarvex::ui

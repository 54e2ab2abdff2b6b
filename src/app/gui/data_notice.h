#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

namespace zarvex::common {
class TextTable;
}

namespace zarvex::gui {

// One line over the instrument area that says why no data comes (no data source, or the
// reason of the last failed download and the time of the next try), with the two ways out:
// "Set data source…" and "Open demo data…".
class DataNotice final : public QFrame {
    Q_OBJECT

public:
    static constexpr int kHeight = 26;

    DataNotice(const common::TextTable& texts, QWidget* parent);

    void SetText(const QString& text);
    QString Text() const;
    QPushButton* SetSourceButton() const { return set_source_; }
    QPushButton* DemoButton() const { return demo_; }

signals:
    void setSourceRequested();
    void demoRequested();

private:
    QLabel* text_;
    QPushButton* set_source_;
    QPushButton* demo_;
};

}  // namespace zarvex::gui

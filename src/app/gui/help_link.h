#pragma once

#include <QLabel>

namespace zarvex::gui {

// The "Help" link at the top right of the main window: blue and underlined, red under the
// mouse; a click opens the help page.
class HelpLink final : public QLabel {
    Q_OBJECT

public:
    HelpLink(const QString& text, QWidget* parent);

    QColor TextColour() const;

signals:
    void activated();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetColour(const QColor& colour);
};

}  // namespace zarvex::gui

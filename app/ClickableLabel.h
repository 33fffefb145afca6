#pragma once
// A label that reports mouse clicks, for captions that act as links.

#include <QLabel>

namespace app {

class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace app

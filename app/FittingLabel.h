#pragma once
// A label given several forms of its text, longest first: it shows the first form that fits its
// width whole, or the last form when none does, and chooses again whenever it is resized.

#include <QLabel>
#include <QStringList>

namespace app {

class FittingLabel : public QLabel {
    Q_OBJECT
public:
    using QLabel::QLabel;

    void setTexts(const QStringList& forms);
    // Whether text fits the label's width whole, frame, margin and indent taken off.
    bool fits(const QString& text) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void showFitting();

    QStringList m_forms;
};

} // namespace app

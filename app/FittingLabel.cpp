#include "app/FittingLabel.h"

namespace app {

void FittingLabel::setTexts(const QStringList& forms)
{
    m_forms = forms;
    showFitting();
}

bool FittingLabel::fits(const QString& text) const
{
    // A framed label without an indent of its own indents its text by half an "x".
    const int indentation = indent() >= 0
        ? indent()
        : (frameWidth() > 0 ? fontMetrics().horizontalAdvance(u'x') / 2 : 0);
    const int room = contentsRect().width() - 2 * margin() - indentation;
    return fontMetrics().horizontalAdvance(text) <= room;
}

void FittingLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    showFitting();
}

void FittingLabel::showFitting()
{
    qsizetype chosen = 0;
    while (chosen + 1 < m_forms.size() && !fits(m_forms[chosen]))
        ++chosen;
    const QString shown = m_forms.value(chosen);
    if (text() != shown)
        setText(shown);
}

} // namespace app

#include "app/StatusBar.h"

#include "app/FittingLabel.h"

#include <stdexcept>

namespace app {

StatusBar::StatusBar(QWidget* parent)
    : QStatusBar(parent)
{
}

void StatusBar::setPanelWidths(const std::vector<int>& widths)
{
    for (FittingLabel* old : m_panels)
        delete old;
    m_panels.clear();
    for (std::size_t i = 0; i < widths.size(); ++i) {
        auto* label = new FittingLabel(this);
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        // The last panel reaches to the right edge, at least as wide as given.
        const bool last = i + 1 == widths.size();
        if (last)
            label->setMinimumWidth(widths[i]);
        else
            label->setFixedWidth(widths[i]);
        addWidget(label, last ? 1 : 0);
        m_panels.push_back(label);
    }
}

QString StatusBar::panelText(int index) const
{
    return panel(index).text();
}

void StatusBar::setPanelText(int index, const QString& text)
{
    panel(index).setTexts({ text });
}

void StatusBar::setPanelTexts(int index, const QStringList& forms)
{
    panel(index).setTexts(forms);
}

FittingLabel& StatusBar::panel(int index) const
{
    if (index < 0 || index >= panelCount())
        throw std::out_of_range("List index out of bounds (" + std::to_string(index) + ")");
    return *m_panels[static_cast<std::size_t>(index)];
}

} // namespace app

#pragma once
// A status bar made of side-by-side text panels of fixed widths; the last one reaches to the
// right edge. A panel may be given shorter forms of its text for when the whole does not fit.

#include <QStatusBar>
#include <vector>

namespace app {

class FittingLabel;

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent = nullptr);

    // Replaces the panels with empty ones of these widths, left to right.
    void setPanelWidths(const std::vector<int>& widths);
    int panelCount() const { return static_cast<int>(m_panels.size()); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString& text);
    // Shows the first of these forms (longest first) that fits the panel whole.
    void setPanelTexts(int index, const QStringList& forms);
    // The panel's label, to measure what it shows.
    FittingLabel& panel(int index) const;

private:
    std::vector<FittingLabel*> m_panels;
};

} // namespace app

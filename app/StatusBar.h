#pragma once
// A status bar made of side-by-side text panels of fixed widths; the last one reaches to the
// right edge.

#include <QStatusBar>
#include <vector>

class QLabel;

namespace app {

class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent = nullptr);

    // Replaces the panels with empty ones of these widths, left to right.
    void setPanelWidths(const std::vector<int>& widths);
    int panelCount() const { return static_cast<int>(m_panels.size()); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString& text);

private:
    QLabel& panel(int index) const;

    std::vector<QLabel*> m_panels;
};

} // namespace app

#pragma once
// A light with words (a dot painted green, red, or grey for unknown), and a titled column of them
// that shows a list of light states, one light per key.

#include "diagnostics/LightStates.h"

#include <QGroupBox>
#include <QWidget>
#include <map>
#include <string>

class QLabel;

namespace diagnostics {

class StatusLight : public QWidget {
    Q_OBJECT
public:
    explicit StatusLight(QWidget* parent = nullptr);
    void setState(const LightState& state);
    Lamp lamp() const { return m_lamp; }
    QString words() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QLabel* m_words;
    Lamp m_lamp = Lamp::Grey;
    std::string m_shownWords;
};

class LightPanel : public QGroupBox {
    Q_OBJECT
public:
    LightPanel(const QString& title, QWidget* parent = nullptr);
    // Updates the light of each key ("light-" + key), making the ones not there yet.
    void showStates(const std::vector<LightState>& states);
    StatusLight* light(std::string_view key) const;

private:
    std::map<std::string_view, StatusLight*> m_lights;
};

// The printer's status lights: a report's readings shown once; the same readings again (a
// printer asked over and over) change nothing on screen and cost nothing.
class StatusLightPanel : public LightPanel {
    Q_OBJECT
public:
    explicit StatusLightPanel(QWidget* parent = nullptr);
    void showReport(const printer::PrinterReport& report);

private:
    std::vector<printer::StatusReading> m_shownStatus;
    std::vector<printer::IdReading> m_shownIds;
};

} // namespace diagnostics

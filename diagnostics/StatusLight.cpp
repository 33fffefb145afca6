#include "diagnostics/StatusLight.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace diagnostics {

namespace {

constexpr int kDotSize = 12;
constexpr int kDotGap = 6;

QColor colourOf(Lamp lamp)
{
    switch (lamp) {
    case Lamp::Green:
        return QColor(0x2e, 0x9e, 0x3e);
    case Lamp::Red:
        return QColor(0xd0, 0x30, 0x30);
    case Lamp::Grey:
        break;
    }
    return QColor(0xa0, 0xa0, 0xa0);
}

} // namespace

StatusLight::StatusLight(QWidget* parent)
    : QWidget(parent)
    , m_words(new QLabel(this))
{
    // The dot is painted in the left margin; the words follow it.
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(kDotSize + kDotGap, 0, 0, 0);
    layout->addWidget(m_words, 1);
    setMinimumHeight(kDotSize);
}

void StatusLight::setState(const LightState& state)
{
    // Questions may come many times a second: a light that shows this state already is left.
    if (state.lamp == m_lamp && state.words == m_shownWords)
        return;
    if (state.lamp != m_lamp) {
        m_lamp = state.lamp;
        update(0, 0, kDotSize, height());
    }
    if (state.words != m_shownWords) {
        m_shownWords = state.words;
        m_words->setText(QString::fromStdString(state.words));
    }
}

void StatusLight::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colourOf(m_lamp));
    painter.drawEllipse(QRect(0, (height() - kDotSize) / 2, kDotSize, kDotSize));
}

QString StatusLight::words() const
{
    return m_words->text();
}

LightPanel::LightPanel(const QString& title, QWidget* parent)
    : QGroupBox(title, parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setSpacing(2);
}

void LightPanel::showStates(const std::vector<LightState>& states)
{
    for (const auto& state : states) {
        auto& target = m_lights[state.key];
        if (!target) {
            target = new StatusLight(this);
            target->setObjectName(QStringLiteral("light-") + QLatin1String(state.key));
            layout()->addWidget(target);
        }
        target->setState(state);
    }
}

StatusLight* LightPanel::light(std::string_view key) const
{
    const auto found = m_lights.find(key);
    return found == m_lights.end() ? nullptr : found->second;
}

StatusLightPanel::StatusLightPanel(QWidget* parent)
    : LightPanel(QStringLiteral("Printer status"), parent)
{
    showStates(unaskedStatusLights());
}

void StatusLightPanel::showReport(const printer::PrinterReport& report)
{
    if (report.status == m_shownStatus && report.ids == m_shownIds)
        return;
    m_shownStatus = report.status;
    m_shownIds = report.ids;
    showStates(statusLights(report));
}

} // namespace diagnostics

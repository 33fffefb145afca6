#include "diagnostics/StatusLight.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace diagnostics {

namespace {

constexpr int kDotSize = 12;

const char* colourOf(Lamp lamp)
{
    switch (lamp) {
    case Lamp::Green:
        return "#2e9e3e";
    case Lamp::Red:
        return "#d03030";
    case Lamp::Grey:
        break;
    }
    return "#a0a0a0";
}

} // namespace

StatusLight::StatusLight(QWidget* parent)
    : QWidget(parent)
    , m_dot(new QLabel(this))
    , m_words(new QLabel(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_dot->setFixedSize(kDotSize, kDotSize);
    layout->addWidget(m_dot);
    layout->addWidget(m_words, 1);
    setState({});
}

void StatusLight::setState(const LightState& state)
{
    m_lamp = state.lamp;
    m_dot->setStyleSheet(QString("background-color: %1; border-radius: %2px;")
                             .arg(QLatin1String(colourOf(state.lamp)))
                             .arg(kDotSize / 2));
    m_words->setText(QString::fromStdString(state.words));
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
        auto* target = light(state.key);
        if (!target) {
            target = new StatusLight(this);
            target->setObjectName(QString::fromStdString("light-" + state.key));
            layout()->addWidget(target);
        }
        target->setState(state);
    }
}

StatusLight* LightPanel::light(const std::string& key) const
{
    return findChild<StatusLight*>(
        QString::fromStdString("light-" + key), Qt::FindDirectChildrenOnly);
}

} // namespace diagnostics

#include "diagnostics/NumberedLinesSection.h"

#include "platform/ErrorReport.h"
#include "printer/NumberedLines.h"
#include "printer/PrinterLink.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace diagnostics {

namespace {

// The input lines a printer signals BUSY on.
bool busyLine(std::string_view key)
{
    return key == "CTS" || key == "DSR";
}

} // namespace

NumberedLinesSection::NumberedLinesSection(PrinterSession& session, ActionGuard guard,
    PanePress press, ShowLines showLines, QWidget* parent)
    : QWidget(parent)
    , m_session(session)
    , m_guard(std::move(guard))
    , m_press(std::move(press))
    , m_showLines(std::move(showLines))
    , m_lines([this] { linesChanged(); }, [] {})
{
    m_count = new QSpinBox;
    m_count->setObjectName(QStringLiteral("NumberedCount"));
    m_count->setRange(1, static_cast<int>(printer::kMostNumberedLines));
    m_count->setValue(static_cast<int>(printer::kDefaultNumberedLines));
    // Radio buttons rather than a drop-down list: its popup would be a window of its own.
    m_flow = new QButtonGroup(this);
    auto* flows = new QWidget;
    flows->setObjectName(QStringLiteral("NumberedFlow"));
    flows->setToolTip(QStringLiteral("The flow control of the port the pane opens for the test "
                                     "(serial only); the window's presses keep their own"));
    auto* flowColumn = new QVBoxLayout(flows);
    flowColumn->setContentsMargins(0, 0, 0, 0);
    for (std::size_t i = 0; i < std::size(printer::kLineFlows); ++i) {
        auto* choice
            = new QRadioButton(QString::fromLatin1(printer::lineFlowName(printer::kLineFlows[i])));
        choice->setObjectName(QStringLiteral("NumberedFlow%1").arg(i));
        choice->setChecked(i == 0);
        m_flow->addButton(choice, static_cast<int>(i));
        flowColumn->addWidget(choice);
    }
    m_run = new QPushButton(QStringLiteral("Numbered lines"));
    m_run->setObjectName(QStringLiteral("NumberedLines"));
    connect(m_run, &QPushButton::clicked, this,
        [this] { platform::runReported([this] { m_guard([this] { run(); }); }); });
    m_result = new QLabel;
    m_result->setObjectName(QStringLiteral("NumberedResult"));
    m_result->setWordWrap(true);
    auto* layout = new QFormLayout(this);
    layout->addRow(QStringLiteral("Lines"), m_count);
    layout->addRow(QStringLiteral("Flow control"), flows);
    layout->addRow(m_run);
    layout->addRow(m_result);
}

NumberedLinesSection::~NumberedLinesSection()
{
    m_lines.detach();
}

void NumberedLinesSection::run()
{
    const auto count = static_cast<std::size_t>(m_count->value());
    const std::string bytes = printer::numberedLines(count);
    m_result->clear();
    if (!m_session.canHoldPort()) {
        m_press(bytes);
        m_result->setText(QStringLiteral("%1 lines sent").arg(count));
        return;
    }
    const auto flow = printer::kLineFlows[m_flow->checkedId()];
    m_busyChanges = 0;
    m_lastLights.clear();
    const auto delivery = m_session.sendOnOwnPort(bytes, flow, [this](cport::TCustomComPort* port) {
        if (port)
            m_lines.attach(*port);
        else
            m_lines.detach();
    });
    QString text = delivery.failure.empty()
        ? QStringLiteral("%1 lines sent (%2 bytes), flow control %3")
              .arg(count)
              .arg(bytes.size())
              .arg(QString::fromLatin1(printer::lineFlowName(flow)))
        : QString::fromStdString(
            printer::failureNote(delivery.failure, delivery.delivered, bytes.size()));
    text += QStringLiteral("; BUSY changes seen: %1").arg(m_busyChanges);
    m_result->setText(text);
}

void NumberedLinesSection::linesChanged()
{
    const auto lights = m_lines.lights();
    // A change of CTS or DSR while the lines are followed is the printer's BUSY at work.
    if (m_lines.attached() && lights.size() == m_lastLights.size())
        for (std::size_t i = 0; i < lights.size(); ++i)
            if (busyLine(lights[i].key) && lights[i].lamp != m_lastLights[i].lamp)
                ++m_busyChanges;
    m_lastLights = m_lines.attached() ? lights : std::vector<LightState> {};
    m_showLines(lights);
}

} // namespace diagnostics

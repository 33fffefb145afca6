#include "diagnostics/PrinterPane.h"

#include "diagnostics/CommandNames.h"
#include "diagnostics/StatusLight.h"
#include "diagnostics/TranscriptPanel.h"
#include "platform/ErrorReport.h"
#include "printer/StatusSummary.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace diagnostics {

namespace {

constexpr int kShortestLimitMs = 20;
constexpr int kLongestLimitMs = 10000;

// Readings of a later round replace those of the same question; the rest stay.
void merge(printer::PrinterReport& into, const printer::PrinterReport& from)
{
    for (const auto& reading : from.status) {
        auto same = std::find_if(into.status.begin(), into.status.end(),
            [&](const printer::StatusReading& r) { return r.query == reading.query; });
        if (same == into.status.end())
            into.status.push_back(reading);
        else
            *same = reading;
    }
    if (!from.ids.empty())
        into.ids = from.ids;
    if (from.kernel)
        into.kernel = from.kernel;
}

QWidget* scrolling(QWidget* content)
{
    auto* area = new QScrollArea;
    area->setWidget(content);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    return area;
}

QWidget* column(std::initializer_list<QWidget*> widgets)
{
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    for (auto* widget : widgets)
        layout->addWidget(widget);
    layout->addStretch(1);
    return page;
}

template <typename Widget> Widget* named(Widget* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

PrinterPane::PrinterPane(const printer::PrinterConnection& connection, QWidget* parent)
    : QWidget(parent)
    , m_transcript(nameCommands)
    , m_session(connection,
          [this](printer::Direction direction, std::string_view bytes) {
              m_transcript.append(direction, bytes);
          })
    , m_lines([this] { showLines(); })
{
    setObjectName(QStringLiteral("PrinterPane"));
    buildLayout();
}

PrinterPane::~PrinterPane()
{
    m_lines.detach();
}

void PrinterPane::buildLayout()
{
    auto* query = named(new QPushButton(QStringLiteral("Query status")), "QueryStatus");
    connect(query, &QPushButton::clicked, this,
        [this] { platform::runReported([this] { m_guard([this] { queryStatus(); }); }); });
    m_answerLimit = named(new QSpinBox, "AnswerLimit");
    m_answerLimit->setRange(kShortestLimitMs, kLongestLimitMs);
    m_answerLimit->setValue(static_cast<int>(printer::kDefaultAnswerLimit.count()));
    m_answerLimit->setSuffix(QStringLiteral(" ms per answer"));
    connect(m_answerLimit, &QSpinBox::valueChanged, this,
        [this](int ms) { m_session.setAnswerLimit(std::chrono::milliseconds(ms)); });
    m_statusAfterPress
        = named(new QCheckBox(QStringLiteral("Status after each press")), "StatusAfterPress");
    m_keepPortOpen = named(new QCheckBox(QStringLiteral("Keep port open")), "KeepPortOpen");
    connect(
        m_keepPortOpen, &QCheckBox::toggled, this, [this](bool on) { keepPortOpenToggled(on); });
    m_summary = named(new QLabel, "StatusSummary");
    m_summary->setWordWrap(true);
    m_statusLights = named(new StatusLightPanel, "StatusLights");
    m_driverLights = named(new LightPanel(QStringLiteral("Printer driver")), "DriverLights");
    m_driverLights->hide();
    m_lineLights = named(new LightPanel(QStringLiteral("Serial lines")), "LineLights");
    showLines();

    // The pane is as tall as the window: the lights scroll, the transcript fills its page.
    auto* pages = named(new QTabWidget, "PaneTabs");
    pages->addTab(scrolling(column({ m_statusLights, m_driverLights })), QStringLiteral("Status"));
    pages->addTab(scrolling(column({ m_keepPortOpen, m_lineLights })), QStringLiteral("Lines"));
    pages->addTab(new TranscriptPanel(m_transcript), QStringLiteral("Transcript"));
    auto* top = new QHBoxLayout;
    top->addWidget(query);
    top->addWidget(m_answerLimit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_statusAfterPress);
    layout->addWidget(m_summary);
    layout->addWidget(pages, 1);
    setFixedWidth(kWidth);
}

void PrinterPane::queryStatus()
{
    const auto report = m_session.queryStatus();
    m_report = {};
    merge(m_report, report);
    m_summary->setText(QString::fromStdString(printer::statusSummary(report)));
    showReport(m_report);
}

void PrinterPane::press(
    const std::string& bytes, const std::function<void(const std::string&)>& ordinarySend)
{
    const auto report
        = m_session.press(bytes, m_open && m_statusAfterPress->isChecked(), ordinarySend);
    if (!report)
        return;
    merge(m_report, *report);
    m_summary->setText(QString::fromStdString(printer::pressSummary(bytes.size(), *report)));
    showReport(m_report);
}

void PrinterPane::showReport(const printer::PrinterReport& report)
{
    m_statusLights->showReport(report);
    m_driverLights->setVisible(report.kernel.has_value());
    if (report.kernel)
        m_driverLights->showStates(kernelLights(*report.kernel));
}

void PrinterPane::showLines()
{
    if (m_lineLights)
        m_lineLights->showStates(m_lines.lights());
}

void PrinterPane::keepPortOpenToggled(bool on)
{
    if (!on) {
        stopHoldingPort();
        return;
    }
    platform::runReported([this] {
        try {
            m_guard([this] {
                if (m_session.setKeepPortOpen(true))
                    m_lines.attach(m_session.heldPort());
            });
        } catch (...) {
            stopHoldingPort();
            throw;
        }
    });
}

void PrinterPane::stopHoldingPort()
{
    m_lines.detach();
    m_session.setKeepPortOpen(false);
    // The switch goes off with the port, so it never claims a port that is closed.
    const QSignalBlocker quiet(m_keepPortOpen);
    m_keepPortOpen->setChecked(false);
}

void PrinterPane::connectionChanged()
{
    stopHoldingPort();
}

void PrinterPane::paneClosed()
{
    m_open = false;
    stopHoldingPort();
}

} // namespace diagnostics

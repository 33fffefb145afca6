#include "diagnostics/PrinterPane.h"

#include "diagnostics/ByteWords.h"
#include "diagnostics/CapabilitiesTab.h"
#include "diagnostics/CommandNames.h"
#include "diagnostics/NamedWidget.h"
#include "diagnostics/NumberedLinesSection.h"
#include "diagnostics/PressVerdict.h"
#include "diagnostics/RecoverySection.h"
#include "diagnostics/StatusLight.h"
#include "diagnostics/TranscriptPanel.h"
#include "diagnostics/UsbSection.h"
#include "diagnostics/WatchSection.h"
#include "platform/ErrorReport.h"
#include "platform/Exception.h"
#include "printer/StatusSummary.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
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

// A round's time for the lights it leaves behind: "13:45:07".
std::string roundTime()
{
    const std::string time = timeText(Transcript::Clock::now());
    return time.substr(0, time.find('.'));
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

} // namespace

PrinterPane::PrinterPane(const printer::PrinterConnection& connection, QWidget* parent)
    : QWidget(parent)
    , m_transcript(nameCommands)
    , m_session(connection,
          [this](printer::Direction direction, std::string_view bytes, std::string_view note,
              PrinterSession::Clock::time_point time) {
              m_transcript.append(direction, bytes, note, time);
          })
    , m_lines([this] { showLines(); },
          [this] {
              // Told from inside the port's own event delivery: closed once that has ended.
              QMetaObject::invokeMethod(
                  this, [this] { portGone(); }, Qt::QueuedConnection);
          })
{
    setObjectName(QStringLiteral("PrinterPane"));
    buildLayout();
    findChild<QTabWidget*>(QStringLiteral("PaneTabs"))
        ->addTab(new CapabilitiesTab(connection, *this), QStringLiteral("Capabilities"));
    m_session.setCancelled([this] { return m_cancelRequested; });
}

PrinterPane::~PrinterPane()
{
    m_watch->stop();
    m_lines.detach();
}

void PrinterPane::buildLayout()
{
    m_query = named(new QPushButton(QStringLiteral("Query status")), "QueryStatus");
    connect(m_query, &QPushButton::clicked, this, [this] { queryClicked(); });
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
    m_statusLights = named(new LightPanel(QStringLiteral("Printer status")), "StatusLights");
    m_statusLights->showStates(unaskedStatusLights());
    m_driverLights = named(new LightPanel(QStringLiteral("Printer driver")), "DriverLights");
    m_driverLights->hide();
    m_lineLights = named(new LightPanel(QStringLiteral("Serial lines")), "LineLights");
    showLines();

    m_replyWords = named(new QLabel, "ReplyWords");
    m_replyWords->setWordWrap(true);
    m_verdict = named(new QLabel, "PressVerdict");
    m_verdict->setWordWrap(true);
    auto* details = named(new QPushButton(QStringLiteral("Sensors and ID")), "QueryDetails");
    connect(details, &QPushButton::clicked, this, [this] { askDetails(); });
    buildSections();

    // The pane is as tall as the window: the lights scroll, the transcript fills its page.
    auto* pages = named(new QTabWidget, "PaneTabs");
    pages->addTab(
        scrolling(column({ m_statusLights, m_driverLights, details, m_replyWords, m_recovery })),
        QStringLiteral("Status"));
    pages->addTab(m_watch, QStringLiteral("Watch"));
    pages->addTab(
        scrolling(column({ m_keepPortOpen, m_lineLights, m_numbered })), QStringLiteral("Lines"));
    pages->addTab(scrolling(m_usb), QStringLiteral("USB"));
    pages->addTab(new TranscriptPanel(m_transcript), QStringLiteral("Transcript"));
    auto* top = new QHBoxLayout;
    top->addWidget(m_query);
    top->addWidget(m_answerLimit);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_statusAfterPress);
    layout->addWidget(m_summary);
    layout->addWidget(m_verdict);
    layout->addWidget(pages, 1);
    setFixedWidth(kWidth);
    offerKeepPortOpen();
}

void PrinterPane::buildSections()
{
    const auto guard = [this](const std::function<void()>& action) { m_guard(action); };
    m_watch = new WatchSection(m_session, guard, [this](const printer::PrinterReport& report) {
        m_latest = report;
        showLights();
    });
    m_recovery = new RecoverySection(
        m_session, guard, [this](const printer::PrinterReport& report, const QString& what) {
            showFullRound(report, what);
        });
    const auto pressBytes = [this](const std::string& bytes) {
        press(bytes, [this](const std::string& b) {
            return printer::sendToPrinter(m_session.connection(), b);
        });
    };
    m_numbered = new NumberedLinesSection(m_session, guard, pressBytes,
        [this](const std::vector<LightState>& lights) { m_lineLights->showStates(lights); });
    m_usb = new UsbSection(m_session, guard, pressBytes, [this] { connectionChanged(); });
}

void PrinterPane::queryClicked()
{
    // While asking, the button cancels; it is the one control that answers meanwhile.
    if (m_asking) {
        cancelQuery();
        return;
    }
    platform::runReported([this] { m_guard([this] { queryStatus(); }); });
}

void PrinterPane::queryStatus()
{
    if (m_asking)
        return;
    m_asking = true;
    m_cancelRequested = false;
    m_query->setText(QStringLiteral("Cancel"));
    const auto done = [this] {
        m_asking = false;
        m_cancelRequested = false;
        m_query->setText(QStringLiteral("Query status"));
    };
    printer::PrinterReport report;
    try {
        report = m_session.queryStatus();
    } catch (const platform::EAbort&) {
        done();
        clearLights(QStringLiteral("query cancelled"));
        return;
    } catch (...) {
        done();
        // What an earlier question showed may no longer hold.
        clearLights(QStringLiteral("query failed"));
        offerKeepPortOpen();
        throw;
    }
    done();
    showFullRound(report, {});
}

void PrinterPane::showFullRound(const printer::PrinterReport& report, const QString& what)
{
    m_full = report;
    m_fullTime = roundTime();
    m_latest.reset();
    const auto summary = QString::fromStdString(printer::statusSummary(report));
    m_summary->setText(what.isEmpty() ? summary : what + QStringLiteral(": ") + summary);
    m_roundWords.clear();
    for (const auto& line : replyLines(report))
        m_roundWords += QString::fromStdString(line) + QLatin1Char('\n');
    m_replyWords->setText(m_roundWords.trimmed());
    showLights();
}

void PrinterPane::askDetails()
{
    platform::runReported([this] {
        m_guard([this] {
            QString words = m_roundWords;
            for (const auto& line : replyLines(m_session.queryDetails()))
                words += QString::fromStdString(line) + QLatin1Char('\n');
            m_replyWords->setText(words.trimmed());
        });
    });
}

void PrinterPane::press(const std::string& bytes, const PrinterSession::OrdinarySend& ordinarySend)
{
    const bool statusAfter = m_open && m_statusAfterPress->isChecked();
    m_verdict->clear();
    PrinterSession::PressResult result;
    try {
        result = m_session.press(bytes, statusAfter, ordinarySend);
    } catch (...) {
        if (statusAfter)
            clearLights(QStringLiteral("press failed"));
        offerKeepPortOpen();
        throw;
    }
    const auto& delivery = result.delivery;
    if (!delivery.failure.empty()) {
        // The question after it was not asked: what the lights showed may no longer hold.
        if (statusAfter)
            clearLights({});
        m_summary->setText(QString::fromStdString(
            printer::failureNote(delivery.failure, delivery.delivered, bytes.size())));
        return;
    }
    if (!result.report)
        return;
    m_latest = *result.report;
    m_summary->setText(QString::fromStdString(printer::pressSummary(bytes.size(), *m_latest)));
    m_verdict->setText(QString::fromStdString(pressVerdict(*m_latest, result.autoStatus)));
    showLights();
}

void PrinterPane::showLights()
{
    const printer::PrinterReport none;
    if (m_latest)
        m_statusLights->showStates(statusLights(*m_latest, m_full ? *m_full : none, m_fullTime));
    else
        m_statusLights->showStates(statusLights(m_full ? *m_full : none));
    m_recovery->showErrorOf(m_latest ? *m_latest : m_full ? *m_full : none);
    const auto* kernel = m_full && m_full->kernel ? &*m_full->kernel : nullptr;
    m_driverLights->setVisible(kernel != nullptr);
    if (kernel)
        m_driverLights->showStates(kernelLights(*kernel));
}

void PrinterPane::clearLights(const QString& summary)
{
    m_full.reset();
    m_latest.reset();
    m_fullTime.clear();
    m_summary->setText(summary);
    showLights();
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
    if (!m_session.canHoldPort()) {
        stopHoldingPort();
        m_summary->setText(QStringLiteral("Keep port open holds a serial port (COM) only"));
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

void PrinterPane::portGone()
{
    if (!m_lines.attached())
        return;
    m_lines.detach(true);
    try {
        m_session.setKeepPortOpen(false);
    } catch (...) {
        // Closing a port whose device is gone cannot fail in a way worth reporting.
    }
    const QSignalBlocker quiet(m_keepPortOpen);
    m_keepPortOpen->setChecked(false);
    showLines();
}

void PrinterPane::offerKeepPortOpen()
{
    // The switch follows the port: unticked when the port was closed behind it.
    if (m_keepPortOpen->isChecked() && !m_session.keepPortOpen()) {
        m_lines.detach();
        const QSignalBlocker quiet(m_keepPortOpen);
        m_keepPortOpen->setChecked(false);
    }
    m_keepPortOpen->setEnabled(m_session.canHoldPort());
    m_keepPortOpen->setToolTip(m_session.canHoldPort()
            ? QStringLiteral("Holds the serial port open between presses and questions")
            : QStringLiteral("Only a serial port (COM) can be held open"));
}

void PrinterPane::connectionChanged()
{
    m_watch->stop();
    stopHoldingPort();
    clearLights({});
    offerKeepPortOpen();
}

void PrinterPane::paneOpened()
{
    m_open = true;
    offerKeepPortOpen();
}

void PrinterPane::paneClosed()
{
    m_open = false;
    m_watch->stop();
    stopHoldingPort();
}

} // namespace diagnostics

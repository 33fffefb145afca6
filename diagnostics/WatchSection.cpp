#include "diagnostics/WatchSection.h"

#include "diagnostics/AutoStatusEvents.h"
#include "diagnostics/ByteWords.h"
#include "escpos/AutoStatus.h"
#include "platform/ErrorReport.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QMetaObject>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace diagnostics {

namespace {

struct BitChoice {
    const char* name;
    const char* text;
    std::uint8_t bit;
};
constexpr BitChoice kChoices[] = {
    { "WatchDrawer", "Drawer", escpos::kAutoStatusDrawer },
    { "WatchOnline", "Online/offline", escpos::kAutoStatusOnline },
    { "WatchErrors", "Errors", escpos::kAutoStatusErrors },
    { "WatchPaper", "Paper sensor", escpos::kAutoStatusPaper },
};

constexpr int kMostEvents = 1000;

} // namespace

WatchSection::WatchSection(
    PrinterSession& session, ActionGuard guard, ShowStatus show, QWidget* parent)
    : QWidget(parent)
    , m_session(session)
    , m_guard(std::move(guard))
    , m_show(std::move(show))
{
    auto* layout = new QVBoxLayout(this);
    for (std::size_t i = 0; i < std::size(kChoices); ++i) {
        m_bits[i] = new QCheckBox(QString::fromLatin1(kChoices[i].text));
        m_bits[i]->setObjectName(QLatin1String(kChoices[i].name));
        m_bits[i]->setChecked(true);
        layout->addWidget(m_bits[i]);
    }
    m_watch = new QPushButton(QStringLiteral("Watch"));
    m_watch->setObjectName(QStringLiteral("Watch"));
    m_watch->setCheckable(true);
    m_watch->setToolTip(QStringLiteral(
        "Asks the printer to report the chosen changes by itself (GS a) and shows each report"));
    connect(m_watch, &QPushButton::toggled, this, [this](bool on) { toggled(on); });
    m_words = new QLabel;
    m_words->setObjectName(QStringLiteral("WatchBytes"));
    m_words->setWordWrap(true);
    m_events = new QListWidget;
    m_events->setObjectName(QStringLiteral("WatchEvents"));
    // One line each: measured once, not again for every event added.
    m_events->setUniformItemSizes(true);
    layout->addWidget(m_watch);
    layout->addWidget(m_words);
    layout->addWidget(m_events, 1);
    m_session.setAutoStatusHandler(
        [this](const std::string& message, PrinterSession::Clock::time_point time) {
            arrived(message, time);
        });
}

std::uint8_t WatchSection::chosenBits() const
{
    std::uint8_t bits = 0;
    for (std::size_t i = 0; i < std::size(kChoices); ++i)
        if (m_bits[i]->isChecked())
            bits |= kChoices[i].bit;
    return bits;
}

void WatchSection::toggled(bool on)
{
    if (!on) {
        stop();
        return;
    }
    const auto bits = chosenBits();
    if (bits == 0) {
        stop();
        m_words->setText(QStringLiteral("Choose at least one change to watch"));
        return;
    }
    m_last.reset();
    for (auto* box : m_bits)
        box->setEnabled(false);
    platform::runReported([&] {
        try {
            m_guard([&] {
                // Told from the listening thread: taken here, on the window's own.
                m_session.startWatch(bits, [this] {
                    QMetaObject::invokeMethod(
                        this, [this] { heard(); }, Qt::QueuedConnection);
                });
            });
        } catch (...) {
            stop();
            throw;
        }
    });
}

void WatchSection::stop()
{
    m_session.stopWatch();
    const QSignalBlocker quiet(m_watch);
    m_watch->setChecked(false);
    for (auto* box : m_bits)
        box->setEnabled(true);
}

void WatchSection::heard()
{
    m_session.takeHeard();
    if (const auto why = m_session.watchStopped(); !why.empty()) {
        m_events->addItem(QString::fromStdString(
            eventLine(PrinterSession::Clock::now(), "watch stopped: " + why)));
        stop();
    }
}

void WatchSection::arrived(const std::string& message, PrinterSession::Clock::time_point time)
{
    for (const auto& event : autoStatusEvents(m_last, message))
        m_events->addItem(QString::fromStdString(eventLine(time, event)));
    // A watch left on for days keeps the latest events.
    while (m_events->count() > kMostEvents)
        delete m_events->takeItem(0);
    m_events->scrollToBottom();
    m_last = message;
    m_words->setText(QString::fromStdString(autoStatusWords(message)));
    m_show(autoStatusReport(message));
}

} // namespace diagnostics

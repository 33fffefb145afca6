#include "diagnostics/RecoverySection.h"

#include "platform/ErrorReport.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace diagnostics {

namespace {

constexpr struct {
    printer::RecoveryRequest request;
    const char* name;
} kRequests[] = {
    { printer::RecoveryRequest::Recover, "Recover" },
    { printer::RecoveryRequest::RecoverAndClear, "RecoverAndClear" },
    { printer::RecoveryRequest::ClearBuffers, "ClearBuffers" },
};

bool showsError(const printer::PrinterReport& report)
{
    using escpos::Condition;
    for (const auto condition :
        { Condition::ErrorOccurred, Condition::RecoverableError, Condition::CutterError,
            Condition::UnrecoverableError, Condition::AutoRecoverableError })
        if (report.condition(condition).value_or(false))
            return true;
    return false;
}

} // namespace

RecoverySection::RecoverySection(
    PrinterSession& session, ActionGuard guard, ShowResult show, QWidget* parent)
    : QGroupBox(QStringLiteral("Recovery"), parent)
    , m_session(session)
    , m_guard(std::move(guard))
    , m_show(std::move(show))
{
    setObjectName(QStringLiteral("Recovery"));
    auto* layout = new QVBoxLayout(this);
    for (const auto& entry : kRequests) {
        auto* button = new QPushButton(QString::fromLatin1(printer::recoveryName(entry.request)));
        button->setObjectName(QLatin1String(entry.name));
        button->setEnabled(false);
        const auto request = entry.request;
        connect(button, &QPushButton::clicked, this, [this, request] { this->request(request); });
        auto* sentence = new QLabel(QString::fromLatin1(printer::recoverySentence(request)));
        sentence->setWordWrap(true);
        layout->addWidget(button);
        layout->addWidget(sentence);
        m_buttons.push_back(button);
    }
}

void RecoverySection::showErrorOf(const printer::PrinterReport& report)
{
    const bool error = showsError(report);
    for (auto* button : m_buttons)
        button->setEnabled(error);
}

void RecoverySection::request(printer::RecoveryRequest request)
{
    platform::runReported([&] {
        m_guard([&] {
            const auto report = m_session.recover(request);
            m_show(report,
                QStringLiteral("after ") + QString::fromLatin1(printer::recoveryName(request)));
        });
    });
}

} // namespace diagnostics

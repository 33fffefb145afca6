#include "i18n/qt/THook.h"

#include "i18n/TextRules.h"
#include "i18n/gnugettext.h"
#include "platform/ErrorReport.h"

#include <QCoreApplication>
#include <QMetaObject>

namespace gnugettext {

QString THook::translate(
    const char* context, const char* sourceText, const char* /*disambiguation*/, int /*n*/) const
{
    if (!context || context[0] != 'Q' || !sourceText || !*sourceText)
        return {};
    try {
        const std::string_view source(sourceText);
        // Qt lays out lines ended by a line feed alone, so the translator's carriage returns
        // are taken out again here.
        const std::string translated = withoutCarriageReturns(translateBuiltinText(source));
        if (translated == source)
            return {};
        return QString::fromStdString(translated);
    } catch (const std::exception& error) {
        reportOnce(std::current_exception(), error.what());
    }
    return {};
}

void THook::reportOnce(std::exception_ptr error, const std::string& message) const
{
    {
        const std::lock_guard guard(m_reportedLock);
        if (!m_reported.insert(message).second)
            return;
    }
    // Qt asks for texts while it holds its own locks and on any thread: the report (a modal
    // box, which itself asks for texts) runs later on the application's thread.
    if (QCoreApplication* application = QCoreApplication::instance()) {
        QMetaObject::invokeMethod(
            application, [error] { platform::reportException(error); }, Qt::QueuedConnection);
    }
}

} // namespace gnugettext

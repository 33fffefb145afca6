#pragma once
// The redirection of the GUI toolkit's stock texts (dialog buttons, edit menus and the like)
// through the translator's built-in-text domains.

#include <QTranslator>

#include <mutex>
#include <set>
#include <string>

namespace gnugettext {

// A translator installed on the application: Qt asks it for each of its own texts and gets
// the catalog's translation, or a null QString when the text stays as built in.
class THook : public QTranslator {
public:
    using QTranslator::QTranslator;

    // Always false: Qt refuses to install an empty translator.
    bool isEmpty() const override { return false; }

    // Translates the toolkit's texts (contexts beginning with "Q"); the program's own classes
    // are never translated. A catalog that cannot be read leaves the text as built in and is
    // reported once per message on the application's thread, since Qt's code must not be
    // left by an exception.
    QString translate(const char* context, const char* sourceText,
        const char* disambiguation = nullptr, int n = -1) const override;

private:
    void reportOnce(std::exception_ptr error, const std::string& message) const;

    mutable std::mutex m_reportedLock;
    mutable std::set<std::string> m_reported;
};

} // namespace gnugettext

// The runtime's built-in texts (I/O errors, the start-failure report, reading errors, integer
// and format errors, the registry store's errors) translated through a real catalog when they
// are raised, and left byte for byte as built without one.

#include "TranslatorFixture.h"
#include "app/TForm1.h"
#include "platform/AnsiText.h"
#include "platform/ErrorReport.h"
#include "platform/Exception.h"
#include "platform/Format.h"
#include "platform/IntegerText.h"
#include "platform/IoError.h"
#include "platform/MessageBoxes.h"
#include "platform/Registry.h"
#include "printer/ParallelOutput.h"

#include <QWidget>

#include <filesystem>
#include <functional>

using namespace motest;
using gnugettext::endGnuGettext;

namespace {

std::string messageOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const std::exception& error) {
        return error.what();
    }
    return "(no error)";
}

std::string missingPrinterError()
{
    const testsupport::TestSysRoot emptyMachine;
    return messageOf([] { printer::sendParallel("LPT2", "x"); });
}

std::string readingError()
{
    const auto widget
        = [](app::TForm1&, QWidget* parent) -> QObject* { return new QWidget(parent); };
    return messageOf([&] { app::TForm1::create({ { "Orphan", "Nowhere", widget, {} } }); });
}

std::string applicationErrorCaption()
{
    const platform::RecordingMessageService boxes;
    platform::showApplicationErrorMessage("text");
    return boxes.boxes().at(0).caption;
}

// The registry's errors, one after the other, in a fresh configuration folder.
std::vector<std::string> registryErrors()
{
    const testsupport::TestConfigHome home;
    platform::TRegistry registry;
    std::vector<std::string> errors;
    errors.push_back(messageOf([&] { registry.writeString("name", "value"); }));
    registry.openKey("\\SOFTWARE\\Maker", true);
    registry.writeInteger("number", 7);
    errors.push_back(messageOf([&] { registry.readInteger("missing"); }));
    errors.push_back(messageOf([&] { registry.readString("number"); }));
    home.writeStore("REGEDIT4\n\n[Key\nbroken\n");
    errors.push_back(messageOf([&] { platform::TRegistry().keyExists("\\SOFTWARE"); }));
    std::filesystem::remove(home.store());
    std::filesystem::create_directory(home.store());
    errors.push_back(messageOf([&] { platform::TRegistry().keyExists("\\SOFTWARE"); }));
    const testsupport::TestConfigHome blocked;
    blocked.writeFile("quillet", "a file where the store's folder belongs");
    errors.push_back(messageOf([] { platform::TRegistry().createKey("\\SOFTWARE\\Maker"); }));
    return errors;
}

// Every text the runtime raises or shows, as the user meets it.
std::vector<std::string> runtimeTexts()
{
    std::vector<std::string> texts {
        missingPrinterError(),
        platform::ioErrorMessage(3),
        platform::ioErrorMessage(105),
        platform::applicationErrorText(platform::EReadError("boom"), "quillet", nullptr),
        applicationErrorCaption(),
        readingError(),
        messageOf([] { platform::strToInt("4x"); }),
        messageOf([] { platform::formatMessage("%d", { "x" }); }),
    };
    for (std::string& error : registryErrors())
        texts.push_back(std::move(error));
    return texts;
}

const std::vector<Entry> germanTexts {
    { "File not found", "Datei nicht gefunden" },
    { "Invalid filename", "Ungültiger Dateiname" },
    { "I/O error %d", "E/A-Fehler %d" },
    { "Exception %s in module %s at %p.", "Ausnahme %s in Modul %s bei %p." },
    { "Application Error", "Anwendungsfehler" },
    { "Error reading %s%s%s: %s", "Fehler beim Lesen von %s%s%s: %s" },
    { "'%s' is not a valid integer value", "'%s' ist kein gültiger Ganzzahlwert" },
    { "Format '%s' invalid or incompatible with argument", "Format '%s' ungültig" },
    { "Failed to set data for '%s'", "Daten für '%s' nicht gesetzt" },
    { "Failed to get data for '%s'", "Daten für '%s' nicht gelesen" },
    { "Invalid data type for '%s'", "Falscher Datentyp für '%s'" },
    { "Registry store '%s' is damaged at line %d (%s); it was left unchanged",
        "Registrierung '%s' ist in Zeile %d beschädigt (%s)" },
    { "Registry store '%s' cannot be read: %s", "Registrierung '%s' unlesbar: %s" },
    { "Failed to create key %s", "Schlüssel %s nicht angelegt" },
};

using RuntimeTexts = TranslatorFixture;

// The parts of a text that name temporary folders, which differ from run to run.
std::string withoutFolders(std::string text)
{
    for (std::size_t at; (at = text.find("/tmp/")) != std::string::npos;) {
        const std::size_t end = text.find_first_of("' ", at);
        text.replace(at, end - at, "<path>");
    }
    return text;
}

std::vector<std::string> withoutFolders(std::vector<std::string> texts)
{
    for (std::string& text : texts)
        text = withoutFolders(text);
    return texts;
}

} // namespace

TEST_F(RuntimeTexts, EachIsTranslatedWhenRaisedAndStaysAsBuiltWithoutACatalog)
{
    const std::vector<std::string> english {
        "File not found",
        "Invalid filename",
        "I/O error 105",
        "Exception EReadError in module quillet at 0000000000000000.\nboom",
        "Application Error",
        "Error reading Orphan.Parent: Control 'Nowhere' not found",
        "'4x' is not a valid integer value",
        "Format '%d' invalid or incompatible with argument",
        "Failed to set data for 'name'",
        "Failed to get data for 'missing'",
        "Invalid data type for 'number'",
        "Registry store '<path>' is damaged at line 3 (section header without its closing ']'); "
        "it was left unchanged",
        "Registry store '<path>' cannot be read: Is a directory",
        "Failed to create key \\SOFTWARE\\Maker",
    };
    EXPECT_EQ(withoutFolders(runtimeTexts()), english) << "before the translator starts";
    start("de_DE.UTF-8");
    EXPECT_EQ(withoutFolders(runtimeTexts()), english) << "without a catalog";
    endGnuGettext();

    writeCatalog(catalog("de"), germanTexts);
    start("de_DE.UTF-8");
    const std::vector<std::string> german {
        "Datei nicht gefunden",
        platform::utf8ToAnsi("Ungültiger Dateiname"),
        "E/A-Fehler 105",
        "Ausnahme EReadError in Modul quillet bei 0000000000000000.\nboom",
        "Anwendungsfehler",
        "Fehler beim Lesen von Orphan.Parent: Control 'Nowhere' not found",
        platform::utf8ToAnsi("'4x' ist kein gültiger Ganzzahlwert"),
        platform::utf8ToAnsi("Format '%d' ungültig"),
        platform::utf8ToAnsi("Daten für 'name' nicht gesetzt"),
        platform::utf8ToAnsi("Daten für 'missing' nicht gelesen"),
        platform::utf8ToAnsi("Falscher Datentyp für 'number'"),
        platform::utf8ToAnsi("Registrierung '<path>' ist in Zeile 3 beschädigt (section header "
                             "without its closing ']')"),
        "Registrierung '<path>' unlesbar: Is a directory",
        "Schl\xfcssel \\SOFTWARE\\Maker nicht angelegt",
    };
    EXPECT_EQ(withoutFolders(runtimeTexts()), german);

    endGnuGettext();
    EXPECT_EQ(withoutFolders(runtimeTexts()), english) << "after the translator ends";
}

TEST_F(RuntimeTexts, ATranslationThatDoesNotFitItsArgumentsGivesWayToTheBuiltText)
{
    writeCatalog(catalog("de"),
        { { "I/O error %d", "E/A-Fehler %s" }, { "'%s' is not a valid integer value", "%d %d" },
            { "Format '%s' invalid or incompatible with argument", "Format %d %p" } });
    start("de");
    EXPECT_EQ(platform::ioErrorMessage(105), "I/O error 105");
    EXPECT_EQ(messageOf([] { platform::strToInt("x"); }), "'x' is not a valid integer value");
    EXPECT_EQ(messageOf([] { platform::formatMessage("%s", {}); }),
        "Format '%s' invalid or incompatible with argument");
}

TEST_F(RuntimeTexts, ADamagedCatalogIsRaisedInsteadButReportsStillShow)
{
    writeBytes(catalog("de"), std::string(64, 'x'));
    start("de");
    const std::string damaged = "This file is not a valid GNU gettext mo file: " + catalog("de");
    EXPECT_EQ(messageOf([] { platform::strToInt("x"); }), damaged);
    EXPECT_EQ(messageOf([] { platform::raiseInOutError(2); }), damaged);
    // What reports the end of a failed start must show whatever the catalog does.
    EXPECT_EQ(applicationErrorCaption(), "Application Error");
    EXPECT_EQ(platform::applicationErrorText(platform::EReadError("boom"), "quillet", nullptr),
        "Exception EReadError in module quillet at 0000000000000000.\nboom");
}

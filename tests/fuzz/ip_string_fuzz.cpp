// Arbitrary text written to the IP editor's IPString, pasted into a field, and given to the
// integer parser: the editor always ends with four octets that read back as a dotted address,
// no field stays in error, and nothing crashes.
#include "platform/IntegerText.h"
#include "widgets/IPEdit.h"
#include "widgets/IPFieldEdit.h"
#include "widgets/IPText.h"

#include <QApplication>

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

QApplication* application = nullptr;
TIPEdit* edit = nullptr;

void require(bool condition)
{
    if (!condition)
        std::abort();
}

// The editor's state: four octets that survive a round trip, no field in error.
void checkEditor()
{
    require(!edit->error());
    const QString address = edit->IPString();
    const auto octets = widgets::parseIPString(address.toStdString());
    require(octets.has_value());
    require(QString::fromStdString(widgets::formatIPString(*octets)) == address);
    for (int i = 0; i < 4; ++i) {
        const TIPFieldEdit& field = edit->field(i);
        require((*octets)[i] == field.value());
        // A field shows its octet, or nothing, or the digits it was typed with ("007").
        const auto shown = widgets::octetFromText(field.text().toStdString());
        require(field.text().isEmpty() || shown.has_value());
    }
}

} // namespace

// fontconfig keeps its font cache for the life of the process and drops some of its pointers;
// that is the library's, not this program's.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    application = new QApplication(*argc, *argv);
    edit = new TIPEdit;
    // Fonts are loaded on first use; load them here, not inside the first input's leak check.
    edit->setIPString(QStringLiteral("1.2.3.4"));
    edit->field(0).insert(QStringLiteral("x"));
    edit->grab();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // The parser alone: a result in range agrees with the octet rule, and never the reverse.
    const auto number = platform::parseInteger(bytes);
    const auto octet = widgets::octetFromText(bytes);
    require(octet.has_value() == (number && *number >= 0 && *number <= 255));
    require(!octet || *octet == *number);

    const QString text = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    const QString before = edit->IPString();
    edit->setIPString(text);
    const auto parsed = widgets::parseIPString(text.toUtf8().toStdString());
    require(parsed ? edit->IPString().toStdString() == widgets::formatIPString(*parsed)
                   : edit->IPString() == before);
    checkEditor();

    // The same text arriving in a field from outside, as a paste does.
    TIPFieldEdit& field = edit->field(static_cast<int>(size % 4));
    field.selectAll();
    field.insert(text);
    checkEditor();
    return 0;
}

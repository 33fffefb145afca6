// The settings file: how lines are read, what a rewrite keeps, the atomic replacement and the
// errors that name the file.
#include "platform/FileDescriptor.h"
#include "platform/IniFile.h"
#include "support/ChildProcess.h"
#include "support/ErrorOf.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;
using testsupport::errorOf;

namespace {

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace

TEST(IniFile, ReadsValuesByteForByte)
{
    testsupport::TempDir dir;
    dir.writeFile("s.ini",
        "; made by hand\n"
        "Top=before any section\n"
        "[CP]\n"
        "Port=COM3\n"
        "  BaudRate = 19200\n"
        "Quoted=\"x\"\n"
        "Equals=a=b\n"
        "Trailing=x \t\n"
        "Empty=\n"
        "port=second\n"
        "#Hidden=1\n"
        "no equals sign\n"
        "[ other ]\n"
        "Key=v\n"
        "[cp]\n"
        "Late=1\n");
    const TIniFile file(dir.file("s.ini"));
    struct Case {
        const char* section;
        const char* key;
        const char* expected;
    };
    for (const Case& c : {
             Case { "CP", "Port", "COM3" },
             { "cp", "PORT", "COM3" }, // names in any letter case; the first of two keys wins
             { "CP", "BaudRate", "19200" }, // blanks around the key and the value go
             { "CP", "Quoted", "\"x\"" },
             { "CP", "Equals", "a=b" },
             { "CP", "Trailing", "x" }, // a hand-edited trailing blank is not part of it
             { "CP", "Empty", "" },
             { "CP", "#Hidden", "(fallback)" },
             { "CP", "Hidden", "(fallback)" },
             { "CP", "no equals sign", "(fallback)" },
             { "CP", "Late", "1" }, // a repeated header continues the section
             { "CP", "Key", "(fallback)" },
             { "OTHER", "key", "v" },
             { "", "Top", "(fallback)" },
             { "Missing", "Port", "(fallback)" },
         }) {
        EXPECT_EQ(file.readString(c.section, c.key, "(fallback)"), c.expected)
            << c.section << " " << c.key;
    }
}

TEST(IniFile, ReadsIntegersWithTheProgramsParser)
{
    testsupport::TempDir dir;
    dir.writeFile("s.ini",
        "[S]\nplain=12\nblank= 12\nhex=$1F\nhex0x=0x10\nnegative=-5\ntrailing=12 \n"
        "word=abc\nempty=\nbig=2147483648\nall=$FFFFFFFF\n");
    const TIniFile file(dir.file("s.ini"));
    const std::pair<const char*, std::int32_t> cases[] = { { "plain", 12 }, { "blank", 12 },
        { "hex", 31 }, { "hex0x", 16 }, { "negative", -5 }, { "trailing", 12 }, { "word", 77 },
        { "empty", 77 }, { "big", 77 }, { "all", -1 }, { "missing", 77 } };
    for (const auto& [key, expected] : cases)
        EXPECT_EQ(file.readInteger("S", key, 77), expected) << key;
}

TEST(IniFile, AMissingFileReadsEmptyAndTheFirstWriteCreatesIt)
{
    testsupport::TempDir dir;
    TIniFile file(dir.path() + "/new.ini");
    EXPECT_EQ(file.readString("S", "K", "fb"), "fb");
    EXPECT_EQ(file.readInteger("S", "K", 5), 5);
    EXPECT_EQ(TIniFile(dir.path() + "/no/such/folder.ini").readString("S", "K", "fb"), "fb");
    file.writeString("S", "K", "V");
    file.writeInteger("S", "N", -42);
    EXPECT_EQ(dir.readFile("new.ini"), "[S]\nK=V\nN=-42\n");
    EXPECT_EQ(file.readInteger("S", "N", 0), -42);
}

TEST(IniFile, ARewriteChangesOnlyWhatWasWritten)
{
    testsupport::TempDir dir;
    dir.writeFile("s.ini",
        "; settings\n"
        "[CP]\n"
        "  Port = COM1 \n"
        "Unknown=kept\n"
        "\n"
        "; about the next section\n"
        "[Printer]\n"
        "Width=42");
    TIniFile file(dir.file("s.ini"));
    file.writeString("cp", "PORT", "COM2");
    file.writeString("CP", "BaudRate", "9600");
    file.writeString("Printer", "Cut", "Yes");
    file.writeString("New", "Key", "v");
    EXPECT_EQ(dir.readFile("s.ini"),
        "; settings\n"
        "[CP]\n"
        "  Port =COM2\n"
        "Unknown=kept\n"
        "BaudRate=9600\n"
        "\n"
        "; about the next section\n"
        "[Printer]\n"
        "Width=42\n"
        "Cut=Yes\n"
        "\n"
        "[New]\n"
        "Key=v\n");
}

TEST(IniFile, KeepsWindowsLineEndsAndAByteOrderMark)
{
    testsupport::TempDir dir;
    dir.writeFile("s.ini", "\xEF\xBB\xBF[S]\r\nA=1\r\nB=2");
    TIniFile file(dir.file("s.ini"));
    EXPECT_EQ(file.readString("S", "A", ""), "1");
    EXPECT_EQ(file.readString("S", "B", ""), "2");
    file.writeString("S", "A", "one");
    file.writeString("S", "C", "3");
    EXPECT_EQ(dir.readFile("s.ini"), "\xEF\xBB\xBF[S]\r\nA=one\r\nB=2\r\nC=3\r\n");
}

TEST(IniFile, EveryByteOfAValueSurvivesARoundTrip)
{
    testsupport::TempDir dir;
    std::string allBytes;
    for (int byte = 0; byte < 256; ++byte) {
        if (byte != '\r' && byte != '\n')
            allBytes += static_cast<char>(byte);
    }
    const std::string values[] = { "\"quoted\"", "a=b", ";x", "#y", "[z]", "tab\there", "",
        std::string("nul\0byte", 8), allBytes };
    TIniFile file(dir.file("s.ini"));
    for (std::size_t i = 0; i < std::size(values); ++i)
        file.writeString("S", "V" + std::to_string(i), values[i]);
    const TIniFile again(dir.file("s.ini"));
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(again.readString("S", "V" + std::to_string(i), "(missing)"), values[i]) << i;
}

TEST(IniFile, NamesAndValuesThatWouldReadBackOtherwiseAreRefused)
{
    testsupport::TempDir dir;
    dir.writeFile("s.ini", "[S]\nK=v\n");
    TIniFile file(dir.file("s.ini"));
    struct Case {
        std::string section, key, value;
    };
    for (const Case& c : { Case { "a]b", "K", "v" }, { "a\nb", "K", "v" }, { " S", "K", "v" },
             { "S", "", "v" }, { "S", "a=b", "v" }, { "S", ";K", "v" }, { "S", "#K", "v" },
             { "S", "[K", "v" }, { "S", "K ", "v" }, { "S", "K\r", "v" }, { "S", "K", "a\nb" },
             { "S", "K", "a\r" }, { "S", "K", " lead" }, { "S", "K", "trail\t" } }) {
        const std::string error
            = errorOf<EIniFileError>([&] { file.writeString(c.section, c.key, c.value); });
        EXPECT_NE(error.find("to settings file '" + file.fileName() + "'"), std::string::npos)
            << error;
    }
    EXPECT_EQ(dir.readFile("s.ini"), "[S]\nK=v\n");
}

TEST(IniFile, FilesThatCannotBeReadOrWrittenAreReportedWithTheirPath)
{
    testsupport::TempDir dir;
    ::mkfifo(dir.file("fifo.ini").c_str(), 0600);
    std::filesystem::create_directories(dir.file("folder.ini"));
    dir.writeFile("plain", "not a folder");
    for (const char* name : { "fifo.ini", "folder.ini" }) {
        const TIniFile file(dir.file(name));
        EXPECT_EQ(errorOf<EIniFileError>([&] { file.readString("S", "K", ""); }),
            "Settings file '" + file.fileName() + "' cannot be read: "
                + (std::string(name) == "folder.ini" ? "Is a directory" : "Invalid argument"));
    }
    for (const std::string& path : { dir.path() + "/plain/s.ini", dir.path() + "/missing/s.ini" }) {
        TIniFile file(path);
        const std::string error = errorOf<EIniFileError>([&] { file.writeString("S", "K", "v"); });
        EXPECT_EQ(error.rfind("Settings file '" + path + "' cannot be written: ", 0), 0u) << error;
    }
    EXPECT_EQ(folderEntries(dir.path()),
        (std::vector<std::string> { "fifo.ini", "folder.ini", "plain" }));
}

TEST(IniFile, AWriteReplacesTheFileWhole)
{
    testsupport::TempDir dir;
    dir.writeFile("real/s.ini", "[S]\nK=old\n");
    ::chmod(dir.file("real/s.ini").c_str(), 0640);
    std::filesystem::create_symlink(dir.file("real/s.ini"), dir.file("link.ini"));
    // A reader that opened the file before the write keeps seeing the old content.
    const platform::FileDescriptor reader(
        ::open(dir.file("real/s.ini").c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(reader.valid());
    TIniFile file(dir.file("link.ini"));
    file.writeString("S", "K", "new");
    char old[16] = {};
    EXPECT_EQ(::read(reader.get(), old, sizeof old - 1), 10);
    EXPECT_STREQ(old, "[S]\nK=old\n");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.ini")));
    EXPECT_EQ(dir.readFile("real/s.ini"), "[S]\nK=new\n");
    struct stat info;
    ASSERT_EQ(::stat(dir.file("real/s.ini").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(folderEntries(dir.path() + "/real"), std::vector<std::string> { "s.ini" });
}

TEST(IniFile, UpdatesAtOnceWriteOnceOrNotAtAll)
{
    testsupport::TempDir dir;
    dir.writeFile("s.ini", "[S]\nA=1\n");
    TIniFile file(dir.file("s.ini"));
    file.updateAtOnce([&] {
        file.writeString("S", "A", "2");
        file.updateAtOnce([&] { file.writeInteger("S", "B", 3); });
        EXPECT_EQ(file.readString("S", "A", ""), "2");
        EXPECT_EQ(file.readInteger("S", "B", 0), 3);
        EXPECT_EQ(dir.readFile("s.ini"), "[S]\nA=1\n");
    });
    EXPECT_EQ(dir.readFile("s.ini"), "[S]\nA=2\nB=3\n");

    EXPECT_THROW(file.updateAtOnce([&] {
        file.writeString("S", "A", "lost");
        file.writeString("S", "Bad", "line\nbreak");
    }),
        EIniFileError);
    EXPECT_EQ(dir.readFile("s.ini"), "[S]\nA=2\nB=3\n");
    EXPECT_EQ(file.readString("S", "A", ""), "2");

    TIniFile untouched(dir.path() + "/untouched.ini");
    untouched.updateAtOnce([] {});
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/untouched.ini"));
}

TEST(IniDocument, AnyBytesComeBackUnchanged)
{
    const std::string cases[] = { "", "\n", "\r", "\r\n\r\n", "a\r\r\n", "[x]\nk=v", "\xEF\xBB\xBF",
        "\xEF\xBB\xBF\n[", "=\n==\n[]=\n", std::string("a\0b\n", 4) };
    for (const std::string& bytes : cases)
        EXPECT_EQ(IniDocument::parse(bytes).text(), bytes);
}

TEST(IniFile, WritersInTwoProcessesLoseNothing)
{
    testsupport::TempDir dir;
    const std::string path = dir.file("shared.ini");
    constexpr int sections = 100;
    const auto writeSections = [&](const std::string& prefix) {
        return [&path, prefix] {
            TIniFile file(path);
            for (int i = 0; i < sections; ++i)
                file.writeString(prefix + std::to_string(i), "Writer", prefix);
            return true;
        };
    };
    const pid_t first = testsupport::inChild(writeSections("A"));
    const pid_t second = testsupport::inChild(writeSections("B"));
    EXPECT_TRUE(testsupport::succeeded(first));
    EXPECT_TRUE(testsupport::succeeded(second));
    const TIniFile file(path);
    int found = 0;
    for (int i = 0; i < sections; ++i) {
        found += file.readString("A" + std::to_string(i), "Writer", "") == "A";
        found += file.readString("B" + std::to_string(i), "Writer", "") == "B";
    }
    EXPECT_EQ(found, 2 * sections);
    EXPECT_EQ(folderEntries(dir.path()), std::vector<std::string> { "shared.ini" });
}

TEST(IniFile, ADanglingLinkIsWrittenThroughToItsTarget)
{
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir.path() + "/dotfiles");
    std::filesystem::create_symlink("dotfiles/quillet.ini", dir.file("settings.ini"));
    TIniFile file(dir.file("settings.ini"));
    EXPECT_EQ(file.readString("CP", "Port", "none"), "none");
    file.writeString("CP", "Port", "COM2");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("settings.ini")));
    EXPECT_EQ(dir.readFile("dotfiles/quillet.ini"), "[CP]\nPort=COM2\n");
    EXPECT_EQ(file.readString("CP", "Port", "none"), "COM2");
}

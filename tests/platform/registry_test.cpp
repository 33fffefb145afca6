// The registry store: its text form, the key paths, the values, and the file on disk shared by
// several writers.
#include "platform/Registry.h"
#include "platform/RegistryFormat.h"
#include "support/ChildProcess.h"
#include "support/ErrorOf.h"
#include "support/OpenCounter.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace platform;
using testsupport::errorOf;

namespace {

using ConfigHome = testsupport::TestConfigHome;
using testsupport::inChild;
using testsupport::OpenCounter;
using testsupport::succeeded;

RegistryTree parsed(std::string_view bytes)
{
    auto result = parseRegistryFile(bytes);
    if (const auto* fault = std::get_if<RegistryParseError>(&result))
        ADD_FAILURE() << "line " << fault->line << ": " << fault->reason;
    return std::holds_alternative<RegistryTree>(result) ? std::get<RegistryTree>(result)
                                                        : RegistryTree();
}

// A valid store of about `bytes` bytes: one key with many values.
std::string bigStore(std::size_t bytes)
{
    std::string text = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Bulk]\n";
    for (int i = 0; text.size() < bytes; ++i)
        text += "\"value" + std::to_string(i) + "\"=\"" + std::string(100, 'x') + "\"\n";
    return text;
}

} // namespace

TEST(RegistryFormat, WritesTheRegedit4FormAndReadsItBack)
{
    RegistryTree tree;
    RegistryKey& key = tree.createKey({ "HKEY_LOCAL_MACHINE", "SOFTWARE", "Maker" });
    key.setValue("Title", RegistryValue::ofText("say \"hi\" \\ bye"));
    key.setValue("Count", RegistryValue::ofNumber(10));
    key.setValue("", RegistryValue::ofText("unnamed"));
    tree.createKey({ "HKEY_LOCAL_MACHINE", "SOFTWARE", "Empty" });
    const std::string text = formatRegistryFile(tree);
    EXPECT_EQ(text,
        "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Empty]\n\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Maker]\n@=\"unnamed\"\n\"Count\"=dword:0000000a\n"
        "\"Title\"=\"say \\\"hi\\\" \\\\ bye\"\n");
    EXPECT_EQ(parsed(text), tree);
}

TEST(RegistryFormat, EveryByteSurvivesInNamesAndTexts)
{
    std::string allBytes;
    for (int byte = 0; byte < 256; ++byte)
        allBytes += static_cast<char>(byte);
    RegistryTree tree;
    RegistryKey& key = tree.createKey({ "HKEY_LOCAL_MACHINE", "K]ey [x]", "\xE9t\xE9" });
    for (const std::string& text : { allBytes, std::string(), std::string("\\"), std::string("\""),
             std::string("\r\n"), std::string(1, '\0') }) {
        key.setValue(text.empty() ? "x" : text, RegistryValue::ofText(text));
    }
    key.setValue("max", RegistryValue::ofNumber(0xFFFFFFFF));
    const std::string text = formatRegistryFile(tree);
    // Names and texts are escaped to ASCII; key names stand in their headers as they are.
    const std::string values = text.substr(text.find(']', text.find("\xE9t\xE9")));
    for (const char c : values)
        EXPECT_TRUE(c == '\n' || (c >= 0x20 && c < 0x7F)) << "raw byte " << int(c);
    EXPECT_EQ(parsed(text), tree);
}

TEST(RegistryFormat, AcceptsWhatPeopleAndOtherToolsWrite)
{
    const RegistryTree tree = parsed("REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\A]  \r\n"
                                     "\"v\"=\"1\"\r\n\t\r\n[hkey_local_machine\\a\\B]\n"
                                     "\"n\"=DWORD:Ff\n\"s\"=\"\\x41\\x7a\xE9\"\n"
                                     "[HKEY_LOCAL_MACHINE\\a]\n\"V\"=\"2\"\n\"\"=\"default\"");
    const RegistryKey* a = tree.findKey({ "HKEY_LOCAL_MACHINE", "A" });
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->name(), "A");
    EXPECT_EQ(*a->value("v"), RegistryValue::ofText("2"));
    EXPECT_EQ(*a->value(""), RegistryValue::ofText("default"));
    const RegistryKey* b = tree.findKey({ "hkey_local_machine", "a", "b" });
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(*b->value("N"), RegistryValue::ofNumber(255));
    EXPECT_EQ(*b->value("s"), RegistryValue::ofText("Az\xE9"));
    EXPECT_TRUE(std::holds_alternative<RegistryTree>(parseRegistryFile("")));
}

TEST(RegistryFormat, ReportsTheFirstFaultWithItsLine)
{
    std::string tooDeep = "REGEDIT4\n[HKEY_LOCAL_MACHINE";
    for (std::size_t i = 0; i < maxKeyDepth; ++i)
        tooDeep += "\\k";
    const std::pair<std::string, int> cases[] = {
        { "REGEDIT5\n", 1 },
        { "\nREGEDIT4\n", 1 },
        { "Windows Registry Editor Version 5.00\n", 1 },
        { "REGEDIT4\n\"v\"=\"x\"\n", 2 },
        { "REGEDIT4\n[HKLM\\A\n", 2 },
        { "REGEDIT4\n[HKLM\\\\A]\n", 2 },
        { "REGEDIT4\n[]\n", 2 },
        { "REGEDIT4\n[HKLM\\" + std::string(256, 'k') + "]\n", 2 },
        { "REGEDIT4\n[HKLM\\A\tB]\n", 2 },
        { tooDeep + "]\n", 2 },
        { "REGEDIT4\n[HKLM]\n\"v\"=\"unterminated\n", 3 },
        { "REGEDIT4\n[HKLM]\n\"v\"=\"bad \\q escape\"\n", 3 },
        { "REGEDIT4\n[HKLM]\n\"v\"=\"\\x4\"\n", 3 },
        { "REGEDIT4\n[HKLM]\n\"v\"=\"raw\x01\"\n", 3 },
        { "REGEDIT4\n[HKLM]\n\"v\"=\"x\" trailing\n", 3 },
        { "REGEDIT4\n[HKLM]\n\"v\" = \"x\"\n", 3 },
        { "REGEDIT4\n[HKLM]\n\"v\"=dword:123456789\n", 3 },
        { "REGEDIT4\n[HKLM]\n\"v\"=dword:\n", 3 },
        { "REGEDIT4\n[HKLM]\n\"v\"=dword:12g4\n", 3 },
        { "REGEDIT4\n[HKLM]\n\"v\"=hex:01,02\n", 3 },
        { "REGEDIT4\n[HKLM]\n; a comment\n", 3 },
        { "REGEDIT4\n[HKLM]\n @=\"x\"\n", 3 },
        { "REGEDIT4\n[HKLM]\n\"" + std::string(maxValueNameLength + 1, 'n') + "\"=\"x\"\n", 3 },
    };
    for (const auto& [text, line] : cases) {
        const auto result = parseRegistryFile(text);
        ASSERT_TRUE(std::holds_alternative<RegistryParseError>(result)) << text.substr(0, 60);
        EXPECT_EQ(std::get<RegistryParseError>(result).line, line) << text.substr(0, 60);
    }
}

TEST(Registry, PathsStartFromTheRootOrFromTheOpenKey)
{
    ConfigHome home;
    TRegistry registry;
    EXPECT_FALSE(registry.hasCurrentKey());
    EXPECT_TRUE(registry.openKey("\\SOFTWARE\\", false)) << "the standard key always exists";
    EXPECT_EQ(registry.currentPath(), "SOFTWARE");
    EXPECT_FALSE(registry.openKey("Maker", false));
    EXPECT_EQ(registry.currentPath(), "SOFTWARE") << "a failed open keeps the open key";
    EXPECT_FALSE(registry.keyExists("Maker"));
    registry.createKey("Maker\\Tool");
    EXPECT_EQ(registry.currentPath(), "SOFTWARE") << "creating does not open";
    EXPECT_TRUE(registry.keyExists("maker\\TOOL"));
    EXPECT_TRUE(registry.keyExists("\\software\\maker"));
    EXPECT_FALSE(registry.keyExists("\\Maker")) << "a leading backslash starts from the root";
    EXPECT_TRUE(registry.openKey("Maker", false));
    EXPECT_EQ(registry.currentPath(), "SOFTWARE\\Maker");
    EXPECT_TRUE(registry.openKey("Tool\\", false));
    EXPECT_EQ(registry.currentPath(), "SOFTWARE\\Maker\\Tool");
    EXPECT_TRUE(registry.openKey("\\", false));
    EXPECT_EQ(registry.currentPath(), "");
    registry.closeKey();
    EXPECT_TRUE(registry.openKey("SOFTWARE\\Maker", false)) << "with no key open, from the root";
    for (const char* invalid : { "a\\\\b", "a\\\\", "\\\\", "bad\x01name" }) {
        EXPECT_FALSE(registry.openKey(invalid, true)) << invalid;
        EXPECT_FALSE(registry.keyExists(invalid)) << invalid;
        EXPECT_EQ(errorOf<ERegistryException>([&] { registry.createKey(invalid); }),
            std::string("Failed to create key ") + invalid);
    }
    EXPECT_EQ(registry.currentPath(), "SOFTWARE\\Maker");
}

TEST(Registry, ValuesPersistAndReadBackWithTheirTypes)
{
    ConfigHome home;
    {
        TRegistry registry;
        EXPECT_FALSE(std::filesystem::exists(home.store())) << "reading never creates the file";
        EXPECT_TRUE(registry.openKey("\\SOFTWARE\\Maker\\Port", true));
        registry.writeString("Port", "COM1");
        registry.writeInteger("CustomBaudRate", -5);
        registry.writeInteger("Buffer.InputSize", 2048);
    }
    TRegistry registry;
    ASSERT_TRUE(registry.openKey("\\SOFTWARE\\Maker\\Port", false));
    EXPECT_EQ(registry.readString("port"), "COM1");
    EXPECT_EQ(registry.readInteger("CustomBaudRate"), -5);
    EXPECT_EQ(registry.readInteger("Buffer.InputSize"), 2048);
    EXPECT_TRUE(registry.valueExists("Port"));
    EXPECT_FALSE(registry.valueExists("Parity"));
    EXPECT_EQ(registry.readString("Parity"), "") << "a missing text reads as empty";
    EXPECT_EQ(errorOf<ERegistryException>([&] { registry.readInteger("Parity"); }),
        "Failed to get data for 'Parity'");
    EXPECT_EQ(errorOf<ERegistryException>([&] { registry.readInteger("Port"); }),
        "Invalid data type for 'Port'");
    EXPECT_EQ(errorOf<ERegistryException>([&] { registry.readString("CustomBaudRate"); }),
        "Invalid data type for 'CustomBaudRate'");
    registry.closeKey();
    EXPECT_EQ(registry.readString("Port"), "");
    EXPECT_EQ(errorOf<ERegistryException>([&] { registry.writeString("Port", "x"); }),
        "Failed to set data for 'Port'");
    EXPECT_EQ(home.storeBytes().substr(0, 9), "REGEDIT4\n");
}

TEST(Registry, TheStoreFollowsXdgConfigHome)
{
    ConfigHome home;
    testsupport::EnvironmentOverride homeFolder("HOME", home.path());
    EXPECT_EQ(registryStorePath(), home.store());
    setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(registryStorePath(), home.path() + "/.config/quillet/registry.reg");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(registryStorePath(), home.path() + "/.config/quillet/registry.reg");
}

TEST(Registry, ADamagedStoreIsReportedAndNeverOverwritten)
{
    ConfigHome home;
    const std::string damaged = "REGEDIT4\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n\"v\"=\"open\n";
    home.writeStore(damaged);
    TRegistry registry;
    const std::string expected = "Registry store '" + home.store()
        + "' is damaged at line 3 (quoted text without its closing quote); it was left unchanged";
    EXPECT_EQ(errorOf<ERegistryException>([&] { registry.keyExists("\\SOFTWARE"); }), expected);
    EXPECT_EQ(
        errorOf<ERegistryException>([&] { registry.openKey("\\SOFTWARE\\New", true); }), expected);
    EXPECT_EQ(
        errorOf<ERegistryException>([&] { registry.createKey("\\SOFTWARE\\New"); }), expected);
    try {
        registry.readString("v");
        FAIL() << "no error";
    } catch (const ERegistryFileError& error) {
        EXPECT_EQ(error.path(), home.store());
    }
    EXPECT_EQ(home.storeBytes(), damaged);
    EXPECT_FALSE(std::filesystem::exists(home.store() + ".tmp"));
}

TEST(Registry, AStoreThatCannotBeReadIsAnErrorNotAHang)
{
    ConfigHome home;
    std::filesystem::create_directories(home.store());
    EXPECT_NE(errorOf<ERegistryException>([] {
        TRegistry().keyExists("\\SOFTWARE");
    }).find("cannot be read"),
        std::string::npos);
    std::filesystem::remove(home.store());
    ASSERT_EQ(mkfifo(home.store().c_str(), 0600), 0);
    EXPECT_NE(errorOf<ERegistryException>([] {
        TRegistry().keyExists("\\SOFTWARE");
    }).find("cannot be read"),
        std::string::npos);
}

TEST(Registry, ARefusedWriteRaisesAndLeavesTheStoreAsItWas)
{
    ConfigHome home;
    TRegistry registry;
    ASSERT_TRUE(registry.openKey("\\SOFTWARE\\Maker", true));
    registry.writeString("kept", "yes");
    const std::string before = home.storeBytes();
    // A folder where the temporary file goes makes the write fail even for root.
    std::filesystem::create_directories(home.store() + ".tmp");
    EXPECT_EQ(errorOf<ERegistryException>([&] { registry.writeString("new", "no"); }),
        "Failed to set data for 'new'");
    EXPECT_EQ(errorOf<ERegistryException>([&] { registry.writeInteger("n", 1); }),
        "Failed to set data for 'n'");
    EXPECT_EQ(errorOf<ERegistryException>([&] { registry.createKey("Sub"); }),
        "Failed to create key Sub");
    EXPECT_FALSE(registry.openKey("Sub", true));
    EXPECT_EQ(home.storeBytes(), before);
    EXPECT_EQ(registry.readString("kept"), "yes");

    // A file where the store's folder should be.
    ConfigHome blocked;
    blocked.writeFile("quillet", "not a folder");
    TRegistry blockedRegistry;
    EXPECT_FALSE(blockedRegistry.openKey("\\SOFTWARE\\Maker", true));
    EXPECT_EQ(errorOf<ERegistryException>([&] { blockedRegistry.createKey("\\SOFTWARE\\Maker"); }),
        "Failed to create key \\SOFTWARE\\Maker");
}

TEST(Registry, ALinkedStoreStaysALink)
{
    ConfigHome home;
    home.writeFile("dotfiles/registry.reg", "");
    std::filesystem::create_directories(home.path() + "/quillet");
    std::filesystem::create_symlink(home.path() + "/dotfiles/registry.reg", home.store());
    TRegistry registry;
    ASSERT_TRUE(registry.openKey("\\SOFTWARE\\Maker", true));
    registry.writeString("v", "1");
    EXPECT_TRUE(std::filesystem::is_symlink(home.store()));
    EXPECT_NE(home.readFile("dotfiles/registry.reg").find("\"v\"=\"1\""), std::string::npos);
}

TEST(Registry, ReadersSeeWholeStoresWhileAnotherProcessWrites)
{
    ConfigHome home;
    TRegistry registry;
    ASSERT_TRUE(registry.openKey("\\SOFTWARE\\Counter", true));
    registry.writeInteger("n", 0);
    constexpr int writes = 100;
    const pid_t writer = inChild([] {
        TRegistry child;
        child.openKey("\\SOFTWARE\\Counter", false);
        for (int n = 1; n <= writes; ++n) {
            child.writeInteger("n", n);
            // A growing text makes a torn file visible as a parse error.
            child.writeString("pad" + std::to_string(n), std::string(n, 'x'));
        }
        return true;
    });
    int last = 0;
    int reads = 0;
    bool writerDone = false;
    while (!writerDone) {
        int status = 0;
        writerDone = waitpid(writer, &status, WNOHANG) == writer;
        if (writerDone) {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        const int seen = registry.readInteger("n");
        ASSERT_GE(seen, last) << "a reader went back in time";
        last = seen;
        ++reads;
    }
    EXPECT_EQ(last, writes);
    EXPECT_GT(reads, 1);
    EXPECT_FALSE(std::filesystem::exists(home.store() + ".tmp"));
}

TEST(Registry, ConcurrentWritersLoseNothing)
{
    ConfigHome home;
    constexpr int perWriter = 60;
    const auto writeMany = [](const std::string& prefix) {
        return [prefix] {
            TRegistry registry;
            if (!registry.openKey("\\SOFTWARE\\Shared", true))
                return false;
            for (int i = 0; i < perWriter; ++i)
                registry.writeString(prefix + std::to_string(i), prefix);
            return true;
        };
    };
    const pid_t first = inChild(writeMany("a"));
    const pid_t second = inChild(writeMany("b"));
    EXPECT_TRUE(succeeded(first));
    EXPECT_TRUE(succeeded(second));
    TRegistry registry;
    ASSERT_TRUE(registry.openKey("\\SOFTWARE\\Shared", false));
    for (int i = 0; i < perWriter; ++i) {
        EXPECT_EQ(registry.readString("a" + std::to_string(i)), "a");
        EXPECT_EQ(registry.readString("b" + std::to_string(i)), "b");
    }
}

TEST(Registry, AWriteKeepsTheStoresPermissions)
{
    ConfigHome home;
    TRegistry registry;
    ASSERT_TRUE(registry.openKey("\\SOFTWARE\\Maker", true));
    ASSERT_EQ(::chmod(home.store().c_str(), 0600), 0);
    registry.writeString("secret", "kept private");
    struct stat info;
    ASSERT_EQ(::stat(home.store().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

TEST(Registry, AStoreIsReadOnceWhileItDoesNotChange)
{
    ConfigHome home;
    home.writeStore(bigStore(1024 * 1024));
    OpenCounter counter(home.store());
    // What the program does at start: look for its marker keys.
    TRegistry registry;
    EXPECT_TRUE(registry.openKey("\\SOFTWARE\\Bulk", true));
    EXPECT_FALSE(registry.keyExists("Marker"));
    EXPECT_TRUE(registry.openKey("\\SOFTWARE\\Bulk", true));
    EXPECT_EQ(registry.readString("value7"), std::string(100, 'x'));
    EXPECT_EQ(counter.opens(), 1);

    // A change by someone else is seen at once: its size, times or identity differ.
    home.writeStore("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Bulk]\n\"value7\"=\"new\"\n");
    EXPECT_EQ(registry.readString("value7"), "new");
    // Its own write leaves nothing to read again.
    registry.writeString("value8", "mine");
    const int afterWrite = counter.opens();
    EXPECT_EQ(registry.readString("value8"), "mine");
    EXPECT_EQ(counter.opens(), afterWrite);
}

TEST(Registry, AStoreBeyondTheSizeLimitIsRefusedAndLeftAsItIs)
{
    ConfigHome home;
    const std::string huge = bigStore(20 * 1024 * 1024);
    home.writeStore(huge);
    TRegistry registry;
    const std::string expected
        = "Registry store '" + home.store() + "' cannot be read: File too large";
    EXPECT_EQ(
        errorOf<ERegistryException>([&] { registry.keyExists("\\SOFTWARE\\Bulk"); }), expected);
    EXPECT_EQ(errorOf<ERegistryException>([&] { registry.openKey("\\SOFTWARE\\Other", true); }),
        expected);
    EXPECT_THROW(registry.createKey("\\SOFTWARE\\Other"), ERegistryFileError);
    EXPECT_TRUE(home.storeBytes() == huge);

    // Nor does a write ever make a store that large.
    ConfigHome small;
    TRegistry writer;
    ASSERT_TRUE(writer.openKey("\\SOFTWARE\\Bulk", true));
    EXPECT_EQ(errorOf<ERegistryException>(
                  [&] { writer.writeString("big", std::string(maxRegistryStoreSize, 'x')); }),
        "Failed to set data for 'big'");
    EXPECT_FALSE(writer.valueExists("big"));
}

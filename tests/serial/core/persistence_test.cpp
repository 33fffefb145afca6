// Saving and restoring a port's settings: the keys and forms written, the rules of each store
// when keys are missing.
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "serial/CPort.h"
#include "support/TempDir.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <iterator>
#include <sstream>

using namespace cport;
using platform::TIniFile;
using platform::TRegistry;

namespace {

const TStoredGroups allGroups { stBasic, stFlowControl, stBuffer, stTimeouts, stParity, stOthers };

std::string golden(const std::string& name)
{
    std::ifstream in(std::filesystem::path(SERIAL_TEST_DATA) / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Every setting the store covers, in one line, so two ports compare at a glance.
std::string describe(const TCustomComPort& p)
{
    const auto code = [](char c) { return int(static_cast<unsigned char>(c)); };
    const TComFlowControl& f = p.FlowControl();
    const TComTimeouts& t = p.Timeouts();
    std::ostringstream out;
    out << "Port=" << p.Port() << " Baud=" << int(p.BaudRate()) << "/" << p.CustomBaudRate()
        << " Stop=" << int(p.StopBits()) << " Data=" << int(p.DataBits())
        << " EventChar=" << code(p.EventChar()) << " DiscardNull=" << p.DiscardNull()
        << " Parity=" << int(p.Parity().Bits()) << p.Parity().Check() << p.Parity().Replace() << "/"
        << code(p.Parity().ReplaceChar()) << " Buffer=" << p.Buffer().OutputSize() << "/"
        << p.Buffer().InputSize() << " Timeouts=" << t.ReadInterval() << "/"
        << t.ReadTotalConstant() << "/" << t.ReadTotalMultiplier() << "/" << t.WriteTotalConstant()
        << "/" << t.WriteTotalMultiplier() << " Flow=" << int(f.ControlRTS()) << int(f.ControlDTR())
        << f.DSRSensitivity() << f.OutCTSFlow() << f.OutDSRFlow() << f.TxContinueOnXoff()
        << f.XonXoffIn() << f.XonXoffOut() << "/" << code(f.XoffChar()) << "/" << code(f.XonChar());
    return out.str();
}

// A technician's profile: every setting away from its constructor value, with characters that
// need the "#" form and one that is "#" itself.
void setProfile(TCustomComPort& p)
{
    p.setPort("/dev/ttyUSB3 (printer)");
    p.setBaudRate(brCustom);
    p.setCustomBaudRate(250000);
    p.setStopBits(sbTwoStopBits);
    p.setDataBits(dbSeven);
    p.setEventChar('#');
    p.setDiscardNull(true);
    p.Parity().setBits(prMark);
    p.Parity().setCheck(true);
    p.Parity().setReplace(true);
    p.Parity().setReplaceChar(char(200));
    p.Buffer().setOutputSize(4096);
    p.Buffer().setInputSize(2048);
    p.Timeouts().setReadInterval(50);
    p.Timeouts().setReadTotalConstant(7);
    p.Timeouts().setReadTotalMultiplier(3);
    p.Timeouts().setWriteTotalConstant(2500);
    p.Timeouts().setWriteTotalMultiplier(20);
    TComFlowControl& f = p.FlowControl();
    f.setControlRTS(rtsToggle);
    f.setControlDTR(dtrHandshake);
    f.setDSRSensitivity(true);
    f.setOutCTSFlow(true);
    f.setOutDSRFlow(true);
    f.setTxContinueOnXoff(true);
    f.setXonXoffIn(true);
    f.setXoffChar(' ');
    f.setXonChar(0);
}

struct IniFixture : ::testing::Test {
    testsupport::TempDir dir;
    TIniFile file { dir.path() + "/ports.ini" };

    // A port loaded from a section holding lines, with the given groups.
    void load(TCustomComPort& port, const std::string& lines, TStoredGroups groups = { stBasic })
    {
        dir.writeFile("ports.ini", "[CP]\n" + lines);
        port.setStoredGroups(groups);
        port.loadFromIniFile(file, "CP");
    }
};

struct RegistryFixture : ::testing::Test {
    testsupport::TestConfigHome home;
    TRegistry registry;
    void SetUp() override { ASSERT_TRUE(registry.openKey("\\SOFTWARE\\Quillet\\CP", true)); }
};

} // namespace

TEST_F(IniFixture, ANewPortStoresTheSixBasicKeys)
{
    TComPort port;
    port.storeToIniFile(file, "CP");
    EXPECT_EQ(dir.readFile("ports.ini"), golden("new_port.ini"));

    TIniFile all(dir.path() + "/all.ini");
    port.setStoredGroups(allGroups);
    port.storeToIniFile(all, "CP");
    EXPECT_EQ(dir.readFile("all.ini"), golden("new_port_all_groups.ini"));
}

TEST_F(IniFixture, ACustomRateAddsItsKeyAndOtherKeysStayAsTheyWere)
{
    dir.writeFile("ports.ini", "[CP]\nTimeouts.ReadInterval=5\n; note\n[Other]\nPort=COM9\n");
    TComPort port;
    port.setBaudRate(brCustom);
    port.setCustomBaudRate(31250);
    port.storeToIniFile(file, "CP");
    EXPECT_EQ(dir.readFile("ports.ini"),
        "[CP]\nTimeouts.ReadInterval=5\nPort=COM1\nBaudRate=Custom\nCustomBaudRate=31250\n"
        "StopBits=1\nDataBits=8\nParity=None\nFlowControl=None\n; note\n[Other]\nPort=COM9\n");

    port.setStoredGroups({});
    port.storeToIniFile(file, "Nothing");
    EXPECT_EQ(file.readString("Nothing", "Port", "(none)"), "(none)");

    // A name that would add a line of its own is refused, and the file stays as it was.
    const std::string before = dir.readFile("ports.ini");
    port.setStoredGroups({ stBasic });
    port.setPort("COM1\nFlowControl.OutCTSFlow=Yes");
    EXPECT_THROW(port.storeToIniFile(file, "CP"), platform::EIniFileError);
    EXPECT_EQ(dir.readFile("ports.ini"), before);
}

TEST_F(IniFixture, HandEditedValuesWithBlanksAroundThemLoadAsWritten)
{
    TComPort port;
    load(port, "BaudRate=19200 \nParity = Even\t\nPort= COM3 \n");
    EXPECT_EQ(port.BaudRate(), br19200);
    EXPECT_EQ(port.Parity().Bits(), prEven);
    EXPECT_EQ(port.Port(), "COM3");
}

TEST_F(RegistryFixture, ANewPortStoresTheSixBasicKeys)
{
    // Every key a port can store: the custom rate and those of a store of all groups.
    std::vector<std::string> everyKey { "CustomBaudRate" };
    std::istringstream lines(golden("new_port_all_groups.ini"));
    for (std::string line; std::getline(lines, line);) {
        if (line.find('=') != std::string::npos)
            everyKey.push_back(line.substr(0, line.find('=')));
    }
    for (const TBaudRate rate : { br9600, brCustom }) {
        ASSERT_TRUE(registry.openKey(rate == brCustom ? "\\Custom" : "\\Plain", true));
        TComPort port;
        port.setBaudRate(rate);
        port.storeToRegistry(registry);
        std::vector<std::string> stored;
        for (const std::string& key : everyKey) {
            if (registry.valueExists(key))
                stored.push_back(key);
        }
        std::vector<std::string> expected { "Port", "BaudRate", "StopBits", "DataBits", "Parity",
            "FlowControl" };
        if (rate == brCustom)
            expected.insert(expected.begin(), "CustomBaudRate");
        EXPECT_EQ(stored, expected);
    }
}

TEST(Persistence, AProfileRoundTripsThroughBothStores)
{
    testsupport::TempDir dir;
    testsupport::TestConfigHome home;
    TIniFile file(dir.path() + "/ports.ini");
    TRegistry registry;
    ASSERT_TRUE(registry.openKey("\\SOFTWARE\\Quillet\\CP", true));
    struct Store {
        const char* name;
        std::function<void(TCustomComPort&)> store, load;
    };
    const Store stores[] = {
        { "settings file", [&](TCustomComPort& p) { p.storeToIniFile(file, "CP"); },
            [&](TCustomComPort& p) { p.loadFromIniFile(file, "CP"); } },
        { "registry", [&](TCustomComPort& p) { p.storeToRegistry(registry); },
            [&](TCustomComPort& p) { p.loadFromRegistry(registry); } },
    };
    for (const Store& store : stores) {
        TComPort saved;
        setProfile(saved);
        saved.setStoredGroups(allGroups);
        store.store(saved);
        TComPort restored;
        restored.setStoredGroups(allGroups);
        store.load(restored);
        EXPECT_EQ(describe(restored), describe(saved)) << store.name;

        // One group alone: only its settings move.
        TComPort timeoutsOnly;
        timeoutsOnly.setStoredGroups({ stTimeouts });
        store.load(timeoutsOnly);
        TComPort expected;
        expected.setTimeouts(saved.Timeouts());
        EXPECT_EQ(describe(timeoutsOnly), describe(expected)) << store.name;
    }
    EXPECT_EQ(file.readString("CP", "Parity.ReplaceChar", ""), "#200");
    EXPECT_EQ(file.readString("CP", "EventChar", ""), "#");
    EXPECT_EQ(file.readString("CP", "FlowControl.XoffChar", ""), "#32");
    EXPECT_EQ(registry.readInteger("Timeouts.WriteTotalConstant"), 2500);
}

TEST_F(IniFixture, MissingKeysLeaveTheSettingsButACustomRateFallsBackTo9600)
{
    TComPort port;
    setProfile(port);
    TComPort expected;
    setProfile(expected);
    expected.setCustomBaudRate(9600);
    load(port, "Unrelated=1\n", allGroups);
    EXPECT_EQ(describe(port), describe(expected));

    port.FlowControl().setOutDSRFlow(true);
    load(port,
        "FlowControl.ControlRTS=Enable\nFlowControl.OutCTSFlow=No\n"
        "FlowControl.DSRSensitivity=No\n",
        { stFlowControl });
    EXPECT_TRUE(port.FlowControl().OutDSRFlow());
    EXPECT_EQ(port.FlowControl().ControlRTS(), rtsEnable);
    EXPECT_FALSE(port.FlowControl().OutCTSFlow());

    load(port, "BaudRate=custom\n");
    EXPECT_EQ(port.BaudRate(), brCustom);
    EXPECT_EQ(port.CustomBaudRate(), 9600);
    // "CustomBaudRate" is read only after "BaudRate" gave brCustom.
    load(port, "BaudRate=19200\nCustomBaudRate=12345\n");
    EXPECT_EQ(port.BaudRate(), br19200);
    EXPECT_EQ(port.CustomBaudRate(), 9600);
}

TEST_F(IniFixture, TheFlowSummaryInAnyLetterCase)
{
    struct Case {
        const char* text;
        TRTSFlowControl rts;
        bool cts, xonXoff;
    };
    for (const Case& c : { Case { "hardware", rtsHandshake, true, false },
             { "HARDWARE", rtsHandshake, true, false }, { "hArdWare", rtsHandshake, true, false },
             { "software", rtsDisable, false, true }, { "Custom", rtsEnable, false, true } }) {
        TComPort port;
        port.FlowControl().setControlRTS(rtsEnable);
        port.FlowControl().setXonXoffIn(true);
        port.FlowControl().setXonXoffOut(true);
        load(port, std::string("FlowControl=") + c.text + "\n");
        EXPECT_EQ(port.FlowControl().ControlRTS(), c.rts) << c.text;
        EXPECT_EQ(port.FlowControl().OutCTSFlow(), c.cts) << c.text;
        EXPECT_EQ(port.FlowControl().XonXoffIn(), c.xonXoff) << c.text;
        EXPECT_EQ(port.FlowControl().XonXoffOut(), c.xonXoff) << c.text;
    }
}

TEST_F(IniFixture, TheFlowControlGroupHasTheLastWord)
{
    const std::string lines = "FlowControl=Hardware\nFlowControl.ControlRTS=Enable\n"
                              "FlowControl.OutCTSFlow=No\n";
    TComPort basicOnly;
    load(basicOnly, lines);
    EXPECT_EQ(basicOnly.FlowControl().FlowControl(), fcHardware);
    TComPort both;
    load(both, lines, { stBasic, stFlowControl });
    EXPECT_EQ(both.FlowControl().ControlRTS(), rtsEnable);
    EXPECT_FALSE(both.FlowControl().OutCTSFlow());
}

TEST_F(IniFixture, CharacterForms)
{
    const std::pair<const char*, int> cases[] = { { "#13", 13 }, { "", 0 }, { "#", '#' } };
    for (const auto& [text, code] : cases) {
        TComPort port;
        port.setEventChar('z');
        load(port, std::string("EventChar=") + text + "\n", { stOthers });
        EXPECT_EQ(static_cast<unsigned char>(port.EventChar()), code) << text;
    }
}

TEST_F(RegistryFixture, MissingTextsReadAsEmptyAndGiveTheirDefaults)
{
    TComPort port;
    setProfile(port);
    port.setStoredGroups({ stBasic, stOthers, stParity });
    registry.writeString("BaudRate", "57600");
    port.loadFromRegistry(registry);
    EXPECT_EQ(port.Port(), "");
    EXPECT_EQ(port.BaudRate(), br57600);
    EXPECT_EQ(port.StopBits(), sbOneStopBit);
    EXPECT_EQ(port.DataBits(), dbEight);
    EXPECT_EQ(port.Parity().Bits(), prNone);
    EXPECT_EQ(port.FlowControl().ControlRTS(), rtsToggle); // fcCustom keeps the fields
    EXPECT_EQ(port.EventChar(), 0);
    EXPECT_FALSE(port.DiscardNull());
    EXPECT_FALSE(port.Parity().Check());
    EXPECT_FALSE(port.Parity().Replace());
    EXPECT_EQ(port.Parity().ReplaceChar(), 0);
}

TEST_F(RegistryFixture, AMissingIntegerStopsTheLoadKeepingWhatWasRead)
{
    TComPort saved;
    setProfile(saved);
    saved.setStoredGroups(allGroups);
    saved.storeToRegistry(registry);
    ASSERT_TRUE(registry.openKey("\\SOFTWARE\\Quillet\\Damaged", true));
    registry.writeString("Port", "COM4");
    registry.writeString("BaudRate", "Custom");
    registry.writeString("StopBits", "2");

    TComPort port;
    port.setStoredGroups(allGroups);
    try {
        port.loadFromRegistry(registry);
        FAIL();
    } catch (const platform::ERegistryException& error) {
        EXPECT_STREQ(error.what(), "Failed to get data for 'CustomBaudRate'");
    }
    EXPECT_EQ(port.Port(), "COM4");
    EXPECT_EQ(port.BaudRate(), brCustom);
    EXPECT_EQ(port.StopBits(), sbOneStopBit); // not reached

    // An integer stored as text fails the same way; the groups before it are all in place.
    ASSERT_TRUE(registry.openKey("\\SOFTWARE\\Quillet\\CP", false));
    registry.writeString("Buffer.InputSize", "not a number");
    TComPort partial;
    partial.setStoredGroups(allGroups);
    EXPECT_THROW(partial.loadFromRegistry(registry), platform::ERegistryException);
    EXPECT_EQ(partial.Parity().ReplaceChar(), char(200));
    EXPECT_EQ(partial.Buffer().OutputSize(), 4096);
    EXPECT_EQ(partial.Buffer().InputSize(), 1024);
    EXPECT_EQ(partial.Timeouts().ReadInterval(), -1);
}

// The texts the window derives from its controls: the test text as printer bytes, the clock and
// the connection texts.
#include "app/ClockText.h"
#include "app/ConnectionText.h"
#include "app/MemoText.h"

#include <gtest/gtest.h>

using namespace app;

TEST(MemoText, LineBreaksBecomeCrLfAndCharactersWindows1252Bytes)
{
    const struct {
        const char* what;
        QString raw;
        std::string bytes;
    } cases[] = {
        { "empty", QString(), "" },
        { "paragraphs", QStringLiteral("\u2029a\u2029b\u2029\u2029"), "\r\na\r\nb\r\n\r\n" },
        { "line separator (Shift+Enter)", QStringLiteral("a\u2028b"), "a\r\nb" },
        { "Latin-1 letters", QStringLiteral("Gr\u00FC\u00DFe"),
            "Gr\xFC\xDF"
            "e" },
        { "euro sign and curly quotes", QStringLiteral("\u20AC\u201Cx\u201D"), "\x80\x93x\x94" },
        { "no-break space stays one", QStringLiteral("a\u00A0b"),
            "a\xA0"
            "b" },
        { "outside the code page", QStringLiteral("\u0142\u4E2D"), "??" },
    };
    for (const auto& c : cases)
        EXPECT_EQ(memoBytes(c.raw), c.bytes) << c.what;
}

TEST(MemoText, BytesBecomeTextWithOneBreakPerLineEnd)
{
    EXPECT_EQ(memoText("\r\nHello!\r\n\r\n"), QString("\nHello!\n\n"));
    EXPECT_EQ(memoText("a\rb\nc"), QString("a\nb\nc"));
    EXPECT_EQ(memoText("\xFC\x80"), QStringLiteral("\u00FC\u20AC"));
}

TEST(ClockText, ShortDateBlankLongTimeWithoutZone)
{
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    const QLocale de(QLocale::German, QLocale::Germany);
    const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 7, 9));
    const QDateTime midnight(QDate(2024, 3, 5), QTime(0, 0));
    EXPECT_EQ(clockText(afternoon, us), QString("3/5/24 2:07:09 PM"));
    EXPECT_EQ(clockText(afternoon, de), QString("05.03.24 14:07:09"));
    EXPECT_EQ(clockText(midnight, de), QString("05.03.24"));
    EXPECT_EQ(clockText(midnight.addMSecs(1), de), QString("05.03.24 00:00:00"));
}

TEST(ClockText, ShorterFormsDropTheYearButKeepTheSeconds)
{
    const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 7, 9));
    const struct {
        QLocale locale;
        QStringList forms;
    } cases[] = {
        { QLocale(QLocale::English, QLocale::UnitedStates),
            { "3/5/24 2:07:09 PM", "3/5 2:07:09 PM", "2:07:09 PM" } },
        { QLocale(QLocale::German, QLocale::Germany),
            { "05.03.24 14:07:09", "05.03. 14:07:09", "14:07:09" } },
        { QLocale::c(),
            { "5 Mar 2024 14:07:09", "5 Mar 24 14:07:09", "5 Mar 14:07:09", "14:07:09" } },
        { QLocale(QLocale::Japanese, QLocale::Japan),
            { QString::fromUtf8("2024/03/05 14時07分09秒"),
                QString::fromUtf8("24/03/05 14時07分09秒"), QString::fromUtf8("03/05 14時07分09秒"),
                QString::fromUtf8("14時07分09秒") } },
    };
    for (const auto& c : cases)
        EXPECT_EQ(clockTextForms(afternoon, c.locale), c.forms) << c.locale.name().toStdString();
    // At midnight the date alone, in its shorter forms too.
    EXPECT_EQ(clockTextForms(QDateTime(QDate(2024, 3, 5), QTime(0, 0)), QLocale::c()),
        QStringList({ "5 Mar 2024", "5 Mar 24", "5 Mar" }));
}

TEST(ConnectionText, OneFormPerChoice)
{
    ConnectionSettings settings;
    settings.comPort = "COM1";
    settings.baudRate = "19200";
    settings.lptItem = "LPT1";
    settings.ipString = "192.168.123.100";
    settings.driverItem = "VARUVOZIRIVO";
    settings.fileName = "abc";
    EXPECT_EQ(
        connectionText(ConnectionChoice::Com, settings), QString("COM1:19200,N,8,1,Hardware"));
    EXPECT_EQ(connectionText(ConnectionChoice::Lpt, settings), QString("LPT1:"));
    EXPECT_EQ(connectionText(ConnectionChoice::Ethernet, settings),
        QString("ETHERNET:192.168.123.100:9100"));
    EXPECT_EQ(connectionText(ConnectionChoice::Driver, settings), QString("Driver VARUVOZIRIVO"));
    EXPECT_EQ(connectionText(ConnectionChoice::File, settings), QString("File abc.bin"));
    EXPECT_EQ(connectionText(ConnectionChoice::Lpt, ConnectionSettings()), QString(":"));
    EXPECT_EQ(
        connectionText(ConnectionChoice::Com, ConnectionSettings()), QString(":,N,8,1,Hardware"));
}

#pragma once

#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The printer's real-time status (DLE EOT n) and identity (GS I n): the query bytes, the
// conditions each reply byte carries, and the reply a printer in a given state sends. One table
// serves decoding (the diagnostics pane, the command line) and encoding (the virtual printer), so
// the two can never disagree on a bit.
namespace escpos {

// DLE EOT n: each answers one byte at once, even in the middle of a job.
enum class StatusQuery : std::uint8_t {
    Printer = 1,
    OfflineCause = 2,
    ErrorCause = 3,
    PaperSensor = 4,
};
inline constexpr StatusQuery kStatusQueries[] = { StatusQuery::Printer, StatusQuery::OfflineCause,
    StatusQuery::ErrorCause, StatusQuery::PaperSensor };

// What a status reply can report. Online is not a condition: it is the absence of Offline.
enum class Condition : std::uint8_t {
    DrawerPin3High,
    Offline,
    WaitingForRecovery,
    FeedButtonPressed,
    CoverOpen,
    PaperFedByButton,
    StoppedByPaperEnd,
    ErrorOccurred,
    RecoverableError,
    CutterError,
    UnrecoverableError,
    AutoRecoverableError,
    PaperNearEnd,
    PaperEnd,
};
inline constexpr std::size_t kConditionCount = 14;
using ConditionSet = std::bitset<kConditionCount>;

// The query's bytes: 10 04 n.
std::string statusQueryBytes(StatusQuery query);

// Every DLE EOT reply has bits 0 and 7 clear and bits 1 and 4 set.
bool hasStatusFixedBits(std::uint8_t reply);

// The conditions one reply can report, in table order.
std::vector<Condition> conditionsOf(StatusQuery query);

// One decoded reply: nullopt when the byte is not a status byte (wrong fixed bits), otherwise
// which of the query's conditions are set.
std::optional<ConditionSet> decodeStatus(StatusQuery query, std::uint8_t reply);

// The byte a printer whose set conditions are `state` answers to `query`.
std::uint8_t encodeStatus(StatusQuery query, const ConditionSet& state);

// A short key for the condition ("paper-end", "cover-open"), used on command lines and in JSON,
// and words for people ("paper end", "cover open").
std::string_view conditionKey(Condition condition);
std::string_view conditionWords(Condition condition);
std::optional<Condition> conditionFromKey(std::string_view key);

// GS I n, the printer ID: n = 1 model, 2 type, 3 version answer one byte each; n = 65..68 answer
// 5F, a text and 00.
enum class IdQuery : std::uint8_t {
    Model = 1,
    Type = 2,
    Version = 3,
    Firmware = 65,
    Maker = 66,
    ModelName = 67,
    SerialNumber = 68,
    Fonts = 69,
};
std::string idQueryBytes(IdQuery query);
bool idAnswersText(IdQuery query);
// Type ID bit 1: the printer has an autocutter.
inline constexpr std::uint8_t kTypeHasAutocutter = 0x02;

// GS r n, the transmit status: n = 1 paper sensor (bits 0-1 near end, bits 2-3 end), n = 2 drawer
// connector (bit 0 pin 3 high). Answered after the bytes before it have been processed.
enum class SensorQuery : std::uint8_t { Paper = 1, Drawer = 2 };
std::string sensorQueryBytes(SensorQuery query);
// Whether a byte can be the answer to GS r: bits 4 and 7 clear, so neither a DLE EOT reply,
// the first byte of an automatic status message, XON nor XOFF.
bool fitsSensorByte(std::uint8_t reply);

// Whether a byte can be the one-byte answer to GS I 1, 2 or 3: bit 7 clear and not 0x00,
// and never a byte another reply is known by (the DLE EOT pattern, XON, XOFF), so a late
// status byte is never taken for the printer's identity.
bool fitsIdByte(std::uint8_t reply);

// Telling replies apart: how many bytes at the front of `bytes` make the reply to `question`
// (the three bytes DLE EOT n or GS I n). kNoReply when the first byte cannot begin that
// reply; kReplyIncomplete while a framed reply (5F text 00) has not ended yet.
inline constexpr std::size_t kNoReply = 0;
inline constexpr std::size_t kReplyIncomplete = static_cast<std::size_t>(-1);
std::size_t replyLength(std::string_view question, std::string_view bytes);
// The question's name for people: "DLE EOT 1", "GS I 2", "GS r 1"; empty for other bytes.
std::string questionName(std::string_view question);

} // namespace escpos

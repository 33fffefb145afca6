#pragma once
// The enumerated settings of a serial port and the small sets built from them. Ordinals are
// fixed: they are stored, streamed and used as bit numbers.

#include <cstdint>
#include <initializer_list>

namespace cport {

enum TBaudRate : std::uint8_t {
    brCustom,
    br110,
    br300,
    br600,
    br1200,
    br2400,
    br4800,
    br9600,
    br14400,
    br19200,
    br38400,
    br56000,
    br57600,
    br115200,
    br128000,
    br256000,
};

enum TStopBits : std::uint8_t { sbOneStopBit, sbOne5StopBits, sbTwoStopBits };
enum TDataBits : std::uint8_t { dbFive, dbSix, dbSeven, dbEight };
enum TParityBits : std::uint8_t { prNone, prOdd, prEven, prMark, prSpace };
enum TDTRFlowControl : std::uint8_t { dtrDisable, dtrEnable, dtrHandshake };
enum TRTSFlowControl : std::uint8_t { rtsDisable, rtsEnable, rtsHandshake, rtsToggle };
enum TFlowControl : std::uint8_t { fcHardware, fcSoftware, fcNone, fcCustom };
enum TSyncMethod : std::uint8_t { smThreadSync, smWindowSync, smNone };

enum TComEvent : std::uint8_t {
    evRxChar,
    evTxEmpty,
    evRxFlag,
    evRing,
    evBreak,
    evCTS,
    evDSR,
    evError,
    evRLSD,
    evRx80Full,
};

enum TLineSignal : std::uint8_t { lsCTS, lsDSR, lsRing, lsRLSD };

enum TComError : std::uint8_t {
    errFrame,
    errRxParity,
    errOverrun,
    errBreak,
    errIO,
    errMode,
    errRxOver,
    errTxFull,
};

// Which settings groups the settings store writes and reads (bit numbers are fixed).
enum TStoredGroup : std::uint8_t {
    stBasic,
    stFlowControl,
    stBuffer,
    stTimeouts,
    stParity,
    stOthers,
};

// Scheduling priority of the event monitor thread.
enum TThreadPriority : std::uint8_t {
    tpIdle,
    tpLowest,
    tpLower,
    tpNormal,
    tpHigher,
    tpHighest,
    tpTimeCritical,
};

// A set of enumeration members, one bit per ordinal.
template <typename E, typename Bits> class TEnumSet {
public:
    constexpr TEnumSet() = default;
    constexpr TEnumSet(std::initializer_list<E> members)
    {
        for (E member : members)
            m_bits = Bits(m_bits | bit(member));
    }
    static constexpr TEnumSet fromBits(Bits bits)
    {
        TEnumSet set;
        set.m_bits = bits;
        return set;
    }
    constexpr Bits bits() const { return m_bits; }
    constexpr bool empty() const { return m_bits == 0; }
    constexpr bool contains(E member) const { return (m_bits & bit(member)) != 0; }
    constexpr TEnumSet& operator+=(E member)
    {
        m_bits = Bits(m_bits | bit(member));
        return *this;
    }
    constexpr TEnumSet& operator-=(E member)
    {
        m_bits = Bits(m_bits & ~bit(member));
        return *this;
    }
    friend constexpr bool operator==(TEnumSet, TEnumSet) = default;

private:
    static constexpr Bits bit(E member) { return Bits(Bits(1) << unsigned(member)); }
    Bits m_bits = 0;
};

using TComEvents = TEnumSet<TComEvent, std::uint16_t>;
using TLineSignals = TEnumSet<TLineSignal, std::uint8_t>;
using TComErrors = TEnumSet<TComError, std::uint8_t>;
using TStoredGroups = TEnumSet<TStoredGroup, std::uint8_t>;

// Every event a port can watch (the constructor's Events).
constexpr TComEvents allComEvents = TComEvents::fromBits(1023);

} // namespace cport

#pragma once
// The serial port component: TCustomComPort holds every setting of a port, opens and
// configures the device, moves bytes through transfer records, watches the line for events
// and tells its handlers and links. TComPort is the component the application places.
//
// Threads: the port is used from the thread that opens it (its owner, the GUI thread in the
// application). While it is open with a non-empty Events set, a monitor thread delivers line
// events through SyncMethod (see serial/ComApplication.h for how the owner runs them).
//
// This header is the component's face for other folders, with everything it brings in: the
// settings' text forms (core/ComConversions.h), port names and the machine's port list
// (core/ComSystem.h). A device of one's own is made against serial/core/ComDevice.h.

#include "serial/core/ComConversions.h"
#include "serial/core/ComDestroyNotice.h"
#include "serial/core/ComError.h"
#include "serial/core/ComEvents.h"
#include "serial/core/ComLinks.h"
#include "serial/core/ComSettings.h"
#include "serial/core/ComSystem.h"
#include "serial/core/ComTransfer.h"
#include "serial/core/ComTypes.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace platform {
class TIniFile;
class TRegistry;
} // namespace platform

namespace cport {

class TComDevice;
class TComThread;
class TComNotifier;

// How far a write under a no-progress limit has come: the bytes the driver has taken, and of
// those the bytes still in its output queue (always 0 on a device without one, such as a
// pseudo-terminal). Taken bytes go out as the line flows: they are never to be sent again.
struct TWriteProgress {
    std::int32_t taken = 0;
    std::int32_t queued = 0;
    // Every byte has gone down the line.
    bool finished(std::size_t total) const
    {
        return std::size_t(taken) == total && queued == 0;
    }
};
using TWriteProgressEvent = std::function<void(const TWriteProgress&)>;

class TCustomComPort {
public:
    // A port on the Linux serial device layer.
    TCustomComPort();
    // A port on another device (tests use a scripted one).
    explicit TCustomComPort(std::unique_ptr<TComDevice> device);
    // Closes the port (without raising) and frees everything.
    virtual ~TCustomComPort();
    TCustomComPort(const TCustomComPort&) = delete;
    TCustomComPort& operator=(const TCustomComPort&) = delete;

    // --- Loading from a window description: between the two calls every setter only stores
    // (no device access, no reopen) and Connected is only recorded; endLoading then runs the
    // after-loading step, which opens the port if Connected was recorded as true (a failure
    // is shown through the default error report, not raised).
    void beginLoading();
    void endLoading();
    bool isLoading() const { return m_loading; }

    // --- Settings (setters do nothing when the value is unchanged).
    bool Connected() const { return m_connected; }
    void setConnected(bool value);
    TBaudRate BaudRate() const { return m_baudRate; }
    void setBaudRate(TBaudRate value);
    std::int32_t CustomBaudRate() const { return m_customBaudRate; }
    void setCustomBaudRate(std::int32_t value);
    // The device name: "COM1" (/dev/ttyS0), "ttyUSB0" (/dev/ttyUSB0) or an absolute path.
    // Compared case-sensitively; a change on an open port reopens it on the new device.
    const std::string& Port() const { return m_port; }
    void setPort(const std::string& value);
    TStopBits StopBits() const { return m_stopBits; }
    void setStopBits(TStopBits value);
    TDataBits DataBits() const { return m_dataBits; }
    void setDataBits(TDataBits value);
    bool DiscardNull() const { return m_discardNull; }
    void setDiscardNull(bool value);
    char EventChar() const { return m_eventChar; }
    void setEventChar(char value);
    // Takes effect at the next open.
    TComEvents Events() const { return m_events; }
    void setEvents(TComEvents value);
    // Raises EComPort code 14 when changed on an open port.
    TSyncMethod SyncMethod() const { return m_syncMethod; }
    void setSyncMethod(TSyncMethod value);
    TStoredGroups storedGroups() const { return m_storedGroups; }
    void setStoredGroups(TStoredGroups value) { m_storedGroups = value; }
    // True: OnRxChar reports how many bytes wait. False: the port reads them for OnRxBuf.
    bool ReportRxCount() const { return m_reportRxCount; }
    void setReportRxCount(bool value) { m_reportRxCount = value; }
    TThreadPriority MonitorPriority() const { return m_monitorPriority; }
    void setMonitorPriority(TThreadPriority value) { m_monitorPriority = value; }

    // The owned settings objects; their own setters apply their group to an open port.
    TComParity& Parity() { return m_parity; }
    const TComParity& Parity() const { return m_parity; }
    TComFlowControl& FlowControl() { return m_flowControl; }
    const TComFlowControl& FlowControl() const { return m_flowControl; }
    TComTimeouts& Timeouts() { return m_timeouts; }
    const TComTimeouts& Timeouts() const { return m_timeouts; }
    TComBuffer& Buffer() { return m_buffer; }
    const TComBuffer& Buffer() const { return m_buffer; }
    // Whole-object assignment: every field copied, then the group applied once.
    void setParity(const TComParity& value);
    void setFlowControl(const TComFlowControl& value);
    void setTimeouts(const TComTimeouts& value);
    void setBuffer(const TComBuffer& value);

    // --- Lifecycle. openPort raises EComPort (code 1 when the device cannot be opened, 7, 8
    // or 9 when it refuses its settings); closePort raises only when aborting fails (code 5).
    void openPort();
    void closePort();
    // The system handle of the open device, -1 when closed.
    int deviceHandle() const;

    // --- Settings persistence (core/ComPortPersistence.h): the keys of storedGroups written to, or
    // read back through the setters from, a section of a settings file or the registry's open key.
    // Errors of the store and of the setters pass on; a load stops at the first one.
    virtual void storeToRegistry(platform::TRegistry& registry) const;
    virtual void storeToIniFile(platform::TIniFile& file, const std::string& section) const;
    virtual void loadFromRegistry(platform::TRegistry& registry);
    virtual void loadFromIniFile(platform::TIniFile& file, const std::string& section);

    // Overridable steps of opening and closing, and the three apply operations (each does
    // nothing unless the port is open and not being loaded).
    virtual void openDevice();
    virtual void releaseDevice();
    virtual void configureDevice();
    virtual void applyLineSettings();
    virtual void applyTimeoutSettings();
    virtual void applyBufferSizes();

    // --- Transfers (none of them tests Connected: a closed device fails with EBADF).
    std::int32_t beginWrite(const char* bytes, std::int32_t count, TComTransfer* record);
    std::int32_t beginWriteText(const std::string& text, TComTransfer* record);
    std::int32_t beginRead(char* destination, std::int32_t count, TComTransfer* record);
    // Waits until the record's transfer has completed; the bytes it moved.
    std::int32_t awaitTransfer(TComTransfer* record);
    // Ends every pending read and write at once.
    void abortTransfers();
    // Writes the bytes (zero bytes included) and waits until they have left, or until the
    // write time limit; returns the count written (short after a time-out, which is no error).
    // Written means taken by the driver: bytes still in its output queue when the limit passes
    // are counted, and go out as the line flows (purging the output queue or closing the port
    // discards them), so a caller that sends the rest again never sends a byte twice.
    std::int32_t writeText(const std::string& bytes);
    // Writes the bytes under a no-progress limit in place of the port's write time limits: the
    // write goes on while the driver takes a byte, or sends one down the line, at least once
    // per `noProgressLimit` (a slow printer that keeps taking bytes is never cut off), and ends
    // when every byte has gone down the line, when the line was held for the whole limit, or
    // when the transfers are aborted (or the port closed). `onProgress` (when set) is called on
    // the calling thread at least every `reportEvery` meanwhile. Returns how far it came;
    // EComPort code 2 for a failed write.
    TWriteProgress writeWithProgressLimit(const std::string& bytes,
        std::chrono::milliseconds noProgressLimit, const TWriteProgressEvent& onProgress = {},
        std::chrono::milliseconds reportEvery = std::chrono::milliseconds(50));
    // Reads up to `count` bytes within the read time limits; the count read.
    std::int32_t readBytes(char* destination, std::int32_t count);
    // Bytes waiting in the input queue (clears the line errors, as the error query does).
    std::int32_t pendingInputCount();
    TLineSignals lineSignals();
    // The line errors since the last query, which are then cleared.
    TComErrors takeLineErrors();

    // --- Links.
    void attachLink(TPortLink& link);
    void detachLink(TPortLink& link);
    bool rawLinkAttached() const { return m_links.hasRawLink(); }

    // --- Event monitoring while open: the monitor thread exists when Events was not empty at
    // the open; the notifier exists besides it under smWindowSync.
    bool hasMonitorThread() const { return m_thread != nullptr; }
    bool hasNotifier() const { return m_notifier != nullptr; }

    // --- Event handlers (empty slots are skipped).
    TNotifyEvent OnAfterOpen;
    TNotifyEvent OnAfterClose;
    TNotifyEvent OnBeforeOpen;
    TNotifyEvent OnBeforeClose;
    TRxCharEvent OnRxChar;
    TRxBufEvent OnRxBuf;
    TNotifyEvent OnTxEmpty;
    TNotifyEvent OnBreak;
    TNotifyEvent OnRing;
    TComSignalEvent OnCTSChange;
    TComSignalEvent OnDSRChange;
    TComSignalEvent OnRLSDChange;
    TNotifyEvent OnRxFlag;
    TComErrorEvent OnError;
    TNotifyEvent OnRx80Full;
    // Told first thing when the port object is destroyed (the selectors bound to it).
    TComDestroyNotice DestroyNotice;

protected:
    // The after-loading step.
    virtual void loaded();

    virtual void fireAfterClose();
    virtual void fireAfterOpen();
    virtual void fireBeforeClose();
    virtual void fireBeforeOpen();
    virtual void fireRxChar(std::int32_t count);
    virtual void fireRxBuf(const void* buffer, std::int32_t count);
    virtual void fireTxEmpty();
    virtual void fireBreak();
    virtual void fireRing();
    virtual void fireRxFlag();
    virtual void fireCTSChange(bool onOff);
    virtual void fireDSRChange(bool onOff);
    virtual void fireError(TComErrors errors);
    virtual void fireRLSDChange(bool onOff);
    virtual void fireRx80Full();

    TComDevice& device() { return *m_device; }

private:
    friend class TComThread;
    friend class TComNotifier;

    void startMonitoring();
    void stopMonitoring();
    TComNotifier& notifier() { return *m_notifier; }

    // Notifications around opening and closing, and the per-event dispatchers.
    void handleBeforeOpen();
    void handleAfterOpen();
    void handleBeforeClose();
    void handleAfterClose();
    void handleRxChar();
    void handleTxEmpty();
    void handleRxFlag();
    void handleRing();
    void handleBreak();
    void handleCTSChange();
    void handleDSRChange();
    void handleRLSDChange();
    void handleError();
    void handleRx80Full();
    void readToBuffer(std::int32_t& count);
    // One write collected at once under a limit of its own: the count the driver took, and
    // whether an abort ended it.
    std::int32_t writeWithin(const char* bytes, std::int32_t count,
        std::chrono::milliseconds limit, bool& aborted);
    void dispatchEvent(TComEvent event);
    void applyIfChanged(bool changed);
    void closeWithoutNotifying();

    std::unique_ptr<TComDevice> m_device;
    std::string m_port = "COM1";
    std::int32_t m_customBaudRate = 9600;
    TBaudRate m_baudRate = br9600;
    TStopBits m_stopBits = sbOneStopBit;
    TDataBits m_dataBits = dbEight;
    TSyncMethod m_syncMethod = smThreadSync;
    TThreadPriority m_monitorPriority = tpNormal;
    TComEvents m_events = allComEvents;
    TStoredGroups m_storedGroups { stBasic };
    char m_eventChar = 0;
    bool m_discardNull = false;
    bool m_connected = false;
    // Set while closePort runs: a handler that closes again meanwhile (while closePort waits for
    // the monitor thread) does nothing. Read on the monitor thread under smNone.
    std::atomic<bool> m_closing { false };
    // A hang-up found by an input-count query, which clears the line errors, is still owed to
    // the next error query, so OnError hears of it once whatever found it.
    std::atomic<bool> m_hangUpOwed { false };
    bool m_loading = false;
    bool m_reportRxCount = true;
    TComParity m_parity { this };
    TComFlowControl m_flowControl { this };
    TComTimeouts m_timeouts { this };
    TComBuffer m_buffer { this };
    TComLinkList m_links;
    std::thread::id m_owner; // the thread that opened the port
    std::unique_ptr<TComNotifier> m_notifier;
    std::unique_ptr<TComThread> m_thread;
    // Monitor threads stopped from inside their own delivery; waited for once they have ended.
    std::vector<std::unique_ptr<TComThread>> m_retired;
};

// The component as the application places it.
class TComPort : public TCustomComPort {
public:
    using TCustomComPort::TCustomComPort;
};

} // namespace cport

#pragma once
// A scripted device for what real pseudo-terminals cannot do: refusals of single operations,
// modem lines, line errors, breaks and rings. The test keeps the shared script and drives it
// while the port owns the device.

#include "platform/EventFd.h"
#include "serial/core/ComDevice.h"

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace serialtest {

struct FakeScript {
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::map<std::string, int> refusals; // operation name -> errno it answers
    std::vector<std::string> calls; // every operation, in order
    std::optional<cport::TDcb> dcb;
    std::optional<cport::TCommTimeouts> timeouts;
    std::int32_t inputSize = -1, outputSize = -1;
    std::uint32_t modem = 0; // MS_* bits
    std::uint32_t errors = 0; // CE_* flags
    std::string input; // bytes waiting to be read
    std::string written;
    std::uint32_t eventMask = 0;
    std::deque<std::optional<std::uint32_t>> batches; // nullopt: a wait that fails
    bool open = false;
    const platform::EventFd wake; // signalled when a batch is posted

    void refuse(const std::string& operation, int error);
    // Queues a batch of EV_* bits for the monitor's next wait.
    void post(std::optional<std::uint32_t> batch);
    std::vector<std::string> takeCalls();
    int callCount(const std::string& operation) const;
};

class FakeComDevice : public cport::TComDevice {
public:
    explicit FakeComDevice(std::shared_ptr<FakeScript> script);
    ~FakeComDevice() override;

    int open(const std::string& port) override;
    void release() override;
    int handle() const override;
    int setQueueSizes(std::int32_t input, std::int32_t output) override;
    int setLineSettings(const cport::TDcb& dcb) override;
    int setTimeouts(const cport::TCommTimeouts& timeouts) override;
    int purge(std::uint32_t flags) override;
    int startTransfer(cport::TComTransfer& record, std::uint32_t& moved) override;
    int awaitTransfer(cport::TComTransfer& record, std::uint32_t& moved) override;
    int clearErrors(cport::TDeviceStatus& status) override;
    int modemStatus(std::uint32_t& status) override;
    int setEventMask(std::uint32_t mask) override;
    cport::TWaitResult waitEvents(int stopFd, std::uint32_t& mask) override;

private:
    // Logs the call; the refusal's errno, EBADF when closed (unless `anyState`), else 0.
    int enter(const std::string& operation, bool anyState = false);

    std::shared_ptr<FakeScript> m_script;
};

} // namespace serialtest

#pragma once
// The two-way link to a parallel or USB printer device: written and read on one descriptor
// (the kernel's usblp driver returns the printer's replies to read()), plus the driver's view.
// A FIFO standing in for the device is written only: nothing comes back.

#include "printer/PrinterLink.h"

#include "platform/FileDescriptor.h"

namespace printer {

class ParallelLink : public PrinterLink {
public:
    // Opens the device of deviceName ("LPT1" … "LPT4", as the parallel transport maps them)
    // without creating anything; anything but a character device or a FIFO raises
    // ENotPrinterDevice unopened. Other failures raise platform::EInOutError with the
    // runtime's code; the empty name is "File not found".
    explicit ParallelLink(const std::string& deviceName);

    std::optional<LptKernelView> kernelView() const override;
    bool canAnswer() const override { return m_readable; }
    const std::string& devicePath() const { return m_path; }

protected:
    // A device that takes nothing for 7 s raises "Write timeout"; other failures raise
    // platform::EInOutError.
    void write(const std::string& bytes) override;
    std::string read(std::size_t maxBytes, std::chrono::milliseconds limit) override;

private:
    std::string m_path;
    bool m_readable = false;
    platform::FileDescriptor m_fd;
};

} // namespace printer

#pragma once
// The libusb-1.0 side of the USB printers: a context that ends with its owner, the descriptors
// of a device read into this folder's plain types, and the claimed interface that carries the
// bulk transfers.

#include "usb/UsbFailure.h"
#include "usb/UsbPrinterInfo.h"
#include "usb/UsbTransport.h"

#include <libusb.h>

#include <memory>
#include <vector>

namespace usb {

// One libusb context; raises platform::Exception when libusb cannot start.
class LibusbContext {
public:
    LibusbContext();
    ~LibusbContext();
    LibusbContext(const LibusbContext&) = delete;
    LibusbContext& operator=(const LibusbContext&) = delete;
    libusb_context* get() const { return m_context; }

private:
    libusb_context* m_context = nullptr;
};

// The fault a libusb error code stands for.
UsbFault faultOf(int libusbError);

// The bus, address and IDs of a device (the serial number is left to the caller, who must
// open it to read it).
UsbDeviceAddress addressOf(libusb_device* device);

// The printer interfaces of the device's active configuration, first alternate settings.
std::vector<Interface> printerInterfaces(libusb_device* device);

// The interface's folder in sysfs (below the system root); empty when it cannot be named.
std::string interfaceSysfsPath(libusb_device* device, std::uint8_t interfaceNumber);

// The kernel driver bound to an interface, from sysfs ("usblp"), or empty.
std::string kernelDriverOf(libusb_device* device, std::uint8_t interfaceNumber);

// The name of the device in failures and the node that gives access to it.
UsbFailureContext failureContext(const UsbDeviceAddress& device);

// A string descriptor, or empty.
std::string stringOf(libusb_device_handle* handle, std::uint8_t index);

// The claimed interface: released and the device closed when it goes.
class LibusbTransport : public UsbTransport {
public:
    // Takes the handle; claims the interface (raising as openUsbLink says). With
    // `detachDriver`, a kernel driver bound to the interface is detached first and attached
    // again when the transport goes (or when the claim fails).
    LibusbTransport(std::shared_ptr<LibusbContext> context, libusb_device_handle* handle,
        const Interface& interface, const UsbFailureContext& names, bool detachDriver);
    ~LibusbTransport() override;

    const EndpointChoice& endpoints() const override { return m_endpoints; }
    std::size_t bulkOut(std::string_view bytes, std::chrono::milliseconds limit) override;
    std::string bulkIn(std::size_t maxBytes, std::chrono::milliseconds limit) override;

private:
    // Raises the libusb error as a failure, naming the programs that hold the device when busy.
    [[noreturn]] void raise(int libusbError);
    void reattach();

    std::shared_ptr<LibusbContext> m_context;
    libusb_device_handle* m_handle;
    std::uint8_t m_interface;
    EndpointChoice m_endpoints;
    UsbFailureContext m_names;
    bool m_claimed = false;
    bool m_detached = false; // a kernel driver was detached, to be attached again
};

} // namespace usb

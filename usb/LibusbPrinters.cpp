#include "usb/LibusbPrinters.h"

#include "usb/DeviceIdReply.h"
#include "usb/LibusbDevice.h"
#include "usb/UsbLink.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>

namespace usb {

namespace {

constexpr std::uint8_t kGetDeviceId = 0;
// Class request to an interface, device to host.
constexpr std::uint8_t kInterfaceClassIn = 0xA1;
constexpr std::uint16_t kLongestDeviceId = 1023;
constexpr unsigned int kControlLimitMs = 1000;

// The device list of a context, freed with it.
class DeviceList {
public:
    explicit DeviceList(libusb_context* context)
    {
        const auto count = libusb_get_device_list(context, &m_devices);
        m_count = count < 0 ? 0 : static_cast<std::size_t>(count);
    }
    ~DeviceList() { libusb_free_device_list(m_devices, 1); }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;
    libusb_device** begin() const { return m_devices; }
    libusb_device** end() const { return m_devices + m_count; }

private:
    libusb_device** m_devices = nullptr;
    std::size_t m_count = 0;
};

// The printer class's GET_DEVICE_ID on an interface no driver holds (claimed for the request).
std::optional<printer::Ieee1284Id> askDeviceId(
    libusb_device_handle* handle, const Interface& interface)
{
    if (libusb_claim_interface(handle, interface.number) != 0)
        return std::nullopt;
    unsigned char reply[kLongestDeviceId];
    const int length = libusb_control_transfer(handle, kInterfaceClassIn, kGetDeviceId, 0,
        static_cast<std::uint16_t>(interface.number << 8 | interface.alternate), reply,
        kLongestDeviceId, kControlLimitMs);
    libusb_release_interface(handle, interface.number);
    if (length <= 0)
        return std::nullopt;
    return parseDeviceIdReply(
        std::string_view(reinterpret_cast<const char*>(reply), static_cast<std::size_t>(length)));
}

// The kernel's printer driver publishes the device ID it asked for beside the interface.
std::optional<printer::Ieee1284Id> driverDeviceId(libusb_device* device, std::uint8_t interface)
{
    std::ifstream file(interfaceSysfsPath(device, interface) + "/ieee1284_id");
    const std::string text { std::istreambuf_iterator<char>(file), {} };
    if (text.empty())
        return std::nullopt;
    return printer::parseIeee1284Id(text);
}

void addPrinters(libusb_device* device, std::vector<UsbPrinterInfo>& printers)
{
    const auto interfaces = printerInterfaces(device);
    if (interfaces.empty())
        return;
    libusb_device_descriptor descriptor {};
    libusb_get_device_descriptor(device, &descriptor);
    libusb_device_handle* handle = nullptr;
    const bool opened = libusb_open(device, &handle) == 0;
    UsbPrinterInfo common;
    common.device = addressOf(device);
    common.stringsReadable = opened;
    if (opened) {
        common.maker = stringOf(handle, descriptor.iManufacturer);
        common.product = stringOf(handle, descriptor.iProduct);
        common.device.serial = stringOf(handle, descriptor.iSerialNumber);
    }
    for (const Interface& interface : interfaces) {
        UsbPrinterInfo info = common;
        info.interface = interface;
        info.kernelDriver = kernelDriverOf(device, interface.number);
        if (interface.interfaceClass == kPrinterClass)
            info.deviceId = opened && info.kernelDriver.empty()
                ? askDeviceId(handle, interface)
                : driverDeviceId(device, interface.number);
        printers.push_back(std::move(info));
    }
    if (opened)
        libusb_close(handle);
}

} // namespace

std::vector<UsbPrinterInfo> listUsbPrinters()
{
    const LibusbContext context;
    std::vector<UsbPrinterInfo> printers;
    for (libusb_device* device : DeviceList(context.get()))
        addPrinters(device, printers);
    std::stable_sort(printers.begin(), printers.end(), [](const auto& a, const auto& b) {
        return std::pair(a.device.bus, a.device.address)
            < std::pair(b.device.bus, b.device.address);
    });
    return printers;
}

std::unique_ptr<printer::PrinterLink> openUsbLink(const UsbSelector& selector, bool detachDriver)
{
    auto context = std::make_shared<LibusbContext>();
    const DeviceList devices(context->get());
    // A device whose serial number could not be read, which may be the one meant.
    std::optional<std::pair<int, UsbFailureContext>> unread;
    for (libusb_device* device : devices) {
        UsbDeviceAddress address = addressOf(device);
        const auto interfaces = printerInterfaces(device);
        if (interfaces.empty()
            || (selector.bus
                    ? !selector.matches(address)
                    : selector.vendor != address.vendor || selector.product != address.product))
            continue;
        UsbFailureContext names = failureContext(address);
        libusb_device_handle* handle = nullptr;
        if (const int error = libusb_open(device, &handle); error != 0) {
            if (selector.serial) { // another device may be the one meant
                if (!unread)
                    unread.emplace(error, names);
                continue;
            }
            raiseUsbFailure(faultOf(error), names, libusb_strerror(error));
        }
        libusb_device_descriptor descriptor {};
        libusb_get_device_descriptor(device, &descriptor);
        address.serial = stringOf(handle, descriptor.iSerialNumber);
        if (!selector.matches(address)) {
            libusb_close(handle);
            continue;
        }
        names.driver = kernelDriverOf(device, interfaces.front().number);
        if (!names.driver.empty() && !detachDriver) {
            libusb_close(handle);
            raiseUsbFailure(UsbFault::HeldByDriver, names);
        }
        return std::make_unique<UsbLink>(std::make_unique<LibusbTransport>(
            context, handle, interfaces.front(), names, detachDriver));
    }
    if (unread)
        raiseUsbFailure(faultOf(unread->first), unread->second, libusb_strerror(unread->first));
    raiseUsbFailure(UsbFault::NoDevice, { selector.text(), {}, {}, {} });
}

} // namespace usb

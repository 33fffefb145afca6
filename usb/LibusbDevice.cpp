#include "usb/LibusbDevice.h"

#include "platform/Exception.h"
#include "platform/SysRoot.h"
#include "usb/NodeHolders.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>

namespace usb {

namespace {

// The most one bulk OUT transfer carries. libusb splits a transfer into the kernel's requests and
// submits them together, so a large one keeps the device's queue full.
constexpr std::size_t kMostInOneTransfer = std::size_t(1) << 20;

unsigned int milliseconds(std::chrono::milliseconds limit)
{
    // libusb takes 0 for "no limit": the shortest wait is 1 ms.
    return static_cast<unsigned int>(std::max<std::chrono::milliseconds::rep>(limit.count(), 1));
}

} // namespace

LibusbContext::LibusbContext()
{
    if (const int error = libusb_init(&m_context); error != 0)
        throw platform::Exception(
            std::string("USB printers cannot be reached: ") + libusb_strerror(error));
}

LibusbContext::~LibusbContext()
{
    libusb_exit(m_context);
}

UsbFault faultOf(int libusbError)
{
    switch (libusbError) {
    case LIBUSB_ERROR_ACCESS:
        return UsbFault::Permission;
    case LIBUSB_ERROR_BUSY:
        return UsbFault::HeldByProgram;
    case LIBUSB_ERROR_NO_DEVICE:
    case LIBUSB_ERROR_NOT_FOUND:
        return UsbFault::NoDevice;
    default:
        return UsbFault::Other;
    }
}

UsbDeviceAddress addressOf(libusb_device* device)
{
    UsbDeviceAddress address;
    address.bus = libusb_get_bus_number(device);
    address.address = libusb_get_device_address(device);
    libusb_device_descriptor descriptor {};
    if (libusb_get_device_descriptor(device, &descriptor) == 0) {
        address.vendor = descriptor.idVendor;
        address.product = descriptor.idProduct;
    }
    return address;
}

std::vector<Interface> printerInterfaces(libusb_device* device)
{
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != 0
        && libusb_get_config_descriptor(device, 0, &config) != 0)
        return {};
    std::vector<Interface> found;
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        if (config->interface[i].num_altsetting < 1)
            continue;
        const libusb_interface_descriptor& setting = config->interface[i].altsetting[0];
        Interface interface {
            setting.bInterfaceNumber, setting.bAlternateSetting, setting.bInterfaceClass,
                setting.bInterfaceSubClass, setting.bInterfaceProtocol,
            {
            }
        };
        for (int e = 0; e < setting.bNumEndpoints; ++e) {
            const libusb_endpoint_descriptor& endpoint = setting.endpoint[e];
            interface.endpoints.push_back(
                { endpoint.bEndpointAddress, endpoint.bmAttributes, endpoint.wMaxPacketSize });
        }
        if (isPrinterInterface(interface))
            found.push_back(std::move(interface));
    }
    libusb_free_config_descriptor(config);
    return found;
}

std::string interfaceSysfsPath(libusb_device* device, std::uint8_t interfaceNumber)
{
    std::uint8_t ports[8];
    const int depth = libusb_get_port_numbers(device, ports, sizeof ports);
    libusb_config_descriptor* config = nullptr;
    if (depth < 1 || libusb_get_active_config_descriptor(device, &config) != 0)
        return {};
    // bus-port.port:configuration.interface
    std::string name = std::to_string(libusb_get_bus_number(device)) + "-";
    for (int i = 0; i < depth; ++i)
        name += (i ? "." : "") + std::to_string(ports[i]);
    name += ":" + std::to_string(config->bConfigurationValue) + "."
        + std::to_string(interfaceNumber);
    libusb_free_config_descriptor(config);
    return platform::underSysRoot("/sys/bus/usb/devices/" + name);
}

std::string kernelDriverOf(libusb_device* device, std::uint8_t interfaceNumber)
{
    const std::string path = interfaceSysfsPath(device, interfaceNumber);
    std::error_code error;
    const auto driver = std::filesystem::read_symlink(path + "/driver", error);
    return path.empty() || error ? std::string() : driver.filename().string();
}

UsbFailureContext failureContext(const UsbDeviceAddress& device)
{
    char node[32];
    std::snprintf(node, sizeof node, "/dev/bus/usb/%03u/%03u", device.bus, device.address);
    return { vendorProductText(device.vendor, device.product) + " on bus "
            + std::to_string(device.bus) + ", address " + std::to_string(device.address),
        node, {}, {} };
}

std::string stringOf(libusb_device_handle* handle, std::uint8_t index)
{
    unsigned char text[256];
    if (index == 0)
        return {};
    const int length = libusb_get_string_descriptor_ascii(handle, index, text, sizeof text);
    return length > 0
        ? std::string(reinterpret_cast<const char*>(text), static_cast<std::size_t>(length))
        : std::string();
}

LibusbTransport::LibusbTransport(std::shared_ptr<LibusbContext> context,
    libusb_device_handle* handle, const Interface& interface, const UsbFailureContext& names,
    bool detachDriver)
    : m_context(std::move(context))
    , m_handle(handle)
    , m_interface(interface.number)
    , m_endpoints(*chooseEndpoints(interface))
    , m_names(names)
{
    if (detachDriver) {
        // NOT_FOUND: no driver was bound after all, nothing to give back.
        const int error = libusb_detach_kernel_driver(m_handle, m_interface);
        if (error != 0 && error != LIBUSB_ERROR_NOT_FOUND) {
            libusb_close(m_handle);
            raise(error);
        }
        m_detached = error == 0;
    }
    if (const int error = libusb_claim_interface(m_handle, m_interface); error != 0) {
        reattach();
        libusb_close(m_handle);
        raise(error);
    }
    m_claimed = true;
}

LibusbTransport::~LibusbTransport()
{
    if (m_claimed)
        libusb_release_interface(m_handle, m_interface);
    reattach();
    libusb_close(m_handle);
}

void LibusbTransport::raise(int libusbError)
{
    const UsbFault fault = faultOf(libusbError);
    UsbFailureContext names = m_names;
    if (fault == UsbFault::HeldByProgram)
        names.holders = holdersText(processesHolding(names.node));
    raiseUsbFailure(fault, names, libusb_strerror(libusbError));
}

void LibusbTransport::reattach()
{
    // A printer unplugged meanwhile has no driver to give back: nothing to report then.
    if (std::exchange(m_detached, false))
        libusb_attach_kernel_driver(m_handle, m_interface);
}

// All that is left goes in one transfer. A limit that passes with some bytes taken is progress
// (a printer that takes slowly, at its printing pace): the rest goes in the next transfer. Only
// a limit that passes with nothing taken ends the send.
std::size_t LibusbTransport::bulkOut(std::string_view bytes, std::chrono::milliseconds limit)
{
    std::size_t sent = 0;
    while (sent < bytes.size()) {
        const std::size_t piece = std::min(kMostInOneTransfer, bytes.size() - sent);
        int transferred = 0;
        const int error = libusb_bulk_transfer(m_handle, m_endpoints.out.address,
            reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data() + sent)),
            static_cast<int>(piece), &transferred, milliseconds(limit));
        sent += static_cast<std::size_t>(transferred);
        if (error == LIBUSB_ERROR_TIMEOUT && transferred == 0)
            return sent;
        if (error != 0 && error != LIBUSB_ERROR_TIMEOUT)
            raise(error);
    }
    return sent;
}

std::string LibusbTransport::bulkIn(std::size_t maxBytes, std::chrono::milliseconds limit)
{
    std::string bytes(maxBytes, '\0');
    int transferred = 0;
    const int error = libusb_bulk_transfer(m_handle, m_endpoints.in->address,
        reinterpret_cast<unsigned char*>(bytes.data()), static_cast<int>(maxBytes), &transferred,
        milliseconds(limit));
    if (error != 0 && error != LIBUSB_ERROR_TIMEOUT)
        raise(error);
    bytes.resize(static_cast<std::size_t>(transferred));
    return bytes;
}

} // namespace usb

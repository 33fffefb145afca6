#include "FakeUsbPrinter.h"

#include "FakeUsbDriver.h"

#include <umockdev.h>

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <thread>

#include <unistd.h>

namespace testsupport {

namespace {

// One printer's usbfs state: requests waiting for data and requests done, to be reaped.
struct Printer {
    bool silent = false;
    std::string deviceId;
    FakeUsbDriver driver;
    bool claimedElsewhere = false;
    bool gone = false;
    std::string received;
    std::string replies; // owed on bulk IN
    std::deque<UMockdevIoctlData*> waiting; // IN requests
    std::deque<UMockdevIoctlData*> done;
};

// Whether umockdev's library that diverts /sys, /dev and ioctl() is preloaded.
bool underWrapper()
{
    const char* preload = std::getenv("LD_PRELOAD");
    return preload && std::strstr(preload, "libumockdev-preload");
}

// Runs this test program again inside umockdev-wrapper, with the same arguments, once; returns
// only when that cannot be done.
void reenterUnderWrapper()
{
    const std::string wrapper = UMOCKDEV_WRAPPER;
    if (wrapper.empty() || std::getenv("QUILLET_UMOCKDEV_REENTERED"))
        return;
    ::setenv("QUILLET_UMOCKDEV_REENTERED", "1", 1);
    // Builds with AddressSanitizer refuse a preloaded library ahead of theirs unless told.
    const char* asan = std::getenv("ASAN_OPTIONS");
    ::setenv("ASAN_OPTIONS",
        ((asan && *asan ? std::string(asan) + ":" : std::string()) + "verify_asan_link_order=0")
            .c_str(),
        1);
    std::error_code error;
    const std::string self = std::filesystem::read_symlink("/proc/self/exe", error).string();
    std::ifstream file("/proc/self/cmdline");
    std::vector<std::string> arguments { wrapper, self };
    std::string argument;
    std::getline(file, argument, '\0'); // the program's own name
    while (std::getline(file, argument, '\0'))
        arguments.push_back(argument);
    std::vector<char*> pointers;
    for (auto& text : arguments)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    if (!error)
        ::execv(wrapper.c_str(), pointers.data());
}

usbdevfs_urb* urbOf(UMockdevIoctlData* data)
{
    return reinterpret_cast<usbdevfs_urb*>(data->data);
}

// The printer class's GET_DEVICE_ID (class request to the interface, device to host).
bool asksDeviceId(const guint8* setup)
{
    return setup[0] == 0xA1 && setup[1] == 0;
}

} // namespace

struct FakeUsbPrinters::State {
    UMockdevTestbed* testbed = nullptr;
    GMainContext* context = nullptr;
    GMainLoop* loop = nullptr;
    std::thread thread;
    mutable std::mutex mutex;
    std::map<std::string, Printer> printers;
    std::map<UMockdevIoctlBase*, std::string> nodes;

    // Fills waiting IN requests from the replies owed.
    void answer(Printer& printer)
    {
        while (!printer.waiting.empty() && !printer.replies.empty()) {
            UMockdevIoctlData* urbData = printer.waiting.front();
            printer.waiting.pop_front();
            usbdevfs_urb* urb = urbOf(urbData);
            UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(urbData,
                offsetof(usbdevfs_urb, buffer), static_cast<gsize>(urb->buffer_length), nullptr);
            const std::size_t length
                = std::min(printer.replies.size(), static_cast<std::size_t>(urb->buffer_length));
            umockdev_ioctl_data_update(buffer, 0, reinterpret_cast<guint8*>(printer.replies.data()),
                static_cast<gint>(length));
            printer.replies.erase(0, length);
            urb = urbOf(urbData);
            urb->status = 0;
            urb->actual_length = static_cast<int>(length);
            printer.done.push_back(urbData);
        }
    }

    // The argument is the address of the request, which stays the client's until reaped.
    void submit(Printer& printer, UMockdevIoctlData* arg)
    {
        UMockdevIoctlData* urbData = umockdev_ioctl_data_ref(
            umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr));
        usbdevfs_urb* urb = urbOf(urbData);
        if (urb->type == USBDEVFS_URB_TYPE_CONTROL) {
            control(printer, urbData);
            return;
        }
        if (urb->endpoint & 0x80) {
            printer.waiting.push_back(urbData);
            answer(printer);
            return;
        }
        UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(urbData,
            offsetof(usbdevfs_urb, buffer), static_cast<gsize>(urb->buffer_length), nullptr);
        urb = urbOf(urbData);
        const std::string bytes(reinterpret_cast<const char*>(buffer->data),
            static_cast<std::size_t>(buffer->data_len));
        printer.received += bytes;
        // DLE EOT n: online, nothing wrong (the fixed bits and nothing else).
        for (std::size_t at = 0; at + 2 < bytes.size(); ++at)
            if (!printer.silent && bytes[at] == '\x10' && bytes[at + 1] == '\x04')
                printer.replies += '\x12';
        urb->status = 0;
        urb->actual_length = urb->buffer_length;
        printer.done.push_back(urbData);
        answer(printer);
    }

    // GET_DEVICE_ID answered with the reply given (as much as was asked for); anything else,
    // or a printer without a reply, stalls.
    void control(Printer& printer, UMockdevIoctlData* urbData)
    {
        usbdevfs_urb* urb = urbOf(urbData);
        UMockdevIoctlData* buffer = umockdev_ioctl_data_resolve(urbData,
            offsetof(usbdevfs_urb, buffer), static_cast<gsize>(urb->buffer_length), nullptr);
        constexpr std::size_t kSetup = 8;
        const std::size_t asked = static_cast<std::size_t>(urb->buffer_length) - kSetup;
        const std::size_t length = std::min(asked, printer.deviceId.size());
        const bool answers = !printer.deviceId.empty() && asksDeviceId(buffer->data);
        if (answers)
            umockdev_ioctl_data_update(buffer, kSetup,
                reinterpret_cast<guint8*>(printer.deviceId.data()), static_cast<gint>(length));
        urb = urbOf(urbData);
        urb->status = answers ? 0 : -EPIPE;
        urb->actual_length = answers ? static_cast<int>(length) : 0;
        printer.done.push_back(urbData);
    }

    // None while a kernel driver or another program holds the interface.
    static long claim(const Printer& printer, int& error)
    {
        if (!printer.driver.bound().empty() || printer.claimedElsewhere) {
            error = EBUSY;
            return -1;
        }
        return 0;
    }

    // A cancelled request is reaped with ENOENT, as the kernel reports it.
    void discard(Printer& printer, gulong address)
    {
        for (auto it = printer.waiting.begin(); it != printer.waiting.end(); ++it) {
            if ((*it)->client_addr != address)
                continue;
            urbOf(*it)->status = -ENOENT;
            urbOf(*it)->actual_length = 0;
            printer.done.push_back(*it);
            printer.waiting.erase(it);
            return;
        }
    }

    // Returns the result and sets `error`.
    long handle(Printer& printer, UMockdevIoctlClient* client, int& error)
    {
        const gulong request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        if (printer.gone && (printer.done.empty() || request != USBDEVFS_REAPURBNDELAY)) {
            error = ENODEV;
            return -1;
        }
        switch (request) {
        case USBDEVFS_SUBMITURB:
            submit(printer, arg);
            return 0;
        case USBDEVFS_DISCARDURB: { // the argument is the request's address itself
            gulong address = 0;
            std::memcpy(&address, arg->data, std::min(sizeof address, std::size_t(arg->data_len)));
            discard(printer, address);
            return 0;
        }
        case USBDEVFS_REAPURBNDELAY:
        case USBDEVFS_REAPURB: {
            if (printer.done.empty()) {
                error = EAGAIN;
                return -1;
            }
            UMockdevIoctlData* urbData = printer.done.front();
            printer.done.pop_front();
            // The argument points at where the reaped request's address goes.
            umockdev_ioctl_data_set_ptr(
                umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr), 0, urbData);
            return 0;
        }
        case USBDEVFS_CLAIMINTERFACE:
            return claim(printer, error);
        case USBDEVFS_GETDRIVER:
        case USBDEVFS_IOCTL:
            return printer.driver.answer(request, arg, error);
        case USBDEVFS_RELEASEINTERFACE:
        case USBDEVFS_SETINTERFACE:
        case USBDEVFS_CLEAR_HALT:
        case USBDEVFS_RESET:
            return 0;
        default:
            error = ENOTTY;
            return -1;
        }
    }

    static gboolean onIoctl(UMockdevIoctlBase* handler, UMockdevIoctlClient* client, gpointer self)
    {
        auto* state = static_cast<State*>(self);
        const std::lock_guard lock(state->mutex);
        Printer& printer = state->printers[state->nodes[handler]];
        int error = 0;
        const long result = state->handle(printer, client, error);
        umockdev_ioctl_client_complete(client, result, error);
        return TRUE;
    }
};

std::unique_ptr<FakeUsbPrinters> FakeUsbPrinters::create(
    const std::string& description, const std::vector<Served>& served, std::string& why)
{
    if (!underWrapper()) {
        reenterUnderWrapper();
        why = "needs umockdev-wrapper (the umockdev package) around the test";
        return nullptr;
    }
    std::unique_ptr<FakeUsbPrinters> printers(new FakeUsbPrinters);
    auto& state = printers->m_state;
    state = std::make_unique<State>();
    state->testbed = umockdev_testbed_new();
    GError* error = nullptr;
    if (!umockdev_testbed_add_from_file(state->testbed, description.c_str(), &error)) {
        why = error->message;
        g_error_free(error);
        return nullptr;
    }
    state->context = g_main_context_new();
    for (const Served& one : served)
        if (!printers->serve(one, why))
            return nullptr;
    // Started once every handler is attached: attaching uses the context.
    state->loop = g_main_loop_new(state->context, FALSE);
    state->thread = std::thread([loop = state->loop] { g_main_loop_run(loop); });
    return printers;
}

FakeUsbPrinters::~FakeUsbPrinters()
{
    if (!m_state)
        return;
    if (m_state->loop) {
        g_main_loop_quit(m_state->loop);
        g_main_context_wakeup(m_state->context);
        m_state->thread.join();
        g_main_loop_unref(m_state->loop);
    }
    for (auto& [handler, node] : m_state->nodes)
        g_object_unref(handler);
    g_object_unref(m_state->testbed);
    if (m_state->context)
        g_main_context_unref(m_state->context);
}

bool FakeUsbPrinters::serve(const Served& served, std::string& why)
{
    const std::string& node = served.node;
    UMockdevIoctlBase* handler = umockdev_ioctl_base_new();
    {
        const std::lock_guard lock(m_state->mutex);
        m_state->nodes[handler] = node;
        Printer& printer = m_state->printers[node];
        printer.silent = served.silent;
        printer.deviceId = served.deviceId;
        if (!served.driverInterface.empty()) {
            gchar* root = umockdev_testbed_get_root_dir(m_state->testbed);
            printer.driver = FakeUsbDriver(std::string(root) + served.driverInterface);
            g_free(root);
        }
    }
    g_signal_connect(handler, "handle-ioctl", G_CALLBACK(State::onIoctl), m_state.get());
    // The handler answers on the context that is the thread's default when it is attached.
    g_main_context_push_thread_default(m_state->context);
    GError* error = nullptr;
    const bool attached
        = umockdev_testbed_attach_ioctl(m_state->testbed, node.c_str(), handler, &error);
    g_main_context_pop_thread_default(m_state->context);
    if (!attached) {
        why = error->message;
        g_error_free(error);
    }
    return attached;
}

std::string FakeUsbPrinters::received(const std::string& node) const
{
    const std::lock_guard lock(m_state->mutex);
    const auto found = m_state->printers.find(node);
    return found == m_state->printers.end() ? std::string() : found->second.received;
}

std::string FakeUsbPrinters::driverOf(const std::string& node) const
{
    const std::lock_guard lock(m_state->mutex);
    return m_state->printers[node].driver.bound();
}

void FakeUsbPrinters::setClaimedElsewhere(const std::string& node, bool claimed)
{
    const std::lock_guard lock(m_state->mutex);
    m_state->printers[node].claimedElsewhere = claimed;
}

void FakeUsbPrinters::unplug(const std::string& node, const std::string& device)
{
    {
        const std::lock_guard lock(m_state->mutex);
        Printer& printer = m_state->printers[node];
        printer.gone = true;
        for (UMockdevIoctlData* waiting : printer.waiting) {
            urbOf(waiting)->status = -ENODEV;
            urbOf(waiting)->actual_length = 0;
            printer.done.push_back(waiting);
        }
        printer.waiting.clear();
    }
    umockdev_testbed_remove_device(m_state->testbed, device.c_str());
}

} // namespace testsupport

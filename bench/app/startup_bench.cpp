// Time from exec to the window first shown (mapped on the X display) and peak resident size of
// the idle window, for quillet and for references, alternately on a private Xvfb display:
// - the same controls built by plain Qt code in a constructor, without the window description,
//   the serial component or the translator (the fair reference; goal: at most 1.1 each);
// - a minimal Qt program with one empty window (goal: at most 1.3 each);
// - the minimal window holding one label, the least a window that shows any text costs (the
//   font system starts).
// Prints the medians and the ratios.
//   bench_app_startup [runs]   (default 9 runs of each program after one warm-up run each)
#include "bench/support/Median.h"
#include "platform/FileDescriptor.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

using benchsupport::median;

using Clock = std::chrono::steady_clock;

struct Sample {
    double startMs;
    double peakMb;
};

pid_t spawn(const std::vector<std::string>& args, const std::vector<std::string>& extraEnv)
{
    std::vector<char*> argv;
    for (const auto& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> env(extraEnv);
    for (char** entry = environ; *entry; ++entry) {
        const std::string item(*entry);
        const std::string name = item.substr(0, item.find('='));
        if (std::none_of(extraEnv.begin(), extraEnv.end(),
                [&](const std::string& e) { return e.rfind(name + "=", 0) == 0; }))
            env.push_back(item);
    }
    std::vector<char*> envp;
    for (auto& item : env)
        envp.push_back(item.data());
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
        throw std::runtime_error("cannot start " + args[0]);
    return pid;
}

void stop(pid_t pid)
{
    kill(pid, SIGTERM);
    int status;
    waitpid(pid, &status, 0);
}

// Starts Xvfb on a display it picks itself; returns its number.
std::string startXvfb(pid_t& pid)
{
    int ends[2];
    if (pipe(ends) != 0)
        throw std::runtime_error("pipe");
    const platform::FileDescriptor reader(ends[0]);
    platform::FileDescriptor writer(ends[1]);
    pid = spawn({ "Xvfb", "-displayfd", std::to_string(writer.get()), "-screen", "0", "1024x768x24",
                    "-nolisten", "tcp" },
        {});
    writer.reset();
    pollfd wait { reader.get(), POLLIN, 0 };
    char number[16] = {};
    if (poll(&wait, 1, 30000) <= 0 || read(reader.get(), number, sizeof number - 1) <= 0)
        throw std::runtime_error("Xvfb did not start");
    return std::string(":") + std::to_string(std::atoi(number));
}

// Waits for the next top-level window to be mapped; false after the time limit.
bool waitForMap(xcb_connection_t* x, int timeoutMs)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(x)) {
            const bool mapped = (event->response_type & 0x7F) == XCB_MAP_NOTIFY
                && !reinterpret_cast<xcb_map_notify_event_t*>(event)->override_redirect;
            std::free(event);
            if (mapped)
                return true;
        }
        pollfd ready { xcb_get_file_descriptor(x), POLLIN, 0 };
        poll(&ready, 1, 50);
    }
    return false;
}

void drainEvents(xcb_connection_t* x)
{
    while (xcb_generic_event_t* event = xcb_poll_for_event(x))
        std::free(event);
}

double peakResidentMb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0;
}

Sample measure(xcb_connection_t* x, const std::vector<std::string>& command,
    const std::vector<std::string>& env)
{
    drainEvents(x);
    const auto start = Clock::now();
    const pid_t pid = spawn(command, env);
    if (!waitForMap(x, 60000)) {
        stop(pid);
        throw std::runtime_error(command[0] + " showed no window");
    }
    const double startMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    std::this_thread::sleep_for(std::chrono::seconds(1)); // idle
    const double peakMb = peakResidentMb(pid);
    stop(pid);
    return { startMs, peakMb };
}

// The samples of one program.
struct Series {
    const char* name;
    std::vector<std::string> command;
    std::vector<double> startMs;
    std::vector<double> peakMb;
};

void printRatios(const Series& quillet, const Series& reference)
{
    const double sq = median(quillet.startMs), sr = median(reference.startMs);
    const double pq = median(quillet.peakMb), pr = median(reference.peakMb);
    std::printf("against %s:\n", reference.name);
    std::printf(
        "  start-up, exec to window shown: quillet %.1f ms, reference %.1f ms, ratio %.2f\n", sq,
        sr, sq / sr);
    std::printf(
        "  peak resident size, idle window: quillet %.1f MB, reference %.1f MB, ratio %.2f\n", pq,
        pr, pq / pr);
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 9;
    pid_t xvfb = -1;
    try {
        const std::string display = startXvfb(xvfb);
        xcb_connection_t* x = xcb_connect(display.c_str(), nullptr);
        if (xcb_connection_has_error(x))
            throw std::runtime_error("cannot connect to " + display);
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
        const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(x);

        char runtime[] = "/tmp/quillet-bench-XXXXXX";
        if (!mkdtemp(runtime))
            throw std::runtime_error("mkdtemp");
        const std::vector<std::string> env { "DISPLAY=" + display, "QT_QPA_PLATFORM=xcb",
            std::string("XDG_RUNTIME_DIR=") + runtime, std::string("XDG_CONFIG_HOME=") + runtime };

        std::vector<Series> series { { "quillet", { QUILLET_BINARY }, {}, {} },
            { "the same controls built by plain Qt code (goal: ratios at most 1.1)",
                { PLAIN_FORM_BINARY }, {}, {} },
            { "the minimal Qt program with one empty window (goal: ratios at most 1.3)",
                { REFERENCE_BINARY }, {}, {} },
            { "the same window holding one label", { REFERENCE_BINARY, "Quillet v1.0" }, {}, {} } };
        for (const Series& s : series) // warm the caches
            measure(x, s.command, env);
        for (int i = 0; i < runs; ++i)
            for (Series& s : series) {
                const Sample sample = measure(x, s.command, env);
                s.startMs.push_back(sample.startMs);
                s.peakMb.push_back(sample.peakMb);
            }
        xcb_disconnect(x);
        stop(xvfb);
        std::filesystem::remove_all(runtime);

        std::printf("medians of %d runs each, on Xvfb %s\n", runs, display.c_str());
        for (std::size_t reference = 1; reference < series.size(); ++reference)
            printRatios(series[0], series[reference]);
        return 0;
    } catch (const std::exception& error) {
        if (xvfb > 0)
            stop(xvfb);
        std::fprintf(stderr, "bench_app_startup: %s\n", error.what());
        return 1;
    }
}

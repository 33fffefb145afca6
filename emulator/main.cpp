// quillet-virtual-printer: start-up and shutdown order only. The printer loop runs on the main
// thread without a display, or beside the receipt window with --window.
#include "emulator/ReceiptFiles.h"
#include "emulator/ReceiptOutput.h"
#include "emulator/ReceiptWindow.h"
#include "emulator/VirtualPrinter.h"

#include <QApplication>
#include <QGuiApplication>
#include <csignal>
#include <iostream>
#include <memory>
#include <mutex>
#include <thread>
#include <unistd.h>

using namespace emulator;

namespace {

// The printer's loop and the receipt output both speak: one line at a time.
std::mutex speaking;

void say(const std::string& line)
{
    std::lock_guard lock(speaking);
    std::cout << line << std::endl;
}

void warn(const std::string& line)
{
    std::lock_guard lock(speaking);
    std::cerr << "quillet-virtual-printer: " << line << std::endl;
}

// SIGINT and SIGTERM are taken by the printer loop (signalfd), so every thread blocks them.
void blockStopSignals()
{
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
}

int serve(const Options& options, QGuiApplication& application, ReceiptWindow* window)
{
    std::unique_ptr<ReceiptFiles> files;
    try {
        files = std::make_unique<ReceiptFiles>(options.outFolder);
    } catch (const std::exception& error) {
        warn(error.what());
        return 1;
    }
    // Each receipt is drawn and saved off the printer's loop, announced, and shown in the window.
    ReceiptOutput output(*files,
        { [window](const std::string& path, const QImage& picture) {
             say("receipt " + path);
             if (window)
                 QMetaObject::invokeMethod(window, [window, picture, path] {
                     window->showReceipt(picture, QString::fromStdString(path));
                 });
         },
            warn });
    std::unique_ptr<VirtualPrinter> printer;
    try {
        printer = std::make_unique<VirtualPrinter>(options,
            VirtualPrinter::Hooks {
                [&output](Receipt&& receipt) { output.post(std::move(receipt)); }, warn, say });
        printer->open();
    } catch (const std::exception& error) {
        warn(error.what());
        return 2;
    }
    printer->watchCommands(STDIN_FILENO);
    say("ready");
    if (!window) {
        printer->run();
        return 0;
    }
    std::thread loop([&] {
        printer->run();
        QMetaObject::invokeMethod(&application, &QCoreApplication::quit);
    });
    window->show();
    application.exec();
    printer->stop();
    loop.join();
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    Options options;
    try {
        options = parseOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::invalid_argument& error) {
        warn(error.what());
        std::cerr << "Try --help.\n";
        return 1;
    }
    if (options.help) {
        std::cout << usageText();
        return 0;
    }
    blockStopSignals();
    if (!options.window) {
        // Fonts need a GUI application, but nothing here needs a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication application(argc, argv);
        return serve(options, application, nullptr);
    }
    QApplication application(argc, argv);
    ReceiptWindow window;
    return serve(options, application, &window);
}

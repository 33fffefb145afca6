// quillet-virtual-printer: start-up and shutdown order only. The printer loop runs on the main
// thread without a display, or beside the receipt window with --window.
#include "emulator/ReceiptFiles.h"
#include "emulator/ReceiptRenderer.h"
#include "emulator/ReceiptWindow.h"
#include "emulator/VirtualPrinter.h"

#include <QApplication>
#include <QGuiApplication>
#include <csignal>
#include <iostream>
#include <memory>
#include <thread>
#include <unistd.h>

using namespace emulator;

namespace {

void say(const std::string& line)
{
    std::cout << line << std::endl;
}

void warn(const std::string& line)
{
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

// Each receipt is drawn, saved and announced; with a window it is also shown there.
ReceiptBuilder::ReceiptSink receiptOutput(ReceiptFiles& files, ReceiptWindow* window)
{
    return [&files, window](Receipt&& receipt) {
        try {
            const auto picture = renderReceipt(receipt);
            const auto path = files.save(receipt, picture);
            say("receipt " + path);
            if (window)
                QMetaObject::invokeMethod(window, [window, picture, path] {
                    window->showReceipt(picture, QString::fromStdString(path));
                });
        } catch (const std::exception& error) {
            warn(error.what());
        }
    };
}

int serve(const Options& options, QGuiApplication& application, ReceiptWindow* window)
{
    std::unique_ptr<ReceiptFiles> files;
    std::unique_ptr<VirtualPrinter> printer;
    try {
        files = std::make_unique<ReceiptFiles>(options.outFolder);
        printer = std::make_unique<VirtualPrinter>(
            options, VirtualPrinter::Hooks { receiptOutput(*files, window), warn, say });
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

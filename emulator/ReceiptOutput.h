#pragma once

#include "emulator/Receipt.h"
#include "emulator/ReceiptFiles.h"

#include <QImage>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace emulator {

// Draws and saves receipts on a thread of its own, so the printer's loop (and with it every
// real-time answer) never waits for a picture. A receipt that cannot be written stays in memory,
// in its place in the order, and is tried again every second until it is written.
class ReceiptOutput {
public:
    struct Hooks {
        // A receipt written: its picture's path and the picture (on the output thread).
        std::function<void(const std::string& path, const QImage& picture)> saved;
        std::function<void(const std::string&)> warn;
    };
    ReceiptOutput(ReceiptFiles& files, Hooks hooks);
    // Finishes: everything posted is drawn and tried once more; what still cannot be written
    // is said to be lost.
    ~ReceiptOutput();
    ReceiptOutput(const ReceiptOutput&) = delete;
    ReceiptOutput& operator=(const ReceiptOutput&) = delete;

    void post(Receipt&& receipt);

private:
    struct Drawn {
        Receipt receipt;
        QImage picture;
        bool refused = false; // its failure was said already
    };
    void work();
    // False when the receipt could not be written.
    bool write(Drawn& drawn);

    ReceiptFiles& m_files;
    Hooks m_hooks;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Receipt> m_posted;
    bool m_ending = false;
    std::thread m_thread;
};

} // namespace emulator

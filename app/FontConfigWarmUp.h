#pragma once
// Starts the font configuration on a helper thread while the toolkit starts, so the first text
// the window measures does not wait for the configuration to be read.

#include <thread>

namespace app {

class FontConfigWarmUp {
public:
    FontConfigWarmUp();
    // Waits for the helper thread.
    ~FontConfigWarmUp();
    FontConfigWarmUp(const FontConfigWarmUp&) = delete;
    FontConfigWarmUp& operator=(const FontConfigWarmUp&) = delete;

    // Waits until the configuration has been read.
    void wait();

private:
    std::thread m_thread;
};

} // namespace app

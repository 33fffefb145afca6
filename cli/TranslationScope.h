#pragma once
// The translator and the serial component's module for one run of quillet-send, so its texts
// come in the user's language as the window shows them.

#include <memory>

namespace cport {
class ComModuleScope;
}

namespace cli {

// Starts both when there are catalogs to translate with (a "locale" folder beside the program,
// or catalogs built into it) and ends them in reverse order. Without catalogs no text would
// change, and the run starts faster without them.
class TranslationScope {
public:
    TranslationScope();
    ~TranslationScope();
    TranslationScope(const TranslationScope&) = delete;
    TranslationScope& operator=(const TranslationScope&) = delete;

private:
    bool m_started = false;
    std::unique_ptr<cport::ComModuleScope> m_serialComponent;
};

} // namespace cli

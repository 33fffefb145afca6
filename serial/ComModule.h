#pragma once
// Start and end of the serial component as a module of the program: its texts join the
// translator ("cport" domain) and its error table is translated once. Run start after the
// localization module has started and end before it ends.

namespace cport {

// Registers the "cport" text domain and translates the error table. A catalog that cannot be
// read is reported through the default error report; the texts then stay as built.
void startComModule();

// Brings the error table back to its texts as built.
void endComModule();

// Runs the module from construction to destruction.
class ComModuleScope {
public:
    ComModuleScope() { startComModule(); }
    ~ComModuleScope() { endComModule(); }
    ComModuleScope(const ComModuleScope&) = delete;
    ComModuleScope& operator=(const ComModuleScope&) = delete;
};

} // namespace cport

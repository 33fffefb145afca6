#pragma once
// A temporary folder removed with everything in it when the object goes, and the test system
// root (QUILLET_SYSROOT) and configuration folder (XDG_CONFIG_HOME) built inside one.

#include <optional>
#include <string>

namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return m_path; }
    // path() + "/" + relative, with every parent folder created.
    std::string file(const std::string& relative) const;
    void writeFile(const std::string& relative, const std::string& bytes) const;
    std::string readFile(const std::string& relative) const;

private:
    std::string m_path;
};

// Sets an environment variable while it lives; the previous value (or its absence) comes back
// after it.
class EnvironmentOverride {
public:
    EnvironmentOverride(std::string name, const std::string& value);
    ~EnvironmentOverride();
    EnvironmentOverride(const EnvironmentOverride&) = delete;
    EnvironmentOverride& operator=(const EnvironmentOverride&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_previous;
};

// A TempDir that is QUILLET_SYSROOT while it lives.
class TestSysRoot : public TempDir {
public:
    TestSysRoot();

private:
    EnvironmentOverride m_variable;
};

// A TempDir that is XDG_CONFIG_HOME while it lives, so the registry store starts empty.
class TestConfigHome : public TempDir {
public:
    TestConfigHome();
    std::string store() const { return path() + "/quillet/registry.reg"; }
    std::string storeBytes() const { return readFile("quillet/registry.reg"); }
    void writeStore(const std::string& bytes) const { writeFile("quillet/registry.reg", bytes); }

private:
    EnvironmentOverride m_variable;
};

} // namespace testsupport

#pragma once
// A temporary folder removed with everything in it when the object goes, and a test system
// root (QUILLET_SYSROOT) built inside one.

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

// A TempDir that is QUILLET_SYSROOT while it lives; the previous value comes back after it.
class TestSysRoot : public TempDir {
public:
    TestSysRoot();
    ~TestSysRoot();

private:
    std::string m_previous;
    bool m_hadPrevious;
};

} // namespace testsupport

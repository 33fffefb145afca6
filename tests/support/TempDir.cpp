#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace testsupport {

TempDir::TempDir()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "quillet-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder");
    m_path = pattern;
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
}

std::string TempDir::file(const std::string& relative) const
{
    const std::filesystem::path full = std::filesystem::path(m_path) / relative;
    std::filesystem::create_directories(full.parent_path());
    return full.string();
}

void TempDir::writeFile(const std::string& relative, const std::string& bytes) const
{
    std::ofstream out(file(relative), std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + relative);
}

std::string TempDir::readFile(const std::string& relative) const
{
    std::ifstream in(file(relative), std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

EnvironmentOverride::EnvironmentOverride(std::string name, const std::string& value)
    : m_name(std::move(name))
{
    if (const char* previous = std::getenv(m_name.c_str()))
        m_previous = previous;
    setenv(m_name.c_str(), value.c_str(), 1);
}

EnvironmentOverride::~EnvironmentOverride()
{
    if (m_previous)
        setenv(m_name.c_str(), m_previous->c_str(), 1);
    else
        unsetenv(m_name.c_str());
}

TestSysRoot::TestSysRoot()
    : m_variable("QUILLET_SYSROOT", path())
{
}

TestConfigHome::TestConfigHome()
    : m_variable("XDG_CONFIG_HOME", path())
{
}

} // namespace testsupport

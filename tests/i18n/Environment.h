#pragma once
// Sets or clears environment variables for one test; the previous values come back after it.

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace motest {

class ScopedEnvironment {
public:
    // Every variable the translator's language choice can read starts cleared.
    ScopedEnvironment()
    {
        for (const char* name : { "LANG", "LC_ALL", "LC_MESSAGES", "LANGUAGE" })
            set(name, std::nullopt);
    }
    ~ScopedEnvironment()
    {
        for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
            apply(it->first, it->second);
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

    // nullopt unsets the variable.
    void set(const std::string& name, const std::optional<std::string>& value)
    {
        const char* old = std::getenv(name.c_str());
        m_saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        apply(name, value);
    }

private:
    static void apply(const std::string& name, const std::optional<std::string>& value)
    {
        if (value)
            ::setenv(name.c_str(), value->c_str(), 1);
        else
            ::unsetenv(name.c_str());
    }

    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

} // namespace motest

#pragma once
// Sets environment variables for one test and puts back what was there before.

#include <cstdlib>
#include <map>
#include <optional>
#include <string>

namespace test {

class scoped_environment {
public:
    scoped_environment() = default;
    scoped_environment(const scoped_environment&) = delete;
    scoped_environment& operator=(const scoped_environment&) = delete;
    ~scoped_environment()
    {
        for (const auto& [name, value] : m_saved) {
            if (value) setenv(name.c_str(), value->c_str(), 1);
            else unsetenv(name.c_str());
        }
    }
    // Null unsets the variable.
    void set(const std::string& name, const char* value)
    {
        if (!m_saved.contains(name)) {
            const char* old = std::getenv(name.c_str());
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value) setenv(name.c_str(), value, 1);
        else unsetenv(name.c_str());
    }

private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

}  // namespace test

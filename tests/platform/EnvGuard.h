#pragma once
// Sets or clears environment variables for one test and restores them afterwards.
#include <cstdlib>
#include <map>
#include <optional>
#include <string>

class EnvGuard {
  public:
    ~EnvGuard() {
        for (const auto& [name, old] : saved_) {
            if (old)
                ::setenv(name.c_str(), old->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    void set(const std::string& name, const std::string& value) {
        remember(name);
        ::setenv(name.c_str(), value.c_str(), 1);
    }
    void unset(const std::string& name) {
        remember(name);
        ::unsetenv(name.c_str());
    }

  private:
    void remember(const std::string& name) {
        const char* v = std::getenv(name.c_str());
        if (!saved_.count(name)) saved_[name] = v ? std::optional<std::string>(v) : std::nullopt;
    }
    std::map<std::string, std::optional<std::string>> saved_;
};

#pragma once
// Facts about the application and the machine it runs on, for the feedback mail and the
// store link. Behind an interface so tests can pin them.
#include <memory>
#include <string>

class DeviceFacts {
  public:
    virtual ~DeviceFacts() = default;
    virtual std::string applicationName() const = 0;
    virtual std::string applicationVersion() const = 0;  // the build version
    virtual std::string localeIdentifier() const = 0;    // e.g. "es_MX"
    virtual std::string preferredLanguage() const = 0;   // e.g. "es"
    virtual std::string systemName() const = 0;          // e.g. "Linux"
    virtual std::string systemVersion() const = 0;       // e.g. "6.1.0-18-amd64"
    virtual std::string model() const = 0;               // e.g. "x86_64" or the board's name

    static const DeviceFacts& current();
    // Replaces the process's facts (tests); nullptr restores the machine's.
    static void install(std::shared_ptr<DeviceFacts> facts);
};

// The running machine: uname, and the app's language (with the environment's region) as
// its locale and language.
class SystemDeviceFacts : public DeviceFacts {
  public:
    std::string applicationName() const override;
    std::string applicationVersion() const override;
    std::string localeIdentifier() const override;
    std::string preferredLanguage() const override;
    std::string systemName() const override;
    std::string systemVersion() const override;
    std::string model() const override;
};

// Fixed facts, for tests and for reproducible output.
class FixedDeviceFacts : public DeviceFacts {
  public:
    FixedDeviceFacts(std::string name, std::string version, std::string locale,
                     std::string language, std::string system, std::string release,
                     std::string machine)
        : name(std::move(name)),
          version(std::move(version)),
          locale(std::move(locale)),
          language(std::move(language)),
          system(std::move(system)),
          release(std::move(release)),
          machine(std::move(machine)) {}
    std::string name, version, locale, language, system, release, machine;
    std::string applicationName() const override { return name; }
    std::string applicationVersion() const override { return version; }
    std::string localeIdentifier() const override { return locale; }
    std::string preferredLanguage() const override { return language; }
    std::string systemName() const override { return system; }
    std::string systemVersion() const override { return release; }
    std::string model() const override { return machine; }
};

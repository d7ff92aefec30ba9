#include "platform/DeviceFacts.h"

#include <sys/utsname.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

#include "platform/Localisation.h"

#ifndef MK_VERSION
#define MK_VERSION "0.0.0"
#endif

namespace {

std::shared_ptr<DeviceFacts>& installed() {
    static std::shared_ptr<DeviceFacts> facts;
    return facts;
}

std::string env(const char* name) {
    const char* v = std::getenv(name);
    return v ? v : "";
}

// The first non-empty of LC_ALL, LC_MESSAGES, LANG, as the C library reads them.
std::string localeEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        std::string v = env(name);
        if (!v.empty()) return v;
    }
    return {};
}

std::string trim(std::string s) {
    auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

}  // namespace

const DeviceFacts& DeviceFacts::current() {
    static SystemDeviceFacts system;
    if (auto& f = installed()) return *f;
    return system;
}

void DeviceFacts::install(std::shared_ptr<DeviceFacts> facts) {
    installed() = std::move(facts);
}

std::string SystemDeviceFacts::applicationName() const {
    return "Marrowkeeper";
}

std::string SystemDeviceFacts::applicationVersion() const {
    return MK_VERSION;
}

std::string SystemDeviceFacts::localeIdentifier() const {
    // The app's language ("--lang", else the one chosen from the environment) in locale form
    // ("zh-Hans" → "zh_Hans"), with the environment's region when the environment names the
    // same language ("es" under LANG=es_MX.UTF-8 → "es_MX"). "C" and POSIX name no region.
    std::string id = Localisation::language();
    std::replace(id.begin(), id.end(), '-', '_');
    std::string v = localeEnvironment();
    v = v.substr(0, v.find_first_of(".@"));
    const auto sep = v.find('_');
    if (sep != std::string::npos && v.substr(0, sep) == id.substr(0, id.find('_')))
        id += v.substr(sep);
    return id;
}

std::string SystemDeviceFacts::preferredLanguage() const {
    return Localisation::language();
}

std::string SystemDeviceFacts::systemName() const {
    struct utsname u {};
    if (uname(&u) != 0) return "Unknown";
    return u.sysname;
}

std::string SystemDeviceFacts::systemVersion() const {
    struct utsname u {};
    if (uname(&u) != 0) return "0";
    return u.release;
}

std::string SystemDeviceFacts::model() const {
    // The board's product name says more than the processor kind, when we may read it.
    std::ifstream in("/sys/devices/virtual/dmi/id/product_name");
    std::string name;
    if (in && std::getline(in, name)) {
        name = trim(name);
        if (!name.empty()) return name;
    }
    struct utsname u {};
    if (uname(&u) != 0) return "Unknown";
    return u.machine;
}

// The store link of the about screen.
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/DeviceFacts.h"
#include "platform/LinkOpener.h"
#include "storage/ConstParameterAndMethod.h"

namespace {

const char* const kPageTemplate = "https://apps.example.com/app/id{id}";
const char* const kReviewsTemplate = "https://apps.example.com/reviews?id={id}";

std::string fromEnv(const char* name, const char* fallback) {
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

// Numeric parts of a version text: "6.1.0-18-amd64" → 6, 1, 0 (each part's leading digits).
std::vector<long> versionParts(const std::string& v) {
    std::vector<long> parts;
    size_t i = 0;
    while (i <= v.size()) {
        size_t dot = v.find('.', i);
        std::string part = v.substr(i, dot == std::string::npos ? std::string::npos : dot - i);
        long n = 0;
        size_t k = 0;
        while (k < part.size() && part[k] >= '0' && part[k] <= '9' && n < 100000000)
            n = n * 10 + (part[k++] - '0');
        parts.push_back(n);
        if (k < part.size() || dot == std::string::npos) break;  // "0-18-amd64" ends it
        i = dot + 1;
    }
    return parts;
}

// Numeric comparison: "10.0" is above "7.0"; missing parts count as 0.
bool versionLower(const std::string& a, const std::string& b) {
    auto x = versionParts(a), y = versionParts(b);
    size_t n = std::max(x.size(), y.size());
    x.resize(n, 0);
    y.resize(n, 0);
    return x < y;
}

std::string fill(std::string pattern, const std::string& id) {
    for (size_t at; (at = pattern.find("{id}")) != std::string::npos;) pattern.replace(at, 4, id);
    return pattern;
}

}  // namespace

std::string ConstParameterAndMethod::appStorePageLink(const std::string& storeId,
                                                      const std::string& systemVersion) {
    if (versionLower(systemVersion, "7.0"))
        return fill(fromEnv("MARROWKEEPER_STORE_REVIEWS_URL", kReviewsTemplate), storeId);
    return fill(fromEnv("MARROWKEEPER_STORE_URL", kPageTemplate), storeId);
}

void ConstParameterAndMethod::gotoAppStorePageRaisal(const std::string& storeId) {
    std::string link = appStorePageLink(storeId, DeviceFacts::current().systemVersion());
    LinkOpener::open(link);
}

#include "storage/UniqueKeys.h"

#include <chrono>
#include <cstdio>

#include "storage/ConstParameterAndMethod.h"
#include "storage/SDBManager.h"

namespace {
// Seconds scanned at most; a run of taken keys this long cannot come from people.
constexpr int kMaxProbes = 100000;
}  // namespace

UniqueKeys::UniqueKeys() : _db(SDBManager::defaultDBManager().dataBase()) {}

std::string UniqueKeys::newOrderKey() {
    return firstFree("",
                     "SELECT 1 FROM SUserCommodity WHERE orderPrimaryKeyDate = ?1 UNION ALL "
                     "SELECT 1 FROM SUserCommodityOrder WHERE orderItemPrimaryKeyDate = ?1");
}

std::string UniqueKeys::newCategoryKey() {
    return firstFree("",
                     "SELECT 1 FROM SProductsNameType WHERE productsTypePrimaryKey = ?1 OR "
                     "productsTypeNameKey = ?1 UNION ALL "
                     "SELECT 1 FROM SProductsNameSub WHERE productPrimaryKey = ?1");
}

std::string UniqueKeys::newProductKey() {
    return firstFree("",
                     "SELECT 1 FROM SProductsNameSub WHERE productSubNameKey = ?1 UNION ALL "
                     "SELECT 1 FROM SUserCommodityOrder WHERE orderItemProductNameKey = ?1");
}

std::string UniqueKeys::newPartnerKey(const std::string& prefix) {
    return firstFree(prefix,
                     "SELECT 1 FROM SSupplierOrCustomers WHERE supplierOrCustomersNameKey = ?1 "
                     "UNION ALL "
                     "SELECT 1 FROM SUserCommodity WHERE orderSupplierOrCustomerNameKey = ?1");
}

std::string UniqueKeys::firstFree(const std::string& prefix, const char* takenQuery) {
    std::string time = ConstParameterAndMethod::getDateNowKeyFormatter();
    for (int probe = 0; _db && probe < kMaxProbes; ++probe) {
        auto rs = _db->executeQuery(takenQuery, {prefix + time});
        // Unreadable: the write that follows will fail and say so.
        if (!rs) break;
        const bool taken = rs->next();
        rs->close();
        if (!taken) break;
        std::string later = nextSecond(time);
        if (later.empty()) break;
        time = std::move(later);
    }
    return prefix + time;
}

std::string UniqueKeys::nextSecond(const std::string& key) {
    using namespace std::chrono;
    if (key.size() != 14 || key.find_first_not_of("0123456789") != std::string::npos) return {};
    auto part = [&](size_t at, size_t len) { return std::stoi(key.substr(at, len)); };
    const year_month_day date{year{part(0, 4)}, month(part(4, 2)), day(part(6, 2))};
    const int h = part(8, 2), mi = part(10, 2), s = part(12, 2);
    if (!date.ok() || h > 23 || mi > 59 || s > 59) return {};
    const sys_seconds next = sys_days{date} + hours{h} + minutes{mi} + seconds{s + 1};
    const auto day0 = floor<days>(next);
    const year_month_day d{day0};
    const hh_mm_ss t{next - day0};
    char out[32];
    std::snprintf(out, sizeof out, "%04d%02u%02u%02d%02d%02d", static_cast<int>(d.year()),
                  static_cast<unsigned>(d.month()), static_cast<unsigned>(d.day()),
                  static_cast<int>(t.hours().count()), static_cast<int>(t.minutes().count()),
                  static_cast<int>(t.seconds().count()));
    return out;
}

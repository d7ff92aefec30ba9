#pragma once
// A deterministic synthetic ledger written through the stores: categories, products,
// partners of both kinds, and orders with their lines over a span of days ending on a
// given day. Every field is written in the form the screens write it, so every find and
// every figure of the app works on it as on a ledger kept by hand. Header-only so the
// benchmark and the equality tests share it.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/Localisation.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/NumberText.h"
#include "storage/SDBManager.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SProductsNameTypeDB.h"
#include "storage/SSupplierOrCustomersDB.h"
#include "storage/SUserCommodityDB.h"
#include "storage/SUserCommodityOrderDB.h"

struct LedgerParams {
    int categories = 50;
    int products = 2000;
    int partners = 200;  // half suppliers, half customers
    int orders = 50000;
    int days = 5 * 365 + 1;  // the span ending on the last day
    int salesPercent = 70;
    uint64_t seed = 20150509;

    // A ledger of `n` years at the default's pace: 10,000 orders a year (about 40,000 lines).
    static LedgerParams years(int n) {
        LedgerParams p;
        p.orders = 10000 * n;
        p.days = 365 * n + n / 4;
        return p;
    }
    static LedgerParams small() {
        LedgerParams p;
        p.categories = 4;
        p.products = 30;
        p.partners = 6;
        p.orders = 200;
        p.days = 120;
        return p;
    }
    // Part of the cache file name: two runs with the same text make the same ledger.
    std::string tag() const {
        char buf[128];
        std::snprintf(buf, sizeof buf, "c%d-p%d-s%d-o%d-d%d-%d-%llu", categories, products,
                      partners, orders, days, salesPercent, static_cast<unsigned long long>(seed));
        return buf;
    }
};

class LedgerGenerator {
  public:
    explicit LedgerGenerator(const LedgerParams& p) : p_(p), state_(p.seed * 2654435761u + 1) {}

    // Creates the five tables as start-up does and fills them, all in one transaction, in
    // the database of SDBManager. `lastDay` is the newest order date (normally today).
    bool generate(ConstParameterAndMethod::TimePoint lastDay) {
        auto db = SDBManager::defaultDBManager().dataBase();
        if (!db) return false;
        SUserCommodityDB orders(db);
        SUserCommodityOrderDB lines(db);
        SProductsNameTypeDB categories(db);
        SProductsNameSubDB products(db);
        SSupplierOrCustomersDB partners(db);
        orders.createCommodDataBase();
        lines.createUserCommodityOrderDataBase();
        categories.createProductsNameTypeDataBase();
        products.createProductNameDataBase();
        partners.createSupplierOrCustomersDataBase();
        if (!db->beginTransaction()) return false;

        const auto firstDay = lastDay - std::chrono::hours(24) * (p_.days - 1);
        const std::string catalogueDay = ConstParameterAndMethod::format(firstDay, "yyyy/MM/dd");
        // Keys of the catalogue: time keys of consecutive seconds before the first order.
        long serial = 0;
        auto catalogueKey = [&] {
            return ConstParameterAndMethod::format(
                firstDay - std::chrono::hours(24 * 30) + std::chrono::seconds(serial++),
                "yyyyMMddHHmmss");
        };

        std::vector<SProductsNameType> cats;
        for (int c = 0; c < p_.categories; ++c) {
            SProductsNameType t;
            t.productsTypePrimaryKey = catalogueKey();
            t.productsTypeName = "Category " + std::to_string(c + 1);
            t.productsTypeNameKey = catalogueKey();
            t.productsTypeIndex = t.productsTypeNameKey;
            if (!categories.saveProductsNameType(t)) return fail(*db);
            cats.push_back(t);
        }
        static const char* const kUnits[] = {"kg", "pcs", "box", "m", "l"};
        for (int i = 0; i < p_.products; ++i) {
            const SProductsNameType& t = cats[static_cast<size_t>(i) % cats.size()];
            SProductsNameSub s;
            s.productPrimaryKey = t.productsTypePrimaryKey;
            s.productTypeName = t.productsTypeName;
            s.productTypeNameKey = t.productsTypeNameKey;
            s.productSubName = "Product " + std::to_string(i + 1);
            s.productSubNameKey = catalogueKey();
            s.productSubModel = "M-" + std::to_string(100 + pick(900));
            s.productSubUnit = kUnits[pick(5)];
            s.productSubReferencePrice = price();
            s.productSubInventoryQty = std::to_string(pick(200));
            s.productSubQty = "1";
            s.productSubPrice = s.productSubReferencePrice;
            s.productSubTotalAmount = s.productSubReferencePrice;
            s.productSubDate = catalogueDay;
            s.productSubIndex = catalogueKey();
            if (!products.saveProductNameSub(s)) return fail(*db);
            products_.push_back(s);
        }
        for (int i = 0; i < p_.partners; ++i) {
            const bool supplier = i % 2 == 0;
            SSupplierOrCustomers s;
            s.supplierOrCustomersName =
                std::string(supplier ? "Supplier " : "Customer ") + std::to_string(i / 2 + 1);
            s.supplierOrCustomersNameKey = catalogueKey();
            s.supplierOrCustomersTags = supplier ? "000" : "111";
            s.supplierOrCustomersTelphone = "+34 600 " + std::to_string(100000 + pick(900000));
            s.supplierOrCustomersAddress = "mail" + std::to_string(i) + "@example.org";
            s.supplierOrCustomersNotes = "-";
            s.supplierOrCustomersIndex = s.supplierOrCustomersNameKey;
            if (!partners.saveSupplierOrCustomers(s)) return fail(*db);
            (supplier ? suppliers_ : customers_).push_back(s);
        }

        // Orders spread evenly over the days, oldest first, so row ids grow with the date.
        for (int n = 0; n < p_.orders; ++n) {
            const int dayIndex =
                static_cast<int>(static_cast<int64_t>(n) * p_.days / std::max(1, p_.orders));
            const int firstOfDay = static_cast<int>(
                (static_cast<int64_t>(dayIndex) * p_.orders + p_.days - 1) / p_.days);
            const int nthOfDay = n - firstOfDay;
            const auto day = firstDay + std::chrono::hours(24) * dayIndex;
            // 08:00:00 plus 97 s per earlier order of the day: unique keys within a day.
            const auto moment = day + std::chrono::seconds(8 * 3600 + 97 * nthOfDay);
            if (!addOrder(orders, lines, moment, pick(100) < p_.salesPercent)) return fail(*db);
        }
        return db->commit();
    }

  private:
    bool fail(SQLDatabase& db) {
        db.rollback();
        return false;
    }

    uint64_t next() {
        // xorshift64*: the same sequence on every machine and library.
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return state_ * 2685821657736338717ull;
    }
    int pick(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
    std::string price() {
        const int cents = 50 + pick(20000);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%d.%02d", cents / 100, cents % 100);
        return buf;
    }

    bool addOrder(SUserCommodityDB& orders, SUserCommodityOrderDB& lines,
                  ConstParameterAndMethod::TimePoint moment, bool sale) {
        const CalendarDate d = ConstParameterAndMethod::dateParts(moment);
        const std::string key = ConstParameterAndMethod::format(moment, "yyyyMMddHHmmss");
        const std::string date = ConstParameterAndMethod::format(moment, "yyyy/MM/dd");
        const std::string minutes = ConstParameterAndMethod::format(moment, "HH:mm");
        const std::string kindText = KL(sale ? "KLSales" : "KLPurchase");
        const std::string kindCode = sale ? "21" : "11";
        const auto& partnerList = sale ? customers_ : suppliers_;
        const SSupplierOrCustomers& partner =
            partnerList[static_cast<size_t>(pick(static_cast<int>(partnerList.size())))];

        const int lineCount = 1 + pick(7);
        std::vector<SUserCommodityOrder> made;
        for (int i = 0; i < lineCount; ++i) {
            const SProductsNameSub& prod =
                products_[static_cast<size_t>(pick(static_cast<int>(products_.size())))];
            SUserCommodityOrder l;
            l.orderItemPrimaryKeyDate = key;
            l.orderItemSalesAndPurchaseType = kindText;
            l.orderItemSalesAndPurchaseTags = kindCode;
            l.orderItemProductTypeName = prod.productTypeName;
            l.orderItemProductTypeNameKey = prod.productTypeNameKey;
            l.orderItemProductName = prod.productSubName;
            l.orderItemProductNameKey = prod.productSubNameKey;
            l.orderItemModel = prod.productSubModel;
            l.orderItemUnit = prod.productSubUnit;
            l.orderItemReferencePrice = prod.productSubReferencePrice;
            l.orderItemInventoryQty = prod.productSubInventoryQty;
            // Purchases come in larger quantities; some quantities carry a fraction.
            const int whole = sale ? 1 + pick(12) : 5 + pick(40);
            l.orderItemQuantity =
                pick(4) == 0 ? std::to_string(whole) + ".5" : std::to_string(whole);
            l.orderItemUnitPrice = pick(3) == 0 ? price() : *prod.productSubReferencePrice;
            l.orderItemTotalAmount =
                formatAmount(floatValue(l.orderItemQuantity) * floatValue(l.orderItemUnitPrice));
            l.orderItemDateTime = date;
            l.orderItemMinutesTime = minutes;
            l.orderItemWeekInYearTime = formatCount(d.weekOfYear);
            l.orderItemYears = formatCount(d.year);
            l.orderItemMonths = formatCount(d.month);
            l.orderItemDays = formatCount(d.day);
            if (!lines.saveUserCommodityOrder(l)) return false;
            made.push_back(std::move(l));
        }
        // The editor sums the lines as the store lists them: newest first.
        float qty = 0, amount = 0;
        for (auto it = made.rbegin(); it != made.rend(); ++it) {
            qty += floatValue(it->orderItemQuantity);
            amount += floatValue(it->orderItemTotalAmount);
        }
        SUserCommodity h;
        h.orderPrimaryKeyDate = key;
        h.orderSalesTagOrPurchaseTag = sale ? "111" : "000";
        h.orderSupplierOrCustomerName = partner.supplierOrCustomersName;
        h.orderSupplierOrCustomerNameKey = partner.supplierOrCustomersNameKey;
        h.orderSalesAndPurchaseType = kindText;
        h.orderSalesAndPurchaseTags = kindCode;
        h.orderName = (sale ? "Sale " : "Purchase ") + key.substr(2, 10);
        h.orderTotalCounts = formatAmount(qty);
        h.orderTotalEntrys = formatCount(lineCount);
        h.orderTotalAmount = formatAmount(amount);
        h.remarkNotes = pick(5) == 0 ? std::string("Deliver before noon") : std::string("-");
        h.recordeWeekInYearTime = formatCount(d.weekOfYear);
        h.recordeWeekTime = ConstParameterAndMethod::getCurrentWeekDay(d.weekday);
        h.recordeDateTime = date;
        h.minutesTime = minutes;
        h.years = formatCount(d.year);
        h.months = formatCount(d.month);
        h.days = formatCount(d.day);
        return orders.saveUserCommodity(h);
    }

    LedgerParams p_;
    uint64_t state_;
    std::vector<SProductsNameSub> products_;
    std::vector<SSupplierOrCustomers> suppliers_;
    std::vector<SSupplierOrCustomers> customers_;
};

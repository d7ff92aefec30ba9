#pragma once
// Drives the order screens from the dashboard through the bar, with products and partners
// seeded through the stores.
#include <initializer_list>
#include <string>
#include <vector>

#include "orders/CreateOrEditSalesAccountVC.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/SDBManager.h"
#include "storage/SSupplierOrCustomersDB.h"
#include "storage/SUserCommodityDB.h"
#include "storage/SUserCommodityOrderDB.h"
#include "tests/support/AppHarness.h"
#include "toolkit/TableView.h"

// The key every new order gets from the harness clock's start moment.
inline const std::string kFirstKey = "20150509160250";

class OrdersFixture : public AppHarness {
  protected:
    // Start-up runs once; seeding needs the tables it makes, so tests may start() first.
    void newSaleWithTwoProducts() {
        start();
        seedProduct("Tools", "Hammer", "1", "5", "5");
        seedProduct("Tools", "Nails", "1", "3", "3");
        openJournal();
        addOrder();
    }
    void openJournal(const std::string& action = "jumpOutItems2Event") {
        if (!app_) start();
        ASSERT_TRUE(tap(action));
    }
    void addOrder() {
        ASSERT_TRUE(tap("addNewSalesOrPurchase"));
        ASSERT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
    }
    // From the editor: name, first partner, save.
    void saveAs(const std::string& name) {
        ASSERT_TRUE(setText("orderNameText", name));
        ASSERT_TRUE(tap("topShowSupplierOrCustomerListEvent"));
        ASSERT_TRUE(alertRow(0));
        ASSERT_TRUE(tap("saveToDoneEvent"));
    }
    // From the editor: the picker, a category, a product; back in the editor.
    void pickProduct(int categoryRow, int productRow) {
        ASSERT_TRUE(tap("tapJumpProductNameSelectEvent"));
        ASSERT_EQ(top()->className(), "SelectProductsBackViewController");
        ASSERT_TRUE(selectRow("productTypeTableView", categoryRow));
        ASSERT_TRUE(selectRow("productSubTableView", productRow));
        ASSERT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
    }
    void editLine(int row, const std::string& qty, const std::string& price) {
        ASSERT_TRUE(selectRow("tableView", row));
        ASSERT_EQ(top()->className(), "EditOrderItemsVC");
        ASSERT_TRUE(setText("quantityText", qty));
        ASSERT_TRUE(setText("priceText", price));
        ASSERT_TRUE(tap("completeEvent"));
        ASSERT_EQ(top()->className(), "CreateOrEditSalesAccountVC");
    }

    // A product with its category (made once), keys "T-<category>" and "P-<name>".
    void seedProduct(const std::string& category, const std::string& name, const std::string& qty,
                     const std::string& refPrice, const std::string& price) {
        auto db = SDBManager::defaultDBManager().dataBase();
        ASSERT_TRUE(db->executeUpdate(
            "INSERT INTO SProductsNameType (productsTypePrimaryKey, productsTypeName, "
            "productsTypeNameKey) SELECT 'T-' || ?1, ?1, ?1 || '-key' WHERE NOT EXISTS (SELECT 1 "
            "FROM SProductsNameType WHERE productsTypeName = ?1)",
            {category}));
        ASSERT_TRUE(db->executeUpdate(
            "INSERT INTO SProductsNameSub (productPrimaryKey, productTypeName, productTypeNameKey, "
            "productSubName, productSubNameKey, productSubReferencePrice, productSubQty, "
            "productSubPrice) VALUES ('T-' || ?1, ?1, ?1 || '-key', ?2, 'P-' || ?2, ?3, ?4, ?5)",
            {category, name, refPrice, qty, price}));
    }

    SSupplierOrCustomers partner(const std::string& tag) {
        auto all = SSupplierOrCustomersDB().findWithSupplierOrCustomersTagsLike(tag);
        EXPECT_FALSE(all.empty());
        return all.empty() ? SSupplierOrCustomers{} : all.front();
    }

    // A sale ("111") or purchase ("000") header of the side's first partner stored directly,
    // on the 9th of the given year and month at 10:00, for the journal lists.
    void seedHeader(const std::string& side, const std::string& y, const std::string& m,
                    const std::string& name, const std::string& counts, const std::string& entrys,
                    const std::string& amount, const std::string& key = "20150101000000") {
        const auto p = partner(side);
        ASSERT_TRUE(SDBManager::defaultDBManager().dataBase()->executeUpdate(
            "INSERT INTO SUserCommodity (orderPrimaryKeyDate, orderSalesTagOrPurchaseTag, "
            "orderSalesAndPurchaseTags, orderSalesAndPurchaseType, orderSupplierOrCustomerName, "
            "orderSupplierOrCustomerNameKey, orderName, orderTotalCounts, orderTotalEntrys, "
            "orderTotalAmount, remarkNotes, recordeWeekTime, recordeDateTime, minutesTime, years, "
            "months, days) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, '-', ?, ?, '10:00', ?, ?, '9')",
            {key, side, side == "111" ? "21" : "11", KL(side == "111" ? "KLSales" : "KLPurchase"),
             orEmpty(p.supplierOrCustomersName), orEmpty(p.supplierOrCustomersNameKey), name,
             counts, entrys, amount, KL("KLSaturday"), y + (m.size() < 2 ? "/0" : "/") + m + "/09",
             y, m}));
    }

    std::vector<SUserCommodity> headers() {
        return SUserCommodityDB().findWithUid_limit(std::nullopt, 10000);
    }
    std::vector<SUserCommodityOrder> linesOf(const std::string& key) {
        return SUserCommodityOrderDB().findWithSalesAndPurchasePrimaryKeyDateLike(key);
    }
    std::vector<SUserCommodityOrder> allLines() {
        return SUserCommodityOrderDB().findWithSalesAndPurchaseUid_limit(std::nullopt, 10000);
    }
    // Ends the process as a crash would (nothing saved, nothing closed) and starts anew.
    void restartAfterACrash() {
        app_.reset();
        SDBManager::close();
        UserDefaults::resetStandardUserDefaults();
        start();
    }
    std::string defaultsValue(const std::string& key) {
        return orEmpty(UserDefaults::standardUserDefaults().stringForKey(key));
    }
    TableView& table(const std::string& id) { return *top()->get<TableView>(id); }
    std::string cell(const std::string& tableId, int row, const std::string& field) {
        auto* f = table(tableId).rows.at(row).field(field);
        return f ? f->text : "<no cell " + field + ">";
    }
    // Several stored fields in one comparable text, so one EXPECT shows them all on failure.
    static std::string join(std::initializer_list<Text> fields) {
        std::string out;
        for (const Text& f : fields) out += "|" + (f ? *f : "<null>");
        return out.substr(1);
    }
};

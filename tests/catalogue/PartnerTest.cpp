// The customer and supplier lists and the partner editor: the kind follows the list that
// opened the editor, names need not be unique, edits keep the key, and deleting a partner
// removes its order headers but not their lines.
#include <gtest/gtest.h>

#include "platform/UserDefaults.h"
#include "storage/SSupplierOrCustomersDB.h"
#include "tests/catalogue/CatalogueFixture.h"

namespace {

class Partners : public CatalogueHarness {
  protected:
    std::vector<SSupplierOrCustomers> ofKind(const std::string& tag) {
        return SSupplierOrCustomersDB().findWithSupplierOrCustomersTagsLike(tag);
    }
};

}  // namespace

TEST_F(Partners, KindFollowsTheListThatOpenedTheEditor) {
    // {kind, the other kind, the list's event, screen and title after adding one}
    const char* const kinds[][5] = {
        {"111", "000", "jumpCustomersEvent", "CustomersSettingsVC", "Customers(2)"},
        {"000", "111", "jumpSupplierEvent", "SupplierSettingsVC", "Suppliers(2)"}};
    auto& defaults = UserDefaults::standardUserDefaults();
    start();
    ASSERT_TRUE(tap("jumpMoreItems2Event"));
    for (const auto& [tag, stale, open, list, count] : kinds) {
        SCOPED_TRACE(list);
        clock_->advance(std::chrono::seconds(1));
        ASSERT_TRUE(tap(open));
        ASSERT_EQ(top()->className(), list);
        // A kind left over from the other list must not leak into this one.
        defaults.setObject_forKey(stale, "000");
        ASSERT_TRUE(tap("addCompanyEvent"));
        EXPECT_EQ(orEmpty(defaults.stringForKey("000")), tag);
        ASSERT_TRUE(setText("showNameText", "Ana"));
        ASSERT_TRUE(tap("completeOrEditEvent"));
        ASSERT_EQ(top()->className(), list);
        EXPECT_EQ(top()->title, count);
        ASSERT_EQ(ofKind(tag).size(), 2u);
        EXPECT_EQ(ofKind(tag)[0].supplierOrCustomersName, "Ana");

        defaults.setObject_forKey(stale, "000");
        ASSERT_TRUE(setText("searchText", "DEFAULT"));  // the default partner, shown alone
        ASSERT_TRUE(selectRow("tableView", 0));
        EXPECT_EQ(orEmpty(defaults.stringForKey("000")), tag);
        EXPECT_EQ(fieldText("showNameText"),
                  KL(tag == std::string("111") ? "KLDefaultCustomer" : "KLDefaultSupplier"));
        ASSERT_TRUE(tap("backEvent"));
        ASSERT_TRUE(tap("backEvent"));
    }
}

TEST_F(Partners, NamesNeedNotBeUniqueAndEditsKeepKeyIndexAndKind) {
    openList("000");
    ASSERT_TRUE(tap("addCompanyEvent"));
    ASSERT_TRUE(tap("completeOrEditEvent"));
    EXPECT_EQ(shakes("showNameText"), 1) << "an empty name is refused";
    ASSERT_TRUE(tap("backEvent"));
    const std::string odd = "O'Brien, \"Bob\" <script>x</script> 🙂";
    addPartner(odd);
    addPartner(odd);  // in the same second, yet under a key of its own
    EXPECT_EQ(top()->title, "Suppliers(3)");
    auto stored = ofKind("000");
    EXPECT_EQ(stored[0].supplierOrCustomersName, odd);
    EXPECT_EQ(stored[1].supplierOrCustomersName, odd);
    EXPECT_NE(stored[0].supplierOrCustomersNameKey, stored[1].supplierOrCustomersNameKey);

    clock_->set(at(2016, 1, 2, 3, 4, 5));
    ASSERT_TRUE(selectRow("tableView", 1));
    ASSERT_TRUE(setText("showNameText", "Acme"));
    ASSERT_TRUE(tap("completeOrEditEvent"));
    ASSERT_EQ(top()->className(), "SupplierSettingsVC");
    EXPECT_EQ(cell(1, "showNameCell"), "Acme");
    auto after = ofKind("000").at(1);
    EXPECT_EQ(after.supplierOrCustomersUid, stored[1].supplierOrCustomersUid);
    EXPECT_EQ(after.supplierOrCustomersNameKey, stored[1].supplierOrCustomersNameKey);
    EXPECT_EQ(after.supplierOrCustomersIndex, stored[1].supplierOrCustomersIndex);
}

TEST_F(Partners, DeletingACustomerRemovesItsHeadersAndKeepsTheirLines) {
    openList("111");
    addPartner("Ana");
    const std::string ana = *ofKind("111").at(0).supplierOrCustomersNameKey;
    exec(
        "INSERT INTO SUserCommodity (orderPrimaryKeyDate, orderSupplierOrCustomerNameKey) "
        "VALUES ('o1', '" +
        ana + "'), ('o2', '" + ana + "'), ('o3', 'other')");
    exec("INSERT INTO SUserCommodityOrder (orderItemPrimaryKeyDate) VALUES ('o1'), ('o2')");
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(tap("deleteSupplierCustomersItemsEvent"));
    ASSERT_TRUE(sheet(0));
    ASSERT_EQ(top()->className(), "CustomersSettingsVC");
    EXPECT_EQ(top()->title, "Customers(1)");
    EXPECT_EQ(count("SSupplierOrCustomers WHERE supplierOrCustomersNameKey = '" + ana + "'"), 0);
    EXPECT_EQ(count("SUserCommodity WHERE orderPrimaryKeyDate = 'o3'"), 1);
    EXPECT_EQ(count("SUserCommodity"), 1);
    EXPECT_EQ(count("SUserCommodityOrder"), 2) << "the lines of the deleted orders stay and count";
}

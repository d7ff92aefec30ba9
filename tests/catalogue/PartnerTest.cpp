// The customer and supplier lists and the partner editor: the kind follows the list that
// opened the editor, names need not be unique, edits keep the key, and deleting a partner
// removes its order headers but not their lines.
#include <gtest/gtest.h>

#include "catalogue/AddSupplierCustomersVC.h"
#include "catalogue/CustomersSettingsVC.h"
#include "platform/Localisation.h"
#include "platform/UserDefaults.h"
#include "storage/SSupplierOrCustomersDB.h"
#include "storage/SUserCommodityDB.h"
#include "storage/SUserCommodityOrderDB.h"
#include "tests/catalogue/CatalogueFixture.h"

namespace {

class Partners : public CatalogueHarness {
  protected:
    std::vector<SSupplierOrCustomers> ofKind(const std::string& tag) {
        return SSupplierOrCustomersDB().findWithSupplierOrCustomersTagsLike(tag);
    }
    std::string kindStored() {
        return orEmpty(UserDefaults::standardUserDefaults().stringForKey("000"));
    }
};

}  // namespace

TEST_F(Partners, KindAndTitlesFollowTheListThatOpenedTheEditor) {
    openPartners("111");
    ASSERT_EQ(top()->className(), "CustomersSettingsVC");
    EXPECT_EQ(top()->title, "Customers(1)");
    EXPECT_EQ(cell(0, "showNameCell"), KL("KLDefaultCustomer"));
    auto* table = top()->get<TableView>("tableView");
    EXPECT_EQ(table->rowHeight, 70);
    EXPECT_EQ(table->rows[0].layout, "SupplierOrCustomersCell");

    // The More screen stored "111"; a stale "000" must not leak into a customer.
    UserDefaults::standardUserDefaults().setObject_forKey("000", "000");
    ASSERT_TRUE(tap("addCompanyEvent"));
    EXPECT_EQ(kindStored(), "111");
    EXPECT_EQ(top()->title, KL("KLAddCustomers"));
    EXPECT_EQ(top()->get<Button>("deleteBtn"), nullptr);
    EXPECT_EQ(top()->get<TextField>("showEmailText")->caption, KL("KLEmail"));
    EXPECT_EQ(top()->get<TextField>("showTelText")->placeholder, KL("KLTelephone"));
    ASSERT_TRUE(setText("showNameText", "Ana"));
    ASSERT_TRUE(setText("showTelText", "+34 600"));
    ASSERT_TRUE(setText("showEmailText", "ana@example.com"));
    ASSERT_TRUE(setText("showNotesText", "pays late"));
    ASSERT_TRUE(tap("completeOrEditEvent"));
    ASSERT_EQ(top()->className(), "CustomersSettingsVC");
    EXPECT_EQ(top()->title, "Customers(2)");
    EXPECT_EQ(cell(0, "showNameCell"), "Ana");
    auto customers = ofKind("111");
    ASSERT_EQ(customers.size(), 2u);
    EXPECT_EQ(customers[0].supplierOrCustomersName, "Ana");
    EXPECT_EQ(customers[0].supplierOrCustomersTelphone, "+34 600");
    EXPECT_EQ(customers[0].supplierOrCustomersAddress, "ana@example.com");
    EXPECT_EQ(customers[0].supplierOrCustomersNotes, "pays late");
    EXPECT_EQ(customers[0].supplierOrCustomersNameKey, "20150509160250");
    EXPECT_EQ(customers[0].supplierOrCustomersIndex, "20150509160250");

    ASSERT_TRUE(selectRow("tableView", 0));
    EXPECT_EQ(top()->title, KL("KLEditCustomers"));
    ASSERT_TRUE(tap("backEvent"));
    ASSERT_TRUE(tap("backEvent"));
    ASSERT_EQ(top()->className(), "MoreViewController");

    ASSERT_TRUE(tap("jumpSupplierEvent"));
    ASSERT_EQ(top()->className(), "SupplierSettingsVC");
    EXPECT_EQ(top()->title, "Suppliers(1)");
    UserDefaults::standardUserDefaults().setObject_forKey("111", "000");
    ASSERT_TRUE(tap("addCompanyEvent"));
    EXPECT_EQ(kindStored(), "000");
    EXPECT_EQ(top()->title, KL("KLAddSupplier"));
    ASSERT_TRUE(setText("showNameText", "Acme"));
    ASSERT_TRUE(tap("completeOrEditEvent"));
    EXPECT_EQ(top()->title, "Suppliers(2)");
    ASSERT_EQ(ofKind("000").size(), 2u);
    EXPECT_EQ(ofKind("000")[0].supplierOrCustomersName, "Acme");
    EXPECT_EQ(ofKind("000")[0].supplierOrCustomersTelphone, "");

    UserDefaults::standardUserDefaults().setObject_forKey("111", "000");
    ASSERT_TRUE(selectRow("tableView", 1));
    EXPECT_EQ(kindStored(), "000");
    EXPECT_EQ(top()->title, KL("KLEditSupplier"));
    EXPECT_EQ(fieldText("showNameText"), KL("KLDefaultSupplier"));
    EXPECT_EQ(fieldText("showTelText"), "-");
}

TEST_F(Partners, SameNamesAreAllKeptAndOddTextIsStoredUnchanged) {
    openPartners("111");
    ASSERT_TRUE(tap("addCompanyEvent"));
    ASSERT_TRUE(tap("completeOrEditEvent"));
    EXPECT_EQ(shakes("showNameText"), 1);
    EXPECT_EQ(top()->className(), "AddSupplierCustomersVC");
    EXPECT_EQ(ofKind("111").size(), 1u);
    ASSERT_TRUE(tap("backEvent"));

    const std::string odd = "O'Brien, \"Bob\" <script>x</script> 🙂";
    addPartner("Bob");
    clock_->advance(std::chrono::seconds(1));
    addPartner("Bob");
    clock_->advance(std::chrono::seconds(1));
    addPartner("  ", "", "", std::string(5000, 'n'));
    clock_->advance(std::chrono::seconds(1));
    addPartner(odd, "-,-", "not an address");
    EXPECT_EQ(top()->title, "Customers(5)");
    EXPECT_EQ(cell(0, "showNameCell"), odd);
    EXPECT_EQ(cell(1, "showNameCell"), "  ");
    EXPECT_EQ(cell(2, "showNameCell"), "Bob");
    EXPECT_EQ(cell(3, "showNameCell"), "Bob");
    auto customers = ofKind("111");
    EXPECT_EQ(customers[0].supplierOrCustomersName, odd);
    EXPECT_EQ(customers[0].supplierOrCustomersAddress, "not an address");
    EXPECT_EQ(customers[1].supplierOrCustomersNotes, std::string(5000, 'n'));
    EXPECT_NE(customers[2].supplierOrCustomersNameKey, customers[3].supplierOrCustomersNameKey);
}

TEST_F(Partners, EditingKeepsKeyIndexAndKind) {
    openPartners("000");
    addPartner("Acme", "1", "a@b", "n");
    const auto before = ofKind("000").at(0);
    clock_->set(at(2016, 1, 2, 3, 4, 5));
    ASSERT_TRUE(selectRow("tableView", 0));
    EXPECT_EQ(fieldText("showEmailText"), "a@b");
    EXPECT_EQ(fieldText("showNotesText"), "n");
    ASSERT_TRUE(setText("showNameText", "Acme Ltd"));
    ASSERT_TRUE(setText("showTelText", ""));
    ASSERT_TRUE(tap("completeOrEditEvent"));
    ASSERT_EQ(top()->className(), "SupplierSettingsVC");
    EXPECT_EQ(cell(0, "showNameCell"), "Acme Ltd");
    auto after = ofKind("000");
    ASSERT_EQ(after.size(), 2u);
    EXPECT_EQ(after[0].supplierOrCustomersUid, before.supplierOrCustomersUid);
    EXPECT_EQ(after[0].supplierOrCustomersNameKey, before.supplierOrCustomersNameKey);
    EXPECT_EQ(after[0].supplierOrCustomersIndex, before.supplierOrCustomersIndex);
    EXPECT_EQ(after[0].supplierOrCustomersTags, "000");
    EXPECT_EQ(after[0].supplierOrCustomersTelphone, "");
    EXPECT_EQ(after[0].supplierOrCustomersAddress, "a@b");
}

TEST_F(Partners, DeletingACustomerRemovesItsHeadersAndKeepsTheirLines) {
    openPartners("111");
    addPartner("Ana");
    const std::string ana = *ofKind("111").at(0).supplierOrCustomersNameKey;
    const std::string other = *ofKind("111").at(1).supplierOrCustomersNameKey;
    SUserCommodityDB headers;
    SUserCommodityOrderDB lines;
    for (const char* key : {"20150501000001", "20150501000002", "20150501000003"}) {
        ASSERT_TRUE(headers.saveUserCommodity(orderHeader(key, ana, "21", "3.00")));
        ASSERT_TRUE(lines.saveUserCommodityOrder(orderLine(key, "p1", "21", "2")));
    }
    ASSERT_TRUE(headers.saveUserCommodity(orderHeader("20150501000004", other, "21", "8.00")));

    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(tap("deleteSupplierCustomersItemsEvent"));
    const auto& s = top()->actionSheet();
    ASSERT_TRUE(s.has_value());
    EXPECT_EQ(s->title, KL("KLRUWantToDelete"));
    EXPECT_EQ(s->destructiveTitle, KL("KLDelete"));
    EXPECT_EQ(s->cancelTitle, KL("KLCancel"));
    EXPECT_TRUE(s->otherTitles.empty());
    ASSERT_TRUE(sheet(1));  // cancel
    EXPECT_EQ(top()->className(), "AddSupplierCustomersVC");
    EXPECT_EQ(headers.findWithUid_limit(std::nullopt, 10).size(), 4u);

    ASSERT_TRUE(tap("deleteSupplierCustomersItemsEvent"));
    ASSERT_TRUE(sheet(0));
    ASSERT_EQ(top()->className(), "CustomersSettingsVC");
    EXPECT_EQ(top()->title, "Customers(1)");
    EXPECT_TRUE(SSupplierOrCustomersDB().findWithSupplierOrCustomersKeyLike(ana).empty());
    auto left = headers.findWithUid_limit(std::nullopt, 10);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].orderSupplierOrCustomerNameKey, other);
    EXPECT_EQ(lines.findALLDataBySalesAndPurchaseTags("21").size(), 3u)
        << "the lines of the deleted orders stay and still count";

    // Deleting the last customer empties the list; the next start adds a default again.
    ASSERT_TRUE(selectRow("tableView", 0));
    ASSERT_TRUE(tap("deleteSupplierCustomersItemsEvent"));
    ASSERT_TRUE(sheet(0));
    EXPECT_EQ(top()->title, "Customers(0)");
    EXPECT_EQ(rowCount(), 0u);
    EXPECT_EQ(headers.findWithUid_limit(std::nullopt, 10).size(), 0u);
    clock_->advance(std::chrono::seconds(60));
    start();
    ASSERT_EQ(ofKind("111").size(), 1u);
    EXPECT_EQ(ofKind("000").size(), 1u);
}

#pragma once
// Every product with the quantity ever purchased, ever sold and the difference, from the
// totals of the order lines kept with each write (LedgerTotals), read when the screen is loaded.
// The search field keeps the products whose name or model holds the typed text; negative stock
// is shown in red.
#include <memory>
#include <string>
#include <vector>

#include "storage/Records.h"
#include "storage/SProductsNameSubDB.h"
#include "storage/SUserCommodityOrderDB.h"
#include "toolkit/ListSearch.h"
#include "toolkit/Screen.h"

class ALLInventoryViewController : public Screen {
  public:
    ALLInventoryViewController();
    void viewDidLoad() override;

    // Reads the products and their lines and fills the row lists below.
    void initAllDBData();

    std::unique_ptr<SProductsNameSubDB> categoryListDB;
    std::unique_ptr<SUserCommodityOrderDB> userCommodityOrderDB;
    // Row i: the product and its four texts.
    std::vector<SProductsNameSub> categoryListArray;
    std::vector<std::string> categorysNameItemsArray;
    std::vector<std::string> userPurchaseCountsArray;
    std::vector<std::string> userSalesCountsArray;
    std::vector<std::string> userInventoryCountsArray;

  private:
    void reloadRows();
    bool readFailed_ = false;  // the rows could not be read whole: none are shown
    ListSearch rowSearch_;
    void showProductHistory(int row);
};

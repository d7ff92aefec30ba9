#pragma once
// One product's all-time totals and, month by month, its order lines.
#include <memory>
#include <string>
#include <vector>

#include "platform/Text.h"
#include "storage/Records.h"
#include "storage/SUserCommodityOrderDB.h"
#include "toolkit/Screen.h"

class OneProductViewController : public Screen {
  public:
    OneProductViewController();
    void viewDidLoad() override;
    void viewWillAppear() override;

    // Set by the opener before the push.
    std::string itemProductNameTitleStr;
    Text itemProductNameUpdateKeyStr;
    std::string itemProductPurchaseCountsStr;
    std::string itemProductSalesCountsStr;
    std::string itemProductInventoryCountsStr;

    std::unique_ptr<SUserCommodityOrderDB> salesAndPurchaseManageDB;
    // The month's lines of the product by row id, newest first; a row shows only a few of
    // their columns, read straight into it.
    std::vector<Text> oneProductListArray;

    void reReloadTableViewData();

  private:
    void stepMonth(int delta);
};

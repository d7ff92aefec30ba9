#pragma once
// The dashboard: today's and this month's purchase and sales totals, the number of orders
// and the inventory quantity, computed afresh at every appearance.
#include <memory>

#include "storage/SUserCommodityDB.h"
#include "toolkit/Screen.h"

class InventoryProfitCostListViewController : public Screen {
public:
    InventoryProfitCostListViewController();
    void viewDidLoad() override;
    void viewWillAppear() override;

    std::unique_ptr<SUserCommodityDB> userCommodityDB;

private:
    Label& caption(const char* id);
    Label& value(const char* id);
};

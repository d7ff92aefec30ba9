#include "app/ScreenFactory.h"

#include "app/MoreViewController.h"
#include "stats/InventoryProfitCostListViewController.h"

std::unique_ptr<Screen> createScreen(const std::string& className) {
    if (className == "InventoryProfitCostListViewController")
        return std::make_unique<InventoryProfitCostListViewController>();
    if (className == "MoreViewController") return std::make_unique<MoreViewController>();
    return nullptr;
}

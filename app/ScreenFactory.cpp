#include "app/ScreenFactory.h"

#include "app/MoreViewController.h"
#include "stats/ALLInventoryViewController.h"
#include "stats/HomeStatisticsViewController.h"
#include "stats/InventoryProfitCostListViewController.h"
#include "stats/OneProductViewController.h"

std::unique_ptr<Screen> createScreen(const std::string& className) {
    if (className == "InventoryProfitCostListViewController")
        return std::make_unique<InventoryProfitCostListViewController>();
    if (className == "MoreViewController") return std::make_unique<MoreViewController>();
    if (className == "ALLInventoryViewController")
        return std::make_unique<ALLInventoryViewController>();
    if (className == "OneProductViewController")
        return std::make_unique<OneProductViewController>();
    if (className == "HomeStatisticsViewController")
        return std::make_unique<HomeStatisticsViewController>();
    return nullptr;
}

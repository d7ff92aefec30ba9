#include "widgets/MainBar.h"

#include <string>

#include "platform/Localisation.h"
#include "toolkit/Navigator.h"
#include "toolkit/ScreenFactory.h"

namespace MainBar {

namespace {
void pushMain(Screen& from, const char* className) {
    Navigator* nav = from.navigationController();
    auto screen = createScreen(className);
    if (!screen || !nav) return;
    // Only the screen pressed from stays below the new one (a journal's back returns to
    // it); the main screens under it can no longer be reached and would pile up with
    // every press. The dashboard at the bottom stays.
    nav->removeScreensBetweenRootAndTop();
    nav->pushViewController(std::move(screen), false);
}
}  // namespace

void install(Screen& screen, Index index) {
    const std::string n = std::to_string(static_cast<int>(index));
    struct Target {
        const char* op;
        const char* className;
        const char* titleKey;
        const char* image;
        Index index;
    };
    const Target targets[] = {
        {"jumpOutItems", "OUTItemsViewController", "KLSales", "bar_sales", kSalesJournal},
        {"jumpInItems", "INItemsViewController", "KLPurchase", "bar_purchase", kPurchaseJournal},
        {"jumpInventoryItems", "InventoryProfitCostListViewController", "KLStatistics",
         "bar_statistics", kDashboard},
        {"jumpMoreItems", "MoreViewController", "KLMore", "bar_more", kMore},
    };
    auto& bar = screen.add<ButtonBar>("tabBar");
    int position = 0;
    for (const auto& t : targets) {
        const std::string op = std::string(t.op) + n + "Event";
        bar.items.push_back({t.op, KL(t.titleKey), op, t.image});
        if (t.index == index) bar.current = position;
        ++position;
        const char* cls = t.className;
        screen.on(op, [&screen, cls](const ActionArgs&) { pushMain(screen, cls); });
    }
}

}  // namespace MainBar

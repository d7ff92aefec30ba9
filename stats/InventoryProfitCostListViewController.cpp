#include "stats/InventoryProfitCostListViewController.h"

#include <string>

#include "platform/Localisation.h"
#include "storage/ConstParameterAndMethod.h"
#include "storage/LedgerFigures.h"
#include "storage/NumberText.h"
#include "toolkit/Navigator.h"
#include "toolkit/ScreenFactory.h"
#include "widgets/MainBar.h"
#include "widgets/ScreenParts.h"

namespace {
std::string joined(const char* a, const char* b) {
    return KL(a) + "(" + KL(b) + ")";
}
}  // namespace

InventoryProfitCostListViewController::InventoryProfitCostListViewController()
    : Screen("InventoryProfitCostListViewController") {}

Label& InventoryProfitCostListViewController::caption(const char* id) {
    return add<Label>(id);
}

Label& InventoryProfitCostListViewController::value(const char* id) {
    auto& l = add<Label>(id);
    l.text = "0.00";
    return l;
}

void InventoryProfitCostListViewController::viewDidLoad() {
    title = KL("KLStatistics");
    caption("topTitleLbl").text = KL("KLStatistics");
    caption("showYearsAndMonthLbl").text = ConstParameterAndMethod::getCurrentYearAndMonth();
    caption("showTodayPurchaseLbl").text = joined("KLToday", "KLPurchase");
    value("showTodayPurchaseValueText");
    caption("showTodaySalesLbl").text = joined("KLToday", "KLSales");
    value("showTodaySalesValueText");
    caption("showMonthPurchaseLbl").text = joined("KLThisMonth", "KLPurchase");
    value("showMonthPurchaseValueText");
    caption("showMonthSalesLbl").text = joined("KLThisMonth", "KLSales");
    value("showMonthSalesValueText");
    caption("showMyOrderQtyLbl").text = joined("KLOrder", "KLQty");
    value("showMyOrderQtyValueText").text = "0";
    caption("showMyInventoryQtyLbl").text = joined("KLInventory", "KLQty");
    value("showMyInventoryQtyValueText");

    auto& inv = add<Button>("showInventoryStatisticsBtn");
    inv.title = KL("KLInventoryStatistics");
    inv.action = "showInventoryStatisticsEvent";
    inv.style = "primary";
    auto& ord = add<Button>("showOrderStatisticsBtn");
    ord.title = KL("KLOrderStatistics");
    ord.action = "showOrderStatisticsEvent";
    ord.style = "primary";

    auto pushStats = [this](const char* className) {
        if (auto s = createScreen(className))
            navigationController()->pushViewController(std::move(s), true);
    };
    on("showInventoryStatisticsEvent",
       [pushStats](const ActionArgs&) { pushStats("ALLInventoryViewController"); });
    on("showOrderStatisticsEvent",
       [pushStats](const ActionArgs&) { pushStats("HomeStatisticsViewController"); });

    MainBar::install(*this, MainBar::kDashboard);
}

void InventoryProfitCostListViewController::viewWillAppear() {
    const CalendarDate today = ConstParameterAndMethod::today();
    const std::string year = formatCount(today.year);
    const std::string month = formatCount(today.month);
    const std::string day = formatCount(today.day);

    userCommodityDB = std::make_unique<SUserCommodityDB>();
    // Only the summed and counted columns are read, with the conditions of the store's finds.
    // A figure that could not be read whole shows the dash, never a part of its sum.
    LedgerFigures figures(userCommodityDB->db());
    bool whole = true;
    auto show = [&](const char* id, const std::optional<DecimalSum>& figure) {
        get<Label>(id)->text = ScreenParts::figureText(figure);
        whole = whole && figure;
    };
    show("showTodayPurchaseValueText", figures.sumOrderAmounts(year, month, day, "11"));
    show("showTodaySalesValueText", figures.sumOrderAmounts(year, month, day, "21"));
    show("showMonthPurchaseValueText", figures.sumOrderAmounts(year, month, std::nullopt, "11"));
    show("showMonthSalesValueText", figures.sumOrderAmounts(year, month, std::nullopt, "21"));
    // The true number of orders; a figure capped at the newest 10000 would be wrong.
    const auto orders = figures.countOrders();
    get<Label>("showMyOrderQtyValueText")->text =
        orders ? formatCount(*orders) : ScreenParts::kUnreadFigure;
    whole = whole && orders;
    // Both kinds in one pass over the lines.
    const auto stock = figures.sumLineQuantitiesByKind();
    show("showMyInventoryQtyValueText",
         stock ? std::optional(stock->purchased - stock->sold) : std::nullopt);
    if (!whole) ScreenParts::reportFailedRead(*this);
}

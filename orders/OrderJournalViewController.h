#pragma once
// What the sales journal and the purchase journal share: the orders of one month for one
// partner side, newest first, with the month's totals, month stepping, and the doors to the
// order editor. The two journals differ only in the values of their Side.
#include <memory>
#include <string>
#include <vector>

#include "storage/Records.h"
#include "storage/SUserCommodityDB.h"
#include "widgets/MainBar.h"

class OrderJournalViewController : public Screen {
  public:
    struct Side {
        const char* partnerTag;    // "111" sales, "000" purchases
        const char* kindTitleKey;  // "KLSales" / "KLPurchase"
        const char* kindCode;      // "21" / "11"
        MainBar::Index barIndex;
    };

    OrderJournalViewController(const std::string& className, Side side);
    void viewDidLoad() override;
    void viewWillAppear() override;

    void reReloadTableViewData();

    // The listed orders by row id, newest first. A touched order is read whole when it is
    // opened: a month holds hundreds of headers and a row shows only a few of their columns.
    std::vector<Text> orderItems;
    std::unique_ptr<SUserCommodityDB> userCommodityDB;

  private:
    void backwardEvent();
    void forwardEvent();
    void addNewSalesOrPurchase();
    void openOrder(int row);
    // Moves the month label by `delta`, wrapping into the year label at 0 and 13.
    void stepMonth(int delta);

    Side side_;
};

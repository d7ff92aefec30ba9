#pragma once
// The purchase journal: purchase orders (partner tag "000") of one month.
#include "orders/OrderJournalViewController.h"

class INItemsViewController : public OrderJournalViewController {
  public:
    INItemsViewController()
        : OrderJournalViewController(
              "INItemsViewController",
              {Codes::kSupplier, "KLPurchase", Codes::kPurchase, MainBar::kPurchaseJournal}) {}
};

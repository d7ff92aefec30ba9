#pragma once
// The sales journal: sales orders (partner tag "111") of one month.
#include "orders/OrderJournalViewController.h"

class OUTItemsViewController : public OrderJournalViewController {
  public:
    OUTItemsViewController()
        : OrderJournalViewController(
              "OUTItemsViewController",
              {Codes::kCustomer, "KLSales", Codes::kSale, MainBar::kSalesJournal}) {}
};

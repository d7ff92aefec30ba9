#pragma once
// The products of the category chosen last (user defaults "ProductsPrimaryKey"), newest first.
#include <memory>
#include <vector>

#include "storage/SProductsNameSubDB.h"
#include "toolkit/Screen.h"
#include "toolkit/TableView.h"

class ProductSubItemListViewController : public Screen {
  public:
    ProductSubItemListViewController();
    void viewDidLoad() override;
    void viewWillAppear() override;
    void viewDidAppear() override;

    std::unique_ptr<SProductsNameSubDB> productNameSubModelDB;
    std::vector<SProductsNameSub> productSubItemListArray;

  private:
    void tableView_didSelectRowAtIndexPath(int row);
    TableView* table_ = nullptr;
};

#pragma once
// The products of the category chosen last (user defaults "ProductsPrimaryKey"), newest first;
// the search field keeps those whose name or model holds the typed text.
#include <memory>
#include <vector>

#include "storage/SProductsNameSubDB.h"
#include "toolkit/ListSearch.h"
#include "toolkit/Screen.h"
#include "toolkit/SearchField.h"
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
    void showRows();
    TableView* table_ = nullptr;
    SearchField* search_ = nullptr;
    ListSearch rowSearch_;
};

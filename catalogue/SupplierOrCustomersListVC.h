#pragma once
// The partner list shared by the customer list and the supplier list: the partners of one
// tag, newest first; a row opens the partner for editing, the add button adds one.
#include <memory>
#include <string>
#include <vector>

#include "storage/SSupplierOrCustomersDB.h"
#include "toolkit/Screen.h"
#include "toolkit/TableView.h"

class SupplierOrCustomersListVC : public Screen {
  public:
    // `kind`: the partner tag listed and stored under "000" before opening the editor;
    // `titleKey`: the text of the title.
    SupplierOrCustomersListVC(std::string className, std::string kind, std::string titleKey);
    void viewDidLoad() override;
    void viewWillAppear() override;

    const std::string& kind() const { return kind_; }

    std::unique_ptr<SSupplierOrCustomersDB> companyModelDB;
    std::vector<SSupplierOrCustomers> customersTypeListArray;

  private:
    void tableView_didSelectRowAtIndexPath(int row);
    void addCompanyEvent();
    void storeKind();
    std::string kind_;
    std::string titleKey_;
    TableView* table_ = nullptr;
};

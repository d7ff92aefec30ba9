#pragma once
#include "catalogue/SupplierOrCustomersListVC.h"
#include "storage/Records.h"

// The customer list (tag "111").
class CustomersSettingsVC : public SupplierOrCustomersListVC {
  public:
    CustomersSettingsVC()
        : SupplierOrCustomersListVC("CustomersSettingsVC", Codes::kCustomer, "KLAllCustomers") {}
};

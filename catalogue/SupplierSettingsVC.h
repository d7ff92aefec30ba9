#pragma once
#include "catalogue/SupplierOrCustomersListVC.h"
#include "storage/Records.h"

// The supplier list (tag "000").
class SupplierSettingsVC : public SupplierOrCustomersListVC {
  public:
    SupplierSettingsVC()
        : SupplierOrCustomersListVC("SupplierSettingsVC", Codes::kSupplier, "KLAllSupplier") {}
};

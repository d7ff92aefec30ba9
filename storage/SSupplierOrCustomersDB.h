#pragma once
#include "storage/SStore.h"

// Partners: suppliers ("000") and customers ("111").
class SSupplierOrCustomersDB : public SStore<SSupplierOrCustomers> {
public:
    using SStore::SStore;
    bool createSupplierOrCustomersDataBase();
    bool saveSupplierOrCustomers(const SSupplierOrCustomers& r);
    bool mergeWithSupplierOrCustomers_changeID(const SSupplierOrCustomers& r, const Text& uid);
    bool deleteSupplierOrCustomersKey(const Text& key);
    bool deleteSupplierOrCustomersWithId(const Text& uid);
    // Deletes the partner by row id and, unless another partner still holds its key (two
    // partners made with one key by an older version), the order headers of the key (not
    // their lines); one transaction. False when no partner has the row id.
    bool deletePartnerWithId_nameKey(const Text& uid, const Text& key);
    std::vector<SSupplierOrCustomers> findWithUid_limit(const Text& uid, int limit);
    std::vector<SSupplierOrCustomers> findWithSupplierOrCustomersKeyLike(const Text& key);
    std::vector<SSupplierOrCustomers> findWithSupplierOrCustomersTagsLike(const Text& tag);
    std::vector<SSupplierOrCustomers> findWithSupplierOrCustomersExistsLike(const Text& name);
};

#pragma once
#include "storage/SStore.h"

// Categories.
class SProductsNameTypeDB : public SStore<SProductsNameType> {
public:
    using SStore::SStore;
    bool createProductsNameTypeDataBase();
    bool saveProductsNameType(const SProductsNameType& r);
    bool mergeWithProductsNameType_changeID(const SProductsNameType& r, const Text& uid);
    bool deleteProductsNameTypeKey(const Text& nameKey);
    bool deleteProductsNameTypeWithId(const Text& uid);
    // The category by row id and the products filed under its primary key (the key its
    // products carry), in one transaction. False when no category has the row id.
    bool deleteCategoryWithId_primaryKey(const Text& uid, const Text& primaryKey);
    std::vector<SProductsNameType> findWithUid_limit(const Text& uid, int limit);
    std::vector<SProductsNameType> findWithProductsNameTypeExistsLike(const Text& name);
    std::vector<SProductsNameType> findWithProductsNameTypeKeyLike(const Text& nameKey);
    std::vector<SProductsNameType> findWithProductsTypePrimaryKeyLike(const Text& primaryKey);
};

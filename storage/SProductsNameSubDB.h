#pragma once
#include "storage/SStore.h"

// Products.
class SProductsNameSubDB : public SStore<SProductsNameSub> {
public:
    using SStore::SStore;
    bool createProductNameDataBase();
    bool saveProductNameSub(const SProductsNameSub& r);
    bool mergeWithProductNameSub_changeID(const SProductsNameSub& r, const Text& uid);
    bool deleteProductWithNameSubKeyDate(const Text& productKey);
    bool deleteProductPrimaryKey(const Text& categoryKey);
    bool deleteProductsNameSubWithId(const Text& uid);
    // Deletes the product by row id and, unless another product still holds its key (two
    // products made with one key by an older version), every order line of the key; one
    // transaction. False when no product has the row id.
    bool deleteProductWithId_nameKey(const Text& uid, const Text& productKey);
    std::vector<SProductsNameSub> findWithUid_limit(const Text& uid, int limit);
    // The products of findWithUid_limit (no uid, `limit`), newest first, with only what the
    // stock overview shows and searches: row id, name, model, key and reference price; the rest
    // is absent.
    std::vector<SProductsNameSub> findOverviewWithLimit(int limit);
    std::vector<SProductsNameSub> findWithProductPrimaryKeyLike(const Text& categoryKey);
    std::vector<SProductsNameSub> findWithProductNameSubExistsLike_findWithProductPrimaryKeyLike(
        const Text& name, const Text& categoryKey);
    std::vector<SProductsNameSub> findWithProductNameSubKeyDateLike(const Text& productKey);
};

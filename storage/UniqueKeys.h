#pragma once
// Keys for new records. A key is the time key of now ("yyyyMMddHHmmss"); when a stored
// record of the same role already holds it (two records made within one second, or a clock
// set back), the next free second is taken instead. A delete by key then reaches only the
// records it was made for.
#include <memory>
#include <string>

#include "Tools/SQL/SQLDatabase.h"

class UniqueKeys {
  public:
    UniqueKeys();  // on the shared connection
    explicit UniqueKeys(std::shared_ptr<SQLDatabase> db) : _db(std::move(db)) {}

    // An order key, free among the headers and among the lines: lines left under a key
    // (an abandoned order, a deleted partner's orders) must not join a new order.
    std::string newOrderKey();
    // One key for a new category's primary key and name key, free among both and among
    // the products' category keys.
    std::string newCategoryKey();
    // A product key, free among the products and the order lines.
    std::string newProductKey();
    // `prefix` followed by a time key (the default partners carry their name in front), free
    // among the partners and the order headers' partner keys.
    std::string newPartnerKey(const std::string& prefix = "");

    // The time key one second later ("20151231235959" → "20160101000000"); empty when `key`
    // is not a 14-digit time key.
    static std::string nextSecond(const std::string& key);

  private:
    // The first key from now on, `prefix` + time key, for which `takenQuery` (one "?1"
    // parameter, the key) gives no row.
    std::string firstFree(const std::string& prefix, const char* takenQuery);
    std::shared_ptr<SQLDatabase> _db;
};

#pragma once
// Figures the screens only sum or count, read column by column instead of as whole
// records. Each keeps the row order of the corresponding store find (newest first) so the
// single-precision sums come out exactly as summing the records would.
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "Tools/SQL/SQLDatabase.h"
#include "platform/Text.h"

class LedgerFigures {
  public:
    LedgerFigures();  // on the shared connection
    explicit LedgerFigures(std::shared_ptr<SQLDatabase> db) : db_(std::move(db)) {}

    // The number of order headers of every kind.
    long countOrders();
    // Sum of orderItemQuantity over the lines of one kind, newest line first.
    float sumLineQuantities(const Text& kind);
    // Sum of orderTotalAmount over the headers of a month (and day, when given) and kind.
    float sumOrderAmounts(const Text& year, const Text& month, const Text& day, const Text& kind);

    // Both kinds' sums of orderItemQuantity in one pass over the lines, each in the order
    // of its find (newest first): the lines of "11" and of "21".
    struct KindQuantities {
        float purchased = 0;
        float sold = 0;
    };
    KindQuantities sumLineQuantitiesByKind();

    // Per product key, in one pass over the lines: the number of its lines of any kind and
    // its sums of orderItemQuantity over kind "11" and "21", each added newest line first as
    // the finds by key (and kind) list them.
    struct ProductLines {
        long lines = 0;
        float purchased = 0;
        float sold = 0;
    };
    using ProductLinesByKey = std::unordered_map<std::string, ProductLines>;
    ProductLinesByKey productLines();

    // Sums of orderTotalAmount, orderTotalCounts and orderTotalEntrys over the headers that
    // a period find selects; `where` is that find's condition, `args` its arguments.
    struct OrderTotals {
        float amount = 0;
        float counts = 0;
        float entrys = 0;
    };
    OrderTotals sumOrderTotals(const std::string& where, const std::vector<SQLValue>& args);

    // Sums of orderTotalAmount per month 1..12 of a year and kind, each month's headers
    // added newest first, as twelve month finds would list them; in one query.
    std::array<float, 12> monthAmounts(const Text& year, const Text& kind);

    // The name of each partner key as the find by key gives it first: the newest partner
    // holding the key. Keys that no partner holds are absent.
    std::unordered_map<std::string, Text> partnerNamesByKey();

    // The columns a journal row shows or sums, of the headers the month find of a partner
    // side selects, newest first as that find lists them. The views point into the current
    // row and are valid only during the call; absent for NULL.
    struct JournalOrder {
        using View = TextView;
        View uid, recordeDateTime, minutesTime, recordeWeekTime, orderName,
            orderSalesTagOrPurchaseTag, orderSupplierOrCustomerName, orderSupplierOrCustomerNameKey,
            orderTotalCounts, orderTotalEntrys, orderTotalAmount, orderSalesAndPurchaseType;
    };
    void eachJournalOrder(const Text& year, const Text& month, const Text& partnerSide,
                          const std::function<void(const JournalOrder&)>& row);

    // The same for a product history row: the lines of one product key in a month, newest
    // first as the month find by key lists them.
    struct HistoryLine {
        using View = TextView;
        View orderItemUid, orderItemSalesAndPurchaseTags, orderItemModel, orderItemTotalAmount,
            orderItemQuantity, orderItemUnit, orderItemUnitPrice, orderItemDateTime,
            orderItemMinutesTime;
    };
    void eachHistoryLine(const Text& year, const Text& month, const Text& productKey,
                         const std::function<void(const HistoryLine&)>& row);

    // The columns the orders export writes, of every order header, newest first as the
    // store's unlimited page lists them: orderSalesAndPurchaseType, orderName,
    // orderTotalCounts, orderTotalEntrys, orderTotalAmount, recordeDateTime, recordeWeekTime,
    // remarkNotes (absent for NULL).
    void eachExportRow(const std::function<void(const std::array<Text, 8>&)>& row);

    // The spreadsheet workbook's two sheets, read in place (views valid only during the call,
    // absent for NULL). Orders: every header, newest first, with the export's eight columns,
    // then orderSupplierOrCustomerName and minutesTime.
    void eachWorkbookOrder(const std::function<void(const std::array<TextView, 10>&)>& row);
    // Lines: the lines of those headers (by order key), newest header first and each header's
    // lines in the order they were added: orderName, recordeDateTime (the header's),
    // orderItemProductName, orderItemModel, orderItemUnit, orderItemQuantity,
    // orderItemUnitPrice, orderItemTotalAmount.
    void eachWorkbookLine(const std::function<void(const std::array<TextView, 8>&)>& row);

    // One column of a query, in row order (absent for NULL). Empty when the query fails.
    std::vector<Text> column(const std::string& sql, const std::vector<SQLValue>& args);

  private:
    std::shared_ptr<SQLDatabase> db_;
};

// Adds the floatValue of each text in list order, in single precision.
float sumInOrder(const std::vector<Text>& texts);

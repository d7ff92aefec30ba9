#pragma once
// Figures the screens only sum or count, read column by column instead of as whole
// records, with the conditions of the corresponding store finds. Sums are exact
// (DecimalSum), so they need not follow the finds' row order. A read that could not be read
// whole (no connection, a statement that could not be prepared, a failed step such as a
// damaged page) gives no figure: the optional is empty, or the row walk returns false after
// handing over only some rows.
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "Tools/SQL/SQLDatabase.h"
#include "platform/Text.h"
#include "storage/DecimalSum.h"

class LedgerFigures {
  public:
    LedgerFigures();  // on the shared connection
    explicit LedgerFigures(std::shared_ptr<SQLDatabase> db) : db_(std::move(db)) {}

    // The number of order headers of every kind.
    std::optional<long> countOrders();
    // Sum of orderTotalAmount over the headers of a month (and day, when given) and kind.
    std::optional<DecimalSum> sumOrderAmounts(const Text& year, const Text& month, const Text& day,
                                              const Text& kind);

    // Sums of orderTotalAmount, orderTotalCounts and orderTotalEntrys over the headers that
    // a period find selects; `where` is that find's condition, `args` its arguments.
    struct OrderTotals {
        DecimalSum amount;
        DecimalSum counts;
        DecimalSum entrys;
    };
    std::optional<OrderTotals> sumOrderTotals(const std::string& where,
                                              const std::vector<SQLValue>& args);

    // Sums of orderTotalAmount per month 1..12 of a year and kind, as the twelve month finds
    // select them; in one query.
    std::optional<std::array<DecimalSum, 12>> monthAmounts(const Text& year, const Text& kind);

    // The name of each partner key as the find by key gives it first: the newest partner
    // holding the key. Keys that no partner holds are absent.
    std::optional<std::unordered_map<std::string, Text>> partnerNamesByKey();

    // The columns a journal row shows or sums, of the headers the month find of a partner
    // side selects, newest first as that find lists them. The views point into the current
    // row and are valid only during the call; absent for NULL. False when the rows could not
    // be read whole: those handed over are then only a part.
    struct JournalOrder {
        using View = TextView;
        View uid, recordeDateTime, minutesTime, recordeWeekTime, orderName,
            orderSalesTagOrPurchaseTag, orderSupplierOrCustomerName, orderSupplierOrCustomerNameKey,
            orderTotalCounts, orderTotalEntrys, orderTotalAmount, orderSalesAndPurchaseType;
    };
    bool eachJournalOrder(const Text& year, const Text& month, const Text& partnerSide,
                          const std::function<void(const JournalOrder&)>& row);

    // The same for a product history row: the lines of one product key in a month, newest
    // first as the month find by key lists them.
    struct HistoryLine {
        using View = TextView;
        View orderItemUid, orderItemSalesAndPurchaseTags, orderItemModel, orderItemTotalAmount,
            orderItemQuantity, orderItemUnit, orderItemUnitPrice, orderItemDateTime,
            orderItemMinutesTime;
    };
    bool eachHistoryLine(const Text& year, const Text& month, const Text& productKey,
                         const std::function<void(const HistoryLine&)>& row);

    // The columns the orders export writes, of every order header, newest first as the
    // store's unlimited page lists them: orderSalesAndPurchaseType, orderName,
    // orderTotalCounts, orderTotalEntrys, orderTotalAmount, recordeDateTime, recordeWeekTime,
    // remarkNotes (absent for NULL).
    bool eachExportRow(const std::function<void(const std::array<Text, 8>&)>& row);

    // The spreadsheet workbook's two sheets, read in place (views valid only during the call,
    // absent for NULL); false when they could not be read whole. Orders: every header, newest
    // first, with the export's eight columns, then orderSupplierOrCustomerName and minutesTime.
    bool eachWorkbookOrder(const std::function<void(const std::array<TextView, 10>&)>& row);
    // Lines: the lines of those headers (by order key), newest header first and each header's
    // lines in the order they were added: orderName, recordeDateTime (the header's),
    // orderItemProductName, orderItemModel, orderItemUnit, orderItemQuantity,
    // orderItemUnitPrice, orderItemTotalAmount.
    bool eachWorkbookLine(const std::function<void(const std::array<TextView, 8>&)>& row);

  private:
    // Runs a query and hands each row over; false when it could not be read whole.
    bool eachRow(const std::string& sql, const std::vector<SQLValue>& args,
                 const std::function<void(const SQLResultSet&)>& row);

    std::shared_ptr<SQLDatabase> db_;
};

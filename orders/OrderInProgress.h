#pragma once
// Which order an order editor has open, kept in the user defaults from the moment the
// journal opens it until it is saved, deleted or left. A run that ends with the editor open
// (a crash, or the program stopped) leaves the mark, and the next start tidies up after it:
// the lines picked for a new order that was never saved are removed, and an opened order's
// stored totals are brought in line with its lines. Both are single indexed reads, so the
// check runs at every start.
#include <string>

namespace OrderInProgress {

// The journal opens the editor for a new order with this key, or for the stored order with
// this row id.
void beganNewOrder(const std::string& orderKey);
void beganEditingOrder(const std::string& uid);
// The editor saved, deleted or left its order.
void ended();

struct Repairs {
    bool found = false;         // a mark was left by the last run
    int ordersRepaired = 0;     // headers whose totals were rewritten from their lines
    int ghostLinesRemoved = 0;  // lines of a new order that was never saved
};
// At start, before any screen: tidies up after an editor the last run left open.
Repairs repairUnfinishedOrder();

}  // namespace OrderInProgress

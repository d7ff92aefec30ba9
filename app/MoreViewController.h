#pragma once
// The More screen: the partner lists, the catalogue, the CSV export and the about screen.
#include <vector>

#include "platform/UI.h"
#include "storage/Records.h"

class MoreViewController : public Screen {
public:
    MoreViewController();
    void viewDidLoad() override;

    // The order headers read when the screen was loaded, exported by the export row.
    std::vector<SUserCommodity> exportDataArray;

private:
    void jumpToPartners(const char* kind, const char* className);
};

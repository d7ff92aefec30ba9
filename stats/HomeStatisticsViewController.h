#pragma once
// Sales or purchase totals over one day, week, month or year, and a chart of the amounts
// of the twelve months of today's year.
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "storage/DecimalSum.h"
#include "storage/SUserCommodityDB.h"
#include "toolkit/Screen.h"
#include "widgets/ColumnChart.h"
#include "widgets/FloatBox.h"
#include "widgets/SegmentView.h"

class HomeStatisticsViewController : public Screen,
                                     public ColumnChartDataSource,
                                     public ColumnChartDelegate,
                                     public SegmentViewDelegate {
  public:
    HomeStatisticsViewController();
    void viewDidLoad() override;
    void viewWillAppear() override;

    // Period kind: shows that kind's labels and remembers its text under "KLDays".
    void hideSelectIndexStr(const std::string& kindText);
    void reReloadUIViewData();
    void initColumnChartUIData();
    void lastMonthDataEvent();
    void nextMonthDataEvent();
    void choseEvent();
    void didClickOnButtonIndex(int index);
    void didClickOnDestructiveButton() {}

    // SegmentViewDelegate
    void segmentViewSelectIndex(int index) override;

    // ColumnChartDataSource
    int numberOfColumnsInColumnChart(ColumnChart& chart) override;
    int numberOfColumnsPresentedEveryTime(ColumnChart& chart) override;
    std::optional<ColumnDataModel> highestValueColumnChart(ColumnChart& chart) override;
    std::optional<ColumnDataModel> columnChart_valueForIndex(ColumnChart& chart,
                                                             int index) override;

    // ColumnChartDelegate
    void columnChart_didSelectColumn(ColumnChart& chart, int column) override;
    void columnChart_fingerDidEnterColumn(ColumnChart& chart, int column) override;
    void columnChart_fingerDidLeaveColumn(ColumnChart& chart, int column) override;
    void fingerDidLeaveColumnChart(ColumnChart& chart) override;

    std::unique_ptr<SUserCommodityDB> userCommodityDB;
    std::vector<ColumnDataModel> tempData;
    // Amount of each month 1..12 of today's year, for the selected kind.
    std::array<DecimalSum, 12> monthBuckets{};
    int columnSelected = -1;
    std::string tempColor;
    FloatBox* floatBox = nullptr;        // shown while a finger rests on a column
    ColumnChart* columnChart = nullptr;  // owned by the screen's widgets
    SegmentView* segmentView = nullptr;

  private:
    void setKindTitle(const char* kindKey);
    Label& label(const char* id) { return *get<Label>(id); }
};

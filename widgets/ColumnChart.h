#pragma once
// A column chart: one column per value the data source gives, drawn inside a frame, with
// the finger events (enter, leave, select) handed to its delegate.
#include <optional>
#include <string>
#include <vector>

#include "toolkit/Screen.h"

struct ColumnDataModel {
    std::string label;
    float value = 0;
    int index = 0;
    std::string unit;
};

class ColumnChart;

// What the chart asks for when it is (re)loaded.
class ColumnChartDataSource {
  public:
    virtual ~ColumnChartDataSource() = default;
    virtual int numberOfColumnsInColumnChart(ColumnChart& chart) = 0;
    virtual int numberOfColumnsPresentedEveryTime(ColumnChart& chart) = 0;
    // The column every grade is measured against; none: every column is flat.
    virtual std::optional<ColumnDataModel> highestValueColumnChart(ColumnChart& chart) = 0;
    virtual std::optional<ColumnDataModel> columnChart_valueForIndex(ColumnChart& chart,
                                                                     int index) = 0;
};

// What the chart tells. Columns are given by their position from the left, from 0.
class ColumnChartDelegate {
  public:
    virtual ~ColumnChartDelegate() = default;
    virtual void columnChart_didSelectColumn(ColumnChart& chart, int column) = 0;
    virtual void columnChart_fingerDidEnterColumn(ColumnChart& chart, int column) = 0;
    virtual void columnChart_fingerDidLeaveColumn(ColumnChart& chart, int column) = 0;
    virtual void fingerDidLeaveColumnChart(ColumnChart& chart) = 0;
};

// One laid-out column, in the coordinates of the screen. The column spans the whole plot
// height; its bar fills the lower `grade` (0..1) of it.
struct ChartColumn {
    int index = 0;  // position from the left
    std::string label;
    float value = 0;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    double grade = 0;
    std::string color;
};

class ColumnChart : public Widget, public EventWidget {
  public:
    using Widget::Widget;
    const char* kind() const override { return "chart"; }

    static constexpr const char* kColumnColor = "steelblue";
    static constexpr double kLabelBand = 20;  // room under the columns for their labels

    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    void setFrame(double fx, double fy, double fw, double fh);

    ColumnChartDataSource* dataSource = nullptr;
    ColumnChartDelegate* delegate = nullptr;

    // Asks the data source again and lays the columns out afresh (default colours, no
    // selection).
    void reloadData();

    const std::vector<ChartColumn>& columns() const { return columns_; }
    const ChartColumn* column(int i) const;
    std::string columnColor(int i) const;
    void setColumnColor(int i, const std::string& color);
    std::optional<float> highest() const { return highest_; }
    int selected() const { return selected_; }

    // type "chart", value "enter" | "leave" | "leaveChart" | "select", index.
    bool handle(const UIEvent& e) override;

  protected:
    void describeInto(ViewNode& node) const override;

  private:
    std::vector<ChartColumn> columns_;
    std::optional<float> highest_;
    int selected_ = -1;
};

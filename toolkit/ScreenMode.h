#pragma once
// The pixel size of the current screen mode, as the page reports it; it picks each
// screen's layout variant.
#include <optional>
#include <string>
#include <utility>

class ScreenMode {
  public:
    static std::optional<std::pair<int, int>> pixelSize();
    static void setPixelSize(std::optional<std::pair<int, int>> size);
    // The class name for exactly 640 by 1136 pixels; else the class name + "960".
    static std::string layoutFor(const std::string& className);
};

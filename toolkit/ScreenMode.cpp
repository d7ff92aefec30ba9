#include "toolkit/ScreenMode.h"

namespace {
std::optional<std::pair<int, int>>& pixelSizeSlot() {
    static std::optional<std::pair<int, int>> size;
    return size;
}
}  // namespace

std::optional<std::pair<int, int>> ScreenMode::pixelSize() {
    return pixelSizeSlot();
}
void ScreenMode::setPixelSize(std::optional<std::pair<int, int>> size) {
    pixelSizeSlot() = size;
}

std::string ScreenMode::layoutFor(const std::string& className) {
    auto size = pixelSize();
    if (size && size->first == 640 && size->second == 1136) return className;
    return className + "960";
}

#include "toolkit/ScreenFactory.h"

namespace {
ScreenMaker& makerSlot() {
    static ScreenMaker maker;
    return maker;
}
}  // namespace

void installScreenMaker(ScreenMaker maker) {
    makerSlot() = std::move(maker);
}

std::unique_ptr<Screen> createScreen(const std::string& className) {
    return makerSlot() ? makerSlot()(className) : nullptr;
}

#include "catalogue/ScreenParts.h"

#include "platform/Localisation.h"
#include "storage/NumberText.h"

namespace catalogue {

std::string titleWithCount(const std::string& title, size_t count) {
    return title + "(" + formatCount(static_cast<long>(count)) + ")";
}

void reportFailedWrite(Screen& screen) {
    screen.showToast(KL("KLOperationFailed"), 1.5);
}

}  // namespace catalogue

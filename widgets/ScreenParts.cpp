#include "widgets/ScreenParts.h"

#include "platform/Localisation.h"
#include "storage/NumberText.h"
#include "toolkit/Navigator.h"

namespace ScreenParts {

Button& addBackButton(Screen& screen, const std::string& action) {
    auto& b = screen.add<Button>("backBtn");
    b.style = "back";
    b.image = "nav_back";
    b.action = action;
    if (!screen.hasAction(action)) {
        screen.on(action, [&screen](const ActionArgs&) {
            screen.navigationController()->popViewControllerAnimated(true);
        });
    }
    return b;
}

std::string titleWithCount(const std::string& title, size_t count) {
    return title + "(" + formatCount(static_cast<long>(count)) + ")";
}

void confirmDeleteWithOK(Screen& screen, std::function<void(int)> onClick) {
    screen.endEditing();
    ActionSheet sheet;
    sheet.title = KL("KLRUWantToDelete");
    sheet.cancelTitle = KL("KLCancel");
    sheet.otherTitles = {KL("KLOK")};
    sheet.onClick = std::move(onClick);
    screen.showActionSheet(std::move(sheet));
}

void reportFailedWrite(Screen& screen) {
    screen.showToast(KL("KLOperationFailed"), 1.5);
}

void reportFailedRead(Screen& screen) {
    screen.showToast(KL("KLOperationFailed"), 1.5);
}

std::string figureText(const std::optional<DecimalSum>& figure) {
    return figure ? figure->text() : kUnreadFigure;
}

void setListTitle(Screen& screen, const std::string& title, size_t count, bool readFailed) {
    if (!readFailed) {
        screen.title = titleWithCount(title, count);
        return;
    }
    screen.title = title + "(" + kUnreadFigure + ")";
    reportFailedRead(screen);
}

}  // namespace ScreenParts

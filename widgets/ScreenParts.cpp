#include "widgets/ScreenParts.h"

#include "platform/Localisation.h"
#include "storage/NumberText.h"
#include "toolkit/Navigator.h"

namespace ScreenParts {

namespace {
Button& addLeavingButton(Screen& screen, const std::string& action, const std::string& id,
                         const char* image, const char* nameKey) {
    auto& b = screen.add<Button>(id);
    b.style = "back";
    b.image = image;
    b.accessibleName = KL(nameKey);
    b.action = action;
    if (!screen.hasAction(action)) {
        screen.on(action, [&screen](const ActionArgs&) {
            screen.navigationController()->popViewControllerAnimated(true);
        });
    }
    return b;
}
}  // namespace

Button& addBackButton(Screen& screen, const std::string& action, const std::string& id) {
    return addLeavingButton(screen, action, id, "nav_back", "KLBack");
}

Button& addCloseButton(Screen& screen, const std::string& action, const std::string& id) {
    return addLeavingButton(screen, action, id, "nav_close", "KLClose");
}

Button& addNavButton(Screen& screen, const std::string& id, const std::string& action,
                     const std::string& image) {
    auto& b = screen.add<Button>(id);
    b.style = "nav";
    b.image = image;
    b.accessibleName = KL(image == "nav_add" ? "KLAdd" : "KLDone");
    b.action = action;
    return b;
}

Button& addDeleteButton(Screen& screen, const std::string& action) {
    auto& b = screen.add<Button>("deleteBtn");
    b.style = "delete";
    b.image = "bookmark_white_delete";
    b.accessibleName = KL("KLDelete");
    b.action = action;
    return b;
}

void nameStepper(Button& previous, Button& next) {
    previous.accessibleName = KL("KLPrevious");
    next.accessibleName = KL("KLNext");
}

void completeOnReturn(Screen& screen, const std::string& action) {
    for (const auto& w : screen.widgets()) {
        auto* field = dynamic_cast<TextField*>(w.get());
        if (!field || field->multiline) continue;
        field->onReturn = [&screen, action](TextField& f) {
            f.resignFirstResponder();
            screen.perform(action);
        };
    }
}

void focusFirstEmptyField(Screen& screen) {
    for (const auto& w : screen.widgets()) {
        auto* field = dynamic_cast<TextField*>(w.get());
        if (field && !field->hidden && field->text.empty()) {
            field->editing = true;
            return;
        }
    }
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

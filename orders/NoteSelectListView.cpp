#include "orders/NoteSelectListView.h"

#include "orders/CreateOrEditSalesAccountVC.h"
#include "platform/Localisation.h"

NoteSelectListView::NoteSelectListView() : Screen("NoteSelectListView", true) {}

void NoteSelectListView::viewDidLoad() {
    title = KL("KLNotes");

    auto& back = add<Button>("backBtn");
    back.style = "back";
    back.image = "back";
    back.action = "backEvent";
    auto& done = add<Button>("completeBtn");
    done.style = "nav";
    done.image = "done";
    done.action = "inputTextCompleteEvent";

    auto& note = add<TextField>("noteText");
    note.placeholder = KL("KLNotes");
    note.onReturn = [this](TextField&) { endEditing(); };

    on("backEvent",
       [this](const ActionArgs&) { navigationController()->popViewControllerAnimated(true); });
    on("inputTextCompleteEvent", [this](const ActionArgs&) { inputTextCompleteEvent(); });
}

void NoteSelectListView::inputTextCompleteEvent() {
    auto* note = get<TextField>("noteText");
    if (note->text.empty()) {
        note->shake();
        return;
    }
    CreateOrEditSalesAccountVC::pendingNote = note->text;
    navigationController()->popViewControllerAnimated(true);
}

#include "orders/NoteSelectListView.h"

#include "orders/CreateOrEditSalesAccountVC.h"
#include "platform/Localisation.h"
#include "toolkit/Navigator.h"
#include "widgets/ScreenParts.h"

NoteSelectListView::NoteSelectListView() : Screen("NoteSelectListView", true) {}

void NoteSelectListView::viewDidLoad() {
    title = KL("KLNotes");

    ScreenParts::addBackButton(*this);
    ScreenParts::addNavButton(*this, "completeBtn", "inputTextCompleteEvent", "nav_done");

    auto& note = add<TextField>("noteText");
    note.placeholder = KL("KLNotes");
    note.onReturn = [this](TextField&) { endEditing(); };

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

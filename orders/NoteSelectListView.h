#pragma once
// The notes screen: takes the order's note and leaves it for the order editor as the
// pending note. Stores nothing itself.
#include "toolkit/Screen.h"

class NoteSelectListView : public Screen {
  public:
    NoteSelectListView();
    void viewDidLoad() override;

  private:
    void inputTextCompleteEvent();
};

#pragma once
// Every screen class of the app by name: the maker start-up installs for createScreen
// (toolkit/ScreenFactory.h). Returns nullptr for a class this build does not have.
#include <memory>
#include <string>

#include "toolkit/Screen.h"

std::unique_ptr<Screen> makeAppScreen(const std::string& className);

#pragma once
// Makes a new screen by class name. A screen opens one of another subsystem (or a main
// screen of the app) this way, so that the subsystems need not include each other or the
// app. The app installs the maker that knows every screen class (app/AppScreens.h).
#include <functional>
#include <memory>
#include <string>

#include "toolkit/Screen.h"

using ScreenMaker = std::function<std::unique_ptr<Screen>(const std::string& className)>;

// Replaces the process's maker; nullptr: none.
void installScreenMaker(ScreenMaker maker);

// A new instance of the class; nullptr when no maker is installed or it does not know the
// class.
std::unique_ptr<Screen> createScreen(const std::string& className);

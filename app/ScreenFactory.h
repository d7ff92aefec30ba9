#pragma once
// Creates a new instance of a screen by class name, with its layout variant. Returns
// nullptr for a class this build does not have.
#include <memory>
#include <string>

#include "platform/UI.h"

std::unique_ptr<Screen> createScreen(const std::string& className);

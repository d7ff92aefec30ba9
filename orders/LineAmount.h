#pragma once
// The amount of an order line: its quantity times its unit price, each read by its leading
// number, exact to the cent (rounded half away from zero) and written "%.2f".
#include <string>

#include "platform/Text.h"

std::string lineAmount(const Text& quantity, const Text& unitPrice);

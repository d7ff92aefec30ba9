#include "toolkit/SearchField.h"

#include "platform/Localisation.h"

SearchField::SearchField(std::string id) : TextField(std::move(id)) {
    keyboard = "search";
    returnKey = "search";
    clearButton = true;
    placeholder = KL("KLSearch");
}

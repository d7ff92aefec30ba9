#include "toolkit/ListSearch.h"

#include "platform/Localisation.h"

void ListSearch::clear() {
    keys_.clear();
    shown_.clear();
}

void ListSearch::addRow(std::initializer_list<std::string_view> texts) {
    std::string key;
    for (std::string_view t : texts) {
        if (!key.empty()) key += '\n';
        key += TextSearch::fold(t);
    }
    keys_.push_back(std::move(key));
}

const std::vector<size_t>& ListSearch::filter(std::string_view typed) {
    const TextSearch search(typed);
    filtering_ = !search.blank();
    shown_.clear();
    shown_.reserve(keys_.size());
    for (size_t i = 0; i < keys_.size(); ++i)
        if (!filtering_ || search.matchesFolded(keys_[i])) shown_.push_back(i);
    return shown_;
}

long ListSearch::positionOf(int row) const {
    if (row < 0 || static_cast<size_t>(row) >= shown_.size()) return -1;
    return static_cast<long>(shown_[static_cast<size_t>(row)]);
}

std::string ListSearch::emptyText() const {
    return filtering_ && shown_.empty() ? KL("KLNoMatches") : std::string();
}

#include "text/StringList.h"

#include "text/Errors.h"
#include "text/Text.h"

namespace pelko {

StringList::StringList(std::initializer_list<std::string> items) {
    items_.reserve(items.size());
    for (const auto& text : items) {
        items_.push_back(Entry{text, nullptr});
    }
}

StringList::StringList(const StringList& other) {
    items_.reserve(other.items_.size());
    for (const auto& entry : other.items_) {
        items_.push_back(Entry{entry.text, nullptr});
    }
}

StringList& StringList::operator=(const StringList& other) {
    if (this != &other) {
        StringList copy(other);  // build first: a failed copy leaves this list as it was
        Clear();
        items_ = std::move(copy.items_);
    }
    return *this;
}

int StringList::Add(std::string text, std::unique_ptr<ListObject> object) {
    items_.push_back(Entry{std::move(text), std::move(object)});
    return Count() - 1;
}

void StringList::Insert(int index, std::string text, std::unique_ptr<ListObject> object) {
    CheckIndex(index, Count());
    items_.insert(items_.begin() + index, Entry{std::move(text), std::move(object)});
}

const std::string& StringList::Item(int index) const {
    CheckIndex(index, Count() - 1);
    return items_[static_cast<std::size_t>(index)].text;
}

void StringList::Set(int index, std::string text) {
    CheckIndex(index, Count() - 1);
    items_[static_cast<std::size_t>(index)].text = std::move(text);
}

ListObject* StringList::Object(int index) const {
    CheckIndex(index, Count() - 1);
    return items_[static_cast<std::size_t>(index)].object.get();
}

void StringList::SetObject(int index, std::unique_ptr<ListObject> object) {
    CheckIndex(index, Count() - 1);
    items_[static_cast<std::size_t>(index)].object = std::move(object);
}

void StringList::Delete(int index) {
    CheckIndex(index, Count() - 1);
    items_.erase(items_.begin() + index);
}

void StringList::Clear() {
    // Objects go first and in item order, whatever order the vector would
    // destroy its elements in.
    for (auto& entry : items_) {
        entry.object.reset();
    }
    items_.clear();
}

std::vector<std::string> StringList::Texts() const {
    std::vector<std::string> texts;
    texts.reserve(items_.size());
    for (const auto& entry : items_) {
        texts.push_back(entry.text);
    }
    return texts;
}

bool StringList::operator==(const StringList& other) const {
    if (items_.size() != other.items_.size()) {
        return false;
    }
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (!TextEquals(items_[i].text, other.items_[i].text)) {
            return false;
        }
    }
    return true;
}

void StringList::CheckIndex(int index, int limit) const {
    if (index < 0 || index > limit) {
        throw ListIndexError(index);
    }
}

}  // namespace pelko

#pragma once
// An ordered list of byte texts; each item may own one attached object.
#include <memory>
#include <string>
#include <vector>

namespace pelko {

// Base of every object a list item can own.
class ListObject {
public:
    virtual ~ListObject() = default;
};

class StringList : public ListObject {
public:
    StringList() = default;
    StringList(std::initializer_list<std::string> items);
    StringList(const StringList& other);             // copies texts; objects are not copied
    StringList& operator=(const StringList& other);
    StringList(StringList&&) noexcept = default;
    StringList& operator=(StringList&&) noexcept = default;

    int Count() const { return static_cast<int>(items_.size()); }
    // Returns the new item's index.
    int Add(std::string text, std::unique_ptr<ListObject> object = nullptr);
    // index 0..Count(); otherwise ListIndexError(index).
    void Insert(int index, std::string text, std::unique_ptr<ListObject> object = nullptr);
    // index 0..Count()-1; otherwise ListIndexError(index).
    const std::string& Item(int index) const;
    void Set(int index, std::string text);
    ListObject* Object(int index) const;
    void SetObject(int index, std::unique_ptr<ListObject> object);
    void Delete(int index);
    // Frees every attached object in item order, then empties the list.
    void Clear();

    std::vector<std::string> Texts() const;
    bool operator==(const StringList& other) const;  // compares texts only

private:
    struct Entry {
        std::string text;
        std::unique_ptr<ListObject> object;
    };
    void CheckIndex(int index, int limit) const;
    std::vector<Entry> items_;
};

}  // namespace pelko

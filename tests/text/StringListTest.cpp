#include "text/StringList.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "text/Errors.h"

namespace pelko {
namespace {

using Items = std::vector<std::string>;

// Records its name in a shared log when it is freed.
class Tracked : public ListObject {
public:
    Tracked(std::vector<std::string>& log, std::string name) : log_(log), name_(std::move(name)) {}
    ~Tracked() override { log_.push_back(name_); }

private:
    std::vector<std::string>& log_;
    std::string name_;
};

std::string MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& e) {
        return e.what();
    }
    return "(no error)";
}

TEST(StringList, AddInsertSetDelete) {
    StringList list;
    EXPECT_EQ(list.Add("b"), 0);
    EXPECT_EQ(list.Add("b"), 1);  // duplicates allowed
    list.Insert(0, "a");
    list.Insert(3, "end");         // the count itself is a valid place
    EXPECT_EQ(list.Texts(), (Items{"a", "b", "b", "end"}));
    list.Set(1, "B");
    list.Delete(2);
    EXPECT_EQ(list.Texts(), (Items{"a", "B", "end"}));
    EXPECT_EQ(list.Count(), 3);
}

struct IndexCase {
    const char* operation;
    std::function<void(StringList&)> action;
    const char* message;
};

TEST(StringList, IndexOutsideTheRangeRaisesAndChangesNothing) {
    std::vector<std::string> freed;
    const std::vector<IndexCase> cases = {
        {"Item(-1)", [](StringList& l) { l.Item(-1); }, "リストのインデックスが範囲を超えています (-1)"},
        {"Item(2)", [](StringList& l) { l.Item(2); }, "リストのインデックスが範囲を超えています (2)"},
        {"Insert(3)", [](StringList& l) { l.Insert(3, "x"); }, "リストのインデックスが範囲を超えています (3)"},
        {"Insert(-1)", [](StringList& l) { l.Insert(-1, "x"); }, "リストのインデックスが範囲を超えています (-1)"},
        {"Set(2)", [](StringList& l) { l.Set(2, "x"); }, "リストのインデックスが範囲を超えています (2)"},
        {"Delete(5)", [](StringList& l) { l.Delete(5); }, "リストのインデックスが範囲を超えています (5)"},
        {"Object(2)", [](StringList& l) { l.Object(2); }, "リストのインデックスが範囲を超えています (2)"},
        {"SetObject(-7)",
         [&freed](StringList& l) { l.SetObject(-7, std::make_unique<Tracked>(freed, "new")); },
         "リストのインデックスが範囲を超えています (-7)"},
    };
    for (const auto& c : cases) {
        StringList list;
        list.Add("a", std::make_unique<Tracked>(freed, "a"));
        list.Add("b");
        ListObject* const object = list.Object(0);
        EXPECT_EQ(MessageOf([&] { c.action(list); }), c.message) << c.operation;
        EXPECT_EQ(list.Texts(), (Items{"a", "b"})) << c.operation;
        EXPECT_EQ(list.Object(0), object) << c.operation;
    }
    EXPECT_EQ(MessageOf([] { StringList().Item(0); }), "リストのインデックスが範囲を超えています (0)");
}

TEST(StringList, ClearFreesObjectsInItemOrder) {
    std::vector<std::string> freed;
    StringList list;
    list.Add("1", std::make_unique<Tracked>(freed, "first"));
    list.Add("2");
    list.Add("3", std::make_unique<Tracked>(freed, "third"));
    list.Add("4", std::make_unique<Tracked>(freed, "fourth"));
    list.Clear();
    EXPECT_EQ(freed, (Items{"first", "third", "fourth"}));
    EXPECT_EQ(list.Count(), 0);
}

TEST(StringList, ObjectsAreOwnedByTheirItem) {
    std::vector<std::string> freed;
    StringList list;
    list.Add("a", std::make_unique<Tracked>(freed, "a"));
    list.Add("b", std::make_unique<Tracked>(freed, "b"));
    list.SetObject(0, std::make_unique<Tracked>(freed, "a2"));
    EXPECT_EQ(freed, Items{"a"});
    list.Delete(1);
    EXPECT_EQ(freed, (Items{"a", "b"}));
    list.Set(0, "renamed");  // the text changes, the object stays
    EXPECT_NE(list.Object(0), nullptr);
    EXPECT_EQ(freed.size(), 2u);
}

TEST(StringList, CopyTakesTextsButNotObjects) {
    std::vector<std::string> freed;
    StringList source;
    source.Add("a", std::make_unique<Tracked>(freed, "a"));
    source.Add("b");
    StringList copy(source);
    EXPECT_EQ(copy.Texts(), (Items{"a", "b"}));
    EXPECT_EQ(copy.Object(0), nullptr);
    EXPECT_NE(source.Object(0), nullptr);
    EXPECT_TRUE(copy == source);

    StringList target;
    target.Add("old", std::make_unique<Tracked>(freed, "old"));
    target = source;
    EXPECT_EQ(freed, Items{"old"});
    EXPECT_EQ(target.Texts(), (Items{"a", "b"}));
    EXPECT_EQ(target.Object(0), nullptr);
    const StringList& self = target;
    target = self;  // assigning a list to itself keeps it
    EXPECT_EQ(target.Texts(), (Items{"a", "b"}));
}

}  // namespace
}  // namespace pelko

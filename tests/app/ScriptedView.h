#pragma once
// A view of the form without any toolkit: controls that are plain state in
// the window's initial state, scripted dialogs, and the user's actions
// reported to the form the way a real view reports them.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ScriptedDialogs.h"
#include "app/Controls.h"
#include "app/Unit1.h"
#include "text/Color.h"

namespace pelko::test {

template <typename Interface>
class ScriptedControl : public Interface {
public:
    bool visible = true;
    bool enabled = true;
    int top = 0;
    void SetVisible(bool value) override { visible = value; }
    bool Visible() const override { return visible; }
    void SetEnabled(bool value) override { enabled = value; }
    void SetTop(int value) override { top = value; }
    // Where a user can act on it.
    bool Usable() const { return visible && enabled; }
};

class ScriptedEdit : public ScriptedControl<TextEdit> {
public:
    std::string text;
    TextEncoding accepts = TextEncoding::HostPath;
    std::string Text() const override { return text; }
    void SetText(const std::string& utf8) override { text = utf8; }
    void AcceptOnly(TextEncoding encoding) override { accepts = encoding; }
};

class ScriptedCheck : public ScriptedControl<CheckBox> {
public:
    bool checked = false;
    bool Checked() const override { return checked; }
    void SetChecked(bool value) override { checked = value; }
};

class ScriptedDropDown : public ScriptedControl<DropDown> {
public:
    std::vector<std::string> items;
    int index = -1;
    int Count() const override { return static_cast<int>(items.size()); }
    void Add(const std::string& utf8) override { items.push_back(utf8); }
    void Clear() override;
    int ItemIndex() const override { return index; }
    void SetItemIndex(int value) override;
};

class ScriptedLog : public LogPane {
public:
    std::vector<std::string> lines;
    void Append(const std::string& utf8Line) override { lines.push_back(utf8Line); }
    void Clear() override { lines.clear(); }
};

class ScriptedWindow : public DropTarget {
public:
    bool acceptsDrops = false;
    void AcceptDrops(bool accept) override { acceptsDrops = accept; }
};

class ScriptedDescriptions : public EditorDescriptions {
public:
    std::string label;  // as last described
    int described = 0;  // how often
    void DescribeEditors(const std::string& utf8Label) override {
        label = utf8Label;
        ++described;
    }
};

class ScriptedColors : public SystemColors {
public:
    std::map<int, std::uint32_t> colors;  // by index, 0x00BBGGRR; black when missing
    std::uint32_t SystemColor(int index) const override;
};

class ScriptedView {
public:
    // The controls as the window creates them, then the form over them.
    explicit ScriptedView(const std::string& programDirectory);
    ScriptedView(const ScriptedView&) = delete;
    ScriptedView& operator=(const ScriptedView&) = delete;

    ScriptedDropDown ComboTemp;
    ScriptedEdit EditTitle;
    ScriptedEdit EditAuthor;
    ScriptedCheck CheckCopy;
    ScriptedDropDown ComboOptions;
    ScriptedEdit EditValue;
    ScriptedControl<Control> ButtonBrowse;
    ScriptedLog Log;
    ScriptedCheck CheckValue;
    ScriptedDropDown ComboValue;
    ScriptedWindow Form1;
    ScriptedDescriptions Descriptions;
    ScriptedDialogs dialogs;
    ScriptedColors colors;
    std::unique_ptr<TForm1> form;

    // The user picks an item of a list; its handler runs.
    void Choose(ScriptedDropDown& list, int index);
    // Chooses the entry of ComboTemp whose path ends in "/" + fileName.
    void ChooseTemplate(const std::string& fileName);
    // Types UTF-8 text character by character at the end of the edit.
    void Type(ScriptedEdit& edit, const std::string& utf8);
    // Selects everything in the edit and types over it; "" deletes it.
    void TypeOver(ScriptedEdit& edit, const std::string& utf8);
    void Click(ScriptedCheck& box);
    void ClickBrowse();
    void ClickMake();
    // Files dropped on the window; false when it does not take them.
    bool Drop(const std::vector<std::string>& paths);

    // The controls, for another form over them.
    FormControls Controls();

    // Which editor controls show, as one comparable text.
    std::string EditorState() const;
    // The texts of option record index, shown as UTF-8.
    std::vector<std::string> RecordTexts(int index) const;
    std::vector<std::vector<std::string>> AllRecords() const;
    // The value text of option record index, as stored.
    const std::string& ValueBytes(int index) const;

private:
    void EditChanged(ScriptedEdit& edit);
};

// The block game descriptor of the worked example, as CP932 lines.
std::vector<std::string> BlockDescriptor();
// Writes lines of CP932 bytes, each ended by CR LF.
void WriteJad(const std::string& path, const std::vector<std::string>& lines);
// Copies the sample template file name into directory (with its trailing "/").
void CopySample(const std::string& directory, const std::string& name);

}  // namespace pelko::test

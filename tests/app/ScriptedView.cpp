#include "ScriptedView.h"

#include <stdexcept>

#include "support/TestFiles.h"
#include "support/WorkedExample.h"
#include "templates/Descriptor.h"
#include "text/Cp932.h"

namespace pelko::test {

namespace {

// The length of the UTF-8 character that starts with byte.
std::size_t CharacterLength(unsigned char byte) {
    if (byte >= 0xF0) return 4;
    if (byte >= 0xE0) return 3;
    if (byte >= 0xC0) return 2;
    return 1;
}

std::vector<std::string> Characters(const std::string& utf8) {
    std::vector<std::string> characters;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = CharacterLength(static_cast<unsigned char>(utf8[at]));
        characters.push_back(utf8.substr(at, length));
        at += length;
    }
    return characters;
}

}  // namespace

void ScriptedDropDown::Clear() {
    items.clear();
    index = -1;
}

void ScriptedDropDown::SetItemIndex(int value) {
    index = value >= 0 && value < Count() ? value : -1;
}

std::uint32_t ScriptedColors::SystemColor(int index) const {
    const auto found = colors.find(index);
    return found == colors.end() ? 0 : found->second;
}

ScriptedView::ScriptedView(const std::string& programDirectory) {
    ComboTemp.top = 10;
    EditTitle.text = "Pelko";
    EditTitle.top = 35;
    EditAuthor.top = 35;
    CheckCopy.top = 15;
    ComboOptions.top = 60;
    EditValue.visible = false;
    EditValue.top = 85;
    ButtonBrowse.visible = false;
    ButtonBrowse.enabled = false;
    ButtonBrowse.top = 85;
    CheckValue.visible = false;
    CheckValue.top = 90;
    ComboValue.visible = false;
    ComboValue.top = 95;
    form = std::make_unique<TForm1>(programDirectory, Controls(), dialogs, colors);
}

FormControls ScriptedView::Controls() {
    FormControls controls{ComboTemp,    EditTitle, EditAuthor, CheckCopy,  ComboOptions, EditValue,
                          ButtonBrowse, Log,       CheckValue, ComboValue, Form1};
    controls.Descriptions = &Descriptions;
    return controls;
}

void ScriptedView::Choose(ScriptedDropDown& list, int index) {
    if (!list.Usable()) return;
    list.index = index;
    if (&list == &ComboTemp) form->Run(&TForm1::ComboTempChange);
    if (&list == &ComboOptions) form->Run(&TForm1::ComboOptionsChange);
}

void ScriptedView::ChooseTemplate(const std::string& fileName) {
    const std::string suffix = kSeparator + fileName;
    const auto& paths = form->TemplatePaths();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (paths[i].size() >= suffix.size() && paths[i].ends_with(suffix)) {
            Choose(ComboTemp, static_cast<int>(i));
            return;
        }
    }
    throw std::runtime_error("no template " + fileName);
}

void ScriptedView::EditChanged(ScriptedEdit& edit) {
    if (&edit == &EditValue) form->Run(&TForm1::EditValueChange);
}

void ScriptedView::Type(ScriptedEdit& edit, const std::string& utf8) {
    if (!edit.Usable()) return;
    for (const std::string& character : Characters(utf8)) {
        edit.text += character;
        EditChanged(edit);
    }
}

void ScriptedView::TypeOver(ScriptedEdit& edit, const std::string& utf8) {
    if (!edit.Usable()) return;
    if (utf8.empty()) {
        if (edit.text.empty()) return;
        edit.text.clear();
        EditChanged(edit);
        return;
    }
    // The first character replaces the selection, the others follow it.
    edit.text.clear();
    Type(edit, utf8);
}

void ScriptedView::Click(ScriptedCheck& box) {
    if (!box.Usable()) return;
    box.checked = !box.checked;
    if (&box == &CheckValue) form->Run(&TForm1::CheckValueClick);
}

void ScriptedView::ClickBrowse() {
    if (ButtonBrowse.Usable()) form->Run(&TForm1::ButtonBrowseClick);
}

void ScriptedView::ClickMake() {
    form->Run(&TForm1::ButtonMakeClick);
}

bool ScriptedView::Drop(const std::vector<std::string>& paths) {
    if (!Form1.acceptsDrops) return false;
    form->DropFiles(paths);
    return true;
}

std::string ScriptedView::EditorState() const {
    std::string shown;
    const auto add = [&shown](bool on, const char* name) {
        if (!on) return;
        if (!shown.empty()) shown += ' ';
        shown += name;
    };
    add(EditValue.visible, "EditValue");
    add(ButtonBrowse.visible, "ButtonBrowse");
    add(ButtonBrowse.enabled, "enabled");
    add(CheckValue.visible, "CheckValue");
    add(ComboValue.visible, "ComboValue");
    add(Form1.acceptsDrops, "drops");
    return shown;
}

std::vector<std::string> ScriptedView::RecordTexts(int index) const {
    std::vector<std::string> texts;
    for (const std::string& text : RecordOf(form->OptionRecords(), index).Texts()) {
        texts.push_back(Cp932ToUtf8(text));
    }
    return texts;
}

std::vector<std::vector<std::string>> ScriptedView::AllRecords() const {
    std::vector<std::vector<std::string>> records;
    for (int i = 0; i < form->OptionRecords().Count(); ++i) records.push_back(RecordTexts(i));
    return records;
}

const std::string& ScriptedView::ValueBytes(int index) const {
    return RecordOf(form->OptionRecords(), index).Item(kRecordValue);
}

std::vector<std::string> BlockDescriptor() { return SjisEach(worked::TemplateLines()); }

void WriteJad(const std::string& path, const std::vector<std::string>& lines) {
    WriteFile(path, CrLf(lines));
}

void CopySample(const std::string& directory, const std::string& name) {
    WriteFile(directory + name, ReadFile(std::string(PELKO_SAMPLES_DIR "/") + name));
}

}  // namespace pelko::test

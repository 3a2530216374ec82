// The form's option editors: the one editor the chosen option's type
// needs, the value it edits, browsing for a file or a colour, and files
// dropped on the window.
#include "app/Unit1.h"

#include "options/OptionValues.h"
#include "templates/Descriptor.h"
#include "text/Errors.h"
#include "text/Integer.h"
#include "text/Paths.h"

namespace {

TextEncoding EncodingOf(const pelko::OptionRecord& record) {
    // A file editor's value is a path the user chose from the file system.
    return pelko::HasFileEditor(record.Item(pelko::kRecordKey)) ? TextEncoding::HostPath
                                                               : TextEncoding::Cp932;
}

}  // namespace

pelko::OptionRecord* TForm1::SelectedRecord() {
    const int index = ComboOptions.ItemIndex();
    if (index < 0) return nullptr;
    return &pelko::RecordOf(records_, index);
}

void TForm1::ComboOptionsChange() {
    pelko::OptionRecord* record = SelectedRecord();
    if (!record) return;
    HideEditors();
    const pelko::EditorKind editor = pelko::EditorFor(*record);
    DescribeEditors(record->Item(pelko::kRecordLabel));
    switch (editor) {
        case pelko::EditorKind::File: ShowFileEditor(*record); break;
        case pelko::EditorKind::Color: ShowIntegerEditor(*record, true); break;
        case pelko::EditorKind::Integer: ShowIntegerEditor(*record, false); break;
        case pelko::EditorKind::YesNo: ShowYesNoEditor(*record); break;
        case pelko::EditorKind::Text: ShowTextEditor(*record); break;
    }
}

void TForm1::DescribeEditors(const std::string& labelBytes) {
    if (descriptions_) descriptions_->DescribeEditors(ShownText(labelBytes, TextEncoding::Cp932));
}

void TForm1::HideEditors() {
    ButtonBrowse.SetEnabled(false);
    EditValue.Edit().SetVisible(false);
    ButtonBrowse.SetVisible(false);
    ComboValue.SetVisible(false);
    CheckValue.Box().SetVisible(false);
    Form1.AcceptDrops(false);
}

void TForm1::ShowFileEditor(const pelko::OptionRecord& record) {
    openFilter_ = pelko::FileFilterFor(record.Item(pelko::kRecordType));
    Form1.AcceptDrops(true);
    EditValue.Edit().AcceptOnly(TextEncoding::HostPath);
    EditValue.SetBytes(record.Item(pelko::kRecordValue), TextEncoding::HostPath);
    EditValue.Edit().SetVisible(true);
    ButtonBrowse.SetVisible(true);
    ButtonBrowse.SetEnabled(true);
}

void TForm1::ShowIntegerEditor(const pelko::OptionRecord& record, bool browse) {
    std::string text;
    try {
        text = pelko::CanonicalIntegerText(record.Item(pelko::kRecordValue));
    } catch (const pelko::Error&) {
        text.clear();  // a record without a value shows an empty field
    }
    EditValue.Edit().AcceptOnly(TextEncoding::Cp932);
    EditValue.SetBytes(std::move(text), TextEncoding::Cp932);
    EditValue.Edit().SetVisible(true);
    ButtonBrowse.SetVisible(true);
    ButtonBrowse.SetEnabled(browse);
}

void TForm1::ShowYesNoEditor(const pelko::OptionRecord& record) {
    CheckValue.SetChecked(pelko::IsYesText(record.Item(pelko::kRecordValue)));
    CheckValue.Box().SetVisible(true);
}

void TForm1::ShowTextEditor(const pelko::OptionRecord& record) {
    EditValue.Edit().AcceptOnly(TextEncoding::Cp932);
    EditValue.SetBytes(record.Item(pelko::kRecordValue), TextEncoding::Cp932);
    EditValue.Edit().SetVisible(true);
    ButtonBrowse.SetVisible(true);
}

void TForm1::EditValueChange() {
    pelko::OptionRecord* record = SelectedRecord();
    if (!record) return;
    const std::string text = EditValue.Text();
    // A lone "-" stays so that a negative number can be typed. Digits are
    // ASCII, so any other character makes the text no integer either way.
    if (pelko::IsIntegerType(record->Item(pelko::kRecordType)) && text != "-") {
        EditValue.SetBytes(pelko::CanonicalIntegerText(text), TextEncoding::Cp932);
    }
    record->Set(pelko::kRecordValue, EditValue.Bytes(EncodingOf(*record)));
}

void TForm1::CheckValueClick() {
    pelko::OptionRecord* record = SelectedRecord();
    if (!record) return;
    record->Set(pelko::kRecordValue, std::string(pelko::YesNoText(CheckValue.Checked())));
}

void TForm1::ButtonBrowseClick() {
    pelko::OptionRecord* record = SelectedRecord();
    if (!record) return;
    switch (pelko::EditorFor(*record)) {
        case pelko::EditorKind::File: BrowseFile(); break;
        case pelko::EditorKind::Color: BrowseColor(); break;
        default: break;
    }
}

void TForm1::BrowseFile() {
    std::string proposed = EditValue.Text();
    // A relative value is taken relative to the template's own directory by
    // the build, so the dialog starts from the same file.
    const std::string* templatePath = SelectedTemplate();
    if (!proposed.empty() && !pelko::IsAbsolutePath(proposed) && templatePath) {
        proposed.insert(0, ShownText(pelko::DirectoryOf(*templatePath), TextEncoding::HostPath));
    }
    const std::optional<std::string> chosen =
        dialogs_.OpenFile("参照", openFilter_.description, openFilter_.pattern, proposed);
    if (!chosen) return;
    EditValue.SetBytes(*chosen, TextEncoding::HostPath);
}

void TForm1::BrowseColor() {
    const std::int32_t value = pelko::ParseIntegerOr(EditValue.Text(), 0);
    const auto initial =
        static_cast<std::int32_t>(pelko::SwapColorOrder(static_cast<std::uint32_t>(value)));
    const std::optional<std::int32_t> chosen = dialogs_.PickColor(initial);
    if (!chosen) return;
    const std::int32_t resolved = pelko::ResolveColor(*chosen, colors_);
    const std::uint32_t rgb = pelko::SwapColorOrder(static_cast<std::uint32_t>(resolved));
    EditValue.SetBytes(pelko::FormatInteger(rgb), TextEncoding::Cp932);
}

void TForm1::OnDropFiles(const std::vector<std::string>& paths) {
    if (paths.empty() || !EditValue.Edit().Visible()) return;
    EditValue.SetBytes(paths.front(), TextEncoding::HostPath);
    // Stored even when the text was the same already.
    EditValueChange();
}


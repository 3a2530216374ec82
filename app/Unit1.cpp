#include "app/Unit1.h"

#include <utility>

#include "options/OptionValues.h"
#include "package/build/Pipeline.h"
#include "pelko/Version.h"
#include "system/Files.h"
#include "templates/Catalogue.h"
#include "templates/Descriptor.h"
#include "text/Errors.h"
#include "text/Integer.h"
#include "text/Paths.h"

namespace {

// The top edge ComboValue is moved to when the window is created.
constexpr int kComboValueTop = 85;

TextEncoding EncodingOf(const pelko::OptionRecord& record) {
    // A file editor's value is a path the user chose from the file system.
    return pelko::HasFileEditor(record.Item(pelko::kRecordKey)) ? TextEncoding::HostPath
                                                               : TextEncoding::Cp932;
}

}  // namespace

TForm1::TForm1(std::string programDirectory, const FormControls& controls, Dialogs& dialogs,
               const pelko::SystemColors& colors)
    : programDirectory_(std::move(programDirectory)),
      dialogs_(dialogs),
      colors_(colors),
      ComboTemp(controls.ComboTemp),
      EditTitle(controls.EditTitle),
      EditAuthor(controls.EditAuthor),
      CheckCopy(controls.CheckCopy),
      ComboOptions(controls.ComboOptions),
      EditValue(controls.EditValue, [this] { EditValueChange(); }),
      ButtonBrowse(controls.ButtonBrowse),
      Log(controls.Log),
      CheckValue(controls.CheckValue, [this] { CheckValueClick(); }),
      ComboValue(controls.ComboValue),
      Form1(controls.Form1) {
    EditTitle.Edit().AcceptOnly(TextEncoding::Cp932);
    EditAuthor.Edit().AcceptOnly(TextEncoding::Cp932);
    EditValue.Edit().AcceptOnly(TextEncoding::Cp932);
    for (const std::string& line : StartLines()) Log.Append(line);
    Run(&TForm1::FormCreate);
}

TForm1::~TForm1() {
    FormDestroy();
}

std::vector<std::string> TForm1::StartLines() {
    return {"Pelko " PELKO_VERSION, "Personalised ezplus packages for Java handsets"};
}

// ---- errors ----------------------------------------------------------------

void TForm1::Run(void (TForm1::*handler)()) noexcept {
    Guard([this, handler] { (this->*handler)(); });
}

void TForm1::DropFiles(const std::vector<std::string>& paths) noexcept {
    Guard([this, &paths] { OnDropFiles(paths); });
}

void TForm1::ShowError(const std::exception_ptr& error) noexcept {
    try {
        std::string message;
        try {
            std::rethrow_exception(error);
        } catch (const std::exception& caught) {
            message = caught.what();
        } catch (...) {
            // An unknown error has no text; the box still tells the user.
        }
        dialogs_.ShowError(pelko::ErrorBoxText(message));
    } catch (...) {
        // Not even the error box could be shown; the window stays usable.
    }
}

// ---- catalogue ----------------------------------------------------------------

void TForm1::FormCreate() {
    ComboValue.SetTop(kComboValueTop);
    templatePaths_.clear();
    const std::vector<std::string> directories = pelko::TemplateDirectories(programDirectory_);
    pelko::ScanTemplates(directories, [this](pelko::CatalogueEntry entry) {
        ComboTemp.Add(ShownText(entry.displayName, TextEncoding::Cp932));
        templatePaths_.push_back(std::move(entry.path));
    });
}

void TForm1::FormDestroy() {
    records_.Clear();
    templatePaths_.clear();
}

const std::string* TForm1::SelectedTemplate() const {
    const int index = ComboTemp.ItemIndex();
    if (index < 0) return nullptr;
    return &templatePaths_.at(static_cast<std::size_t>(index));
}

void TForm1::ComboTempChange() {
    if (const std::string* path = SelectedTemplate()) LoadTemplate(*path);
}

// ---- template loading -----------------------------------------------------------

void TForm1::LoadTemplate(const std::string& path) {
    records_.Clear();
    EditTitle.SetBytes({}, TextEncoding::Cp932);
    EditAuthor.SetBytes({}, TextEncoding::Cp932);
    CheckCopy.SetChecked(false);
    ComboOptions.Clear();
    EditValue.SetBytes({}, TextEncoding::Cp932);

    pelko::LoadedTemplate loaded = pelko::LoadTemplateFile(path);
    EditTitle.SetBytes(loaded.title, TextEncoding::Cp932);
    CheckCopy.SetChecked(loaded.copyright);
    records_ = std::move(loaded.options);
    for (int i = 0; i < records_.Count(); ++i) {
        ComboOptions.Add(ShownText(records_.Item(i), TextEncoding::Cp932));
    }
    if (loaded.error) throw pelko::Error(*loaded.error);
    if (ComboOptions.Count() > 0) {
        ComboOptions.SetItemIndex(0);
        ComboOptionsChange();
    }
}

// ---- option editors ----------------------------------------------------------------

pelko::OptionRecord* TForm1::SelectedRecord() {
    const int index = ComboOptions.ItemIndex();
    if (index < 0) return nullptr;
    return &pelko::RecordOf(records_, index);
}

void TForm1::ComboOptionsChange() {
    pelko::OptionRecord* record = SelectedRecord();
    if (!record) return;
    HideEditors();
    switch (pelko::EditorFor(*record)) {
        case pelko::EditorKind::File: ShowFileEditor(*record); break;
        case pelko::EditorKind::Color: ShowIntegerEditor(*record, true); break;
        case pelko::EditorKind::Integer: ShowIntegerEditor(*record, false); break;
        case pelko::EditorKind::YesNo: ShowYesNoEditor(*record); break;
        case pelko::EditorKind::Text: ShowTextEditor(*record); break;
    }
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

// ---- build ---------------------------------------------------------------------

// The dialog asked about the name as typed; with ".kjx" added it names
// another file, which must not be replaced unasked.
bool TForm1::MayWrite(const std::string& output, const std::string& chosen) {
    return output == chosen || !pelko::PathExists(output) || dialogs_.ConfirmReplace(output);
}

void TForm1::ButtonMakeClick() {
    const std::string* templatePath = SelectedTemplate();
    if (!templatePath) return;
    const std::optional<std::string> chosen =
        dialogs_.SaveFile("作成", "ezplus(*.kjx)", "*.kjx", saveFileName_);
    if (!chosen) return;
    const std::string output = pelko::OutputPathFor(*chosen);
    saveFileName_ = output;
    if (!MayWrite(output, *chosen)) return;
    Log.Clear();
    pelko::AppSettings settings{EditTitle.Bytes(TextEncoding::Cp932), EditAuthor.Bytes(TextEncoding::Cp932),
                                CheckCopy.Checked()};
    // A user's template names its files relative to its own directory, as
    // those of the program directory do.
    const pelko::BuildRequest request = pelko::RequestFor(*templatePath, std::move(settings), records_,
                                                          output, pelko::DirectoryOf(*templatePath));
    pelko::MakePackage(request, [this](const std::string& line) { Log.Append(line); });
}

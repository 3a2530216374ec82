#include "app/Unit1.h"

#include <utility>

#include "package/build/Build.h"
#include "pelko/Version.h"
#include "system/Files.h"
#include "templates/Catalogue.h"
#include "templates/Descriptor.h"
#include "text/Errors.h"
#include "text/Paths.h"

namespace {

// The top edge ComboValue is moved to when the window is created.
constexpr int kComboValueTop = 85;

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
      Form1(controls.Form1),
      descriptions_(controls.Descriptions) {
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

void TForm1::OpenTemplates(const std::vector<std::string>& paths) noexcept {
    int first = -1;
    for (const std::string& path : paths) {
        Guard([this, &path, &first] {
            const int index = AddTemplate(path);
            if (first < 0) first = index;
        });
    }
    if (first < 0) return;
    ComboTemp.SetItemIndex(first);
    Run(&TForm1::ComboTempChange);
}

// The template's index in ComboTemp.
int TForm1::AddTemplate(const std::string& path) {
    for (std::size_t i = 0; i < templatePaths_.size(); ++i) {
        if (templatePaths_[i] == path) return static_cast<int>(i);
    }
    pelko::CatalogueEntry entry = pelko::CatalogueEntryOf(path);
    ComboTemp.Add(ShownText(entry.displayName, TextEncoding::Cp932));
    templatePaths_.push_back(std::move(entry.path));
    return static_cast<int>(templatePaths_.size()) - 1;
}

// ---- template loading -----------------------------------------------------------

void TForm1::LoadTemplate(const std::string& path) {
    records_.Clear();
    EditTitle.SetBytes({}, TextEncoding::Cp932);
    EditAuthor.SetBytes({}, TextEncoding::Cp932);
    CheckCopy.SetChecked(false);
    ComboOptions.Clear();
    DescribeEditors({});
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
    pelko::MakePackage(request, [this](const pelko::LogLine& line) { Log.Append(pelko::Formatted(line)); });
}

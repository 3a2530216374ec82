#pragma once
// The one window of Pelko as its handlers see it: template selector,
// application name and author, copyright flag, option editors, make button
// and log pane. No toolkit here: a view creates the real controls, hands
// them over as FormControls and reports the user's actions through Run and
// DropFiles.
#include <exception>
#include <string>
#include <vector>

#include "app/Controls.h"
#include "app/Dialogs.h"
#include "app/Fields.h"
#include "options/Editors.h"
#include "text/Color.h"
#include "text/StringList.h"

class TForm1 {
public:
    // programDirectory: the host path holding the templates, with its
    // trailing separator. Writes the log's start lines and runs FormCreate;
    // its errors go to the error box. controls, dialogs and colors must
    // outlive the form.
    TForm1(std::string programDirectory, const FormControls& controls, Dialogs& dialogs,
           const pelko::SystemColors& colors);
    // FormDestroy.
    ~TForm1();

    TForm1(const TForm1&) = delete;
    TForm1& operator=(const TForm1&) = delete;

    // Handlers, named after control and event. A view calls them through
    // Run; calling one directly lets its error escape.
    void FormCreate();
    void FormDestroy();
    void ComboTempChange();
    void ComboOptionsChange();
    void EditValueChange();
    void CheckValueClick();
    void ButtonBrowseClick();
    void ButtonMakeClick();
    // paths: host paths, the first one dropped first.
    void OnDropFiles(const std::vector<std::string>& paths);
    void LoadTemplate(const std::string& path);

    // Templates the user named when starting the program (host paths):
    // added after the catalogue, unless listed already, and the first of
    // them chosen as a user would choose it. A template that cannot be read
    // is shown in the error box and left out.
    void OpenTemplates(const std::vector<std::string>& paths) noexcept;

    // Runs a handler; an error it raises is shown in the error box and the
    // window keeps the state the handler reached. Nothing escapes.
    template <typename Handler>
    void Guard(Handler&& handler) noexcept {
        try {
            handler();
        } catch (...) {
            ShowError(std::current_exception());
        }
    }
    void Run(void (TForm1::*handler)()) noexcept;
    // The window's file drop.
    void DropFiles(const std::vector<std::string>& paths) noexcept;

    // The two lines the log starts with.
    static std::vector<std::string> StartLines();

    const std::vector<std::string>& TemplatePaths() const { return templatePaths_; }
    // Items index-parallel to ComboOptions, each owning its option record.
    const pelko::StringList& OptionRecords() const { return records_; }
    // What the save dialog proposes next time, UTF-8.
    const std::string& SaveFileName() const { return saveFileName_; }

private:
    void ShowError(const std::exception_ptr& error) noexcept;

    pelko::OptionRecord* SelectedRecord();
    const std::string* SelectedTemplate() const;
    void HideEditors();
    void ShowFileEditor(const pelko::OptionRecord& record);
    void ShowIntegerEditor(const pelko::OptionRecord& record, bool browse);
    void ShowYesNoEditor(const pelko::OptionRecord& record);
    void ShowTextEditor(const pelko::OptionRecord& record);
    int AddTemplate(const std::string& path);
    void DescribeEditors(const std::string& labelBytes);
    void BrowseFile();
    void BrowseColor();
    bool MayWrite(const std::string& output, const std::string& chosen);

    std::string programDirectory_;
    Dialogs& dialogs_;
    const pelko::SystemColors& colors_;

    // Controls, in creation order; the edits and the yes/no box behave as
    // the handlers expect of a change made from code.
    DropDown& ComboTemp;
    TextField EditTitle;
    TextField EditAuthor;
    CheckField CheckCopy;
    DropDown& ComboOptions;
    TextField EditValue;
    Control& ButtonBrowse;
    LogPane& Log;
    CheckField CheckValue;
    DropDown& ComboValue;
    DropTarget& Form1;
    EditorDescriptions* descriptions_;

    std::vector<std::string> templatePaths_;
    pelko::StringList records_;
    pelko::FileFilter openFilter_;
    std::string saveFileName_;
};

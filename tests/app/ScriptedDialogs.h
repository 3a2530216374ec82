#pragma once
// Dialogs that answer from a script, in order, and record every call; an
// unscripted file or colour dialog is cancelled, an unscripted replace
// question answered no.
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "app/Dialogs.h"

namespace pelko::test {

struct DialogCall {
    std::string kind;  // SaveFile, OpenFile, PickColor, ShowError, ConfirmReplace
    std::vector<std::string> arguments;
};

class ScriptedDialogs : public Dialogs {
public:
    std::deque<std::optional<std::string>> fileAnswers;
    std::deque<std::optional<std::int32_t>> colorAnswers;
    std::deque<bool> replaceAnswers;
    std::vector<DialogCall> calls;

    // The messages of the error boxes shown.
    std::vector<std::string> Errors() const;
    std::vector<DialogCall> CallsOf(const std::string& kind) const;

    std::optional<std::string> SaveFile(const std::string& title, const std::string& description,
                                        const std::string& pattern, const std::string& proposed) override;
    std::optional<std::string> OpenFile(const std::string& title, const std::string& description,
                                        const std::string& pattern, const std::string& proposed) override;
    // Recorded with the initial colour in lower-case hexadecimal.
    std::optional<std::int32_t> PickColor(std::int32_t initialDialogOrder) override;
    void ShowError(const std::string& message) override;
    bool ConfirmReplace(const std::string& path) override;

private:
    std::optional<std::string> NextFile();
};

}  // namespace pelko::test

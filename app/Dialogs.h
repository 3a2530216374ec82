#pragma once
// The modal dialogs the window needs, behind one interface: the view owns an
// implementation, so tests answer from a script instead of blocking in a
// dialog's own event loop. Texts and paths are UTF-8.
#include <cstdint>
#include <optional>
#include <string>

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The chosen path, or nullopt when the user cancels. description and
    // pattern make the one filter entry ("ezplus(*.kjx)", "*.kjx").
    virtual std::optional<std::string> SaveFile(const std::string& title, const std::string& description,
                                                const std::string& pattern, const std::string& proposed) = 0;
    // As SaveFile, for an existing file.
    virtual std::optional<std::string> OpenFile(const std::string& title, const std::string& description,
                                                const std::string& pattern, const std::string& proposed) = 0;
    // Colours in dialog order 0x00BBGGRR. A result with the top bit set names
    // a system colour (the form resolves it).
    virtual std::optional<std::int32_t> PickColor(std::int32_t initialDialogOrder) = 0;
    // The standard error box: title "Pelko", stop icon, OK.
    virtual void ShowError(const std::string& message) = 0;
    // Whether an existing file at path may be replaced (see ReplaceQuestion).
    virtual bool ConfirmReplace(const std::string& path) = 0;
};

// What ConfirmReplace asks, titled "作成", about a path as the user reads it.
inline std::string ReplaceQuestion(const std::string& shownPath) {
    return shownPath + " は既に存在します。\n置き換えますか?";
}

#pragma once
// The system's own dialogs, owned by the window: the common file and colour
// dialogs, and message boxes.
#include <windows.h>

#include <array>

#include "app/Dialogs.h"

class Win32Dialogs : public Dialogs {
public:
    // owner: the window the dialogs belong to and disable while they run;
    // nullptr for none.
    explicit Win32Dialogs(HWND owner);

    std::optional<std::string> SaveFile(const std::string& title, const std::string& description,
                                        const std::string& pattern, const std::string& proposed) override;
    std::optional<std::string> OpenFile(const std::string& title, const std::string& description,
                                        const std::string& pattern, const std::string& proposed) override;
    std::optional<std::int32_t> PickColor(std::int32_t initialDialogOrder) override;
    void ShowError(const std::string& message) override;
    bool ConfirmReplace(const std::string& path) override;

private:
    HWND owner_;
    // The colour dialog's sixteen custom colours, kept while the window lives.
    std::array<COLORREF, 16> customColors_;
};

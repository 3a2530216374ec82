#pragma once
// The toolkit's own dialogs, parented to the active window.
#include "app/Dialogs.h"

class QtDialogs : public Dialogs {
public:
    std::optional<std::string> SaveFile(const std::string& title, const std::string& description,
                                        const std::string& pattern, const std::string& proposed) override;
    std::optional<std::string> OpenFile(const std::string& title, const std::string& description,
                                        const std::string& pattern, const std::string& proposed) override;
    std::optional<std::int32_t> PickColor(std::int32_t initialDialogOrder) override;
    void ShowError(const std::string& message) override;
    bool ConfirmReplace(const std::string& path) override;
};

#pragma once
// The modal dialogs the window needs, behind one interface: the window owns an
// implementation, so tests answer from a script instead of blocking in exec().
#include <QString>
#include <cstdint>
#include <optional>

class Dialogs {
public:
    virtual ~Dialogs() = default;

    // The chosen path, or nullopt when the user cancels. description and
    // pattern make the one filter entry ("ezplus(*.kjx)", "*.kjx").
    virtual std::optional<QString> SaveFile(const QString& title, const QString& description,
                                            const QString& pattern, const QString& proposed) = 0;
    // As SaveFile, for an existing file.
    virtual std::optional<QString> OpenFile(const QString& title, const QString& description,
                                            const QString& pattern, const QString& proposed) = 0;
    // Colours in dialog order 0x00BBGGRR. A result with the top bit set names
    // a system colour (the window resolves it).
    virtual std::optional<std::int32_t> PickColor(std::int32_t initialDialogOrder) = 0;
    // The standard error box: title "Pelko", stop icon, OK.
    virtual void ShowError(const QString& message) = 0;
    // Whether an existing file at path may be replaced.
    virtual bool ConfirmReplace(const QString& path) = 0;
};

// The toolkit's own dialogs, parented to the active window.
class QtDialogs : public Dialogs {
public:
    std::optional<QString> SaveFile(const QString& title, const QString& description,
                                    const QString& pattern, const QString& proposed) override;
    std::optional<QString> OpenFile(const QString& title, const QString& description,
                                    const QString& pattern, const QString& proposed) override;
    std::optional<std::int32_t> PickColor(std::int32_t initialDialogOrder) override;
    void ShowError(const QString& message) override;
    bool ConfirmReplace(const QString& path) override;
};

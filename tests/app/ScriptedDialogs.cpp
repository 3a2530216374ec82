#include "ScriptedDialogs.h"

#include <cstdio>

namespace pelko::test {

namespace {

template <typename Answer>
Answer Next(std::deque<Answer>& answers, Answer unscripted) {
    if (answers.empty()) return unscripted;
    Answer answer = std::move(answers.front());
    answers.pop_front();
    return answer;
}

std::string Hex(std::int32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", static_cast<unsigned>(value));
    return text;
}

}  // namespace

std::vector<std::string> ScriptedDialogs::Errors() const {
    std::vector<std::string> messages;
    for (const DialogCall& call : CallsOf("ShowError")) messages.push_back(call.arguments.at(0));
    return messages;
}

std::vector<DialogCall> ScriptedDialogs::CallsOf(const std::string& kind) const {
    std::vector<DialogCall> found;
    for (const DialogCall& call : calls) {
        if (call.kind == kind) found.push_back(call);
    }
    return found;
}

std::optional<std::string> ScriptedDialogs::NextFile() {
    return Next<std::optional<std::string>>(fileAnswers, std::nullopt);
}

std::optional<std::string> ScriptedDialogs::SaveFile(const std::string& title, const std::string& description,
                                                     const std::string& pattern, const std::string& proposed) {
    calls.push_back({"SaveFile", {title, description, pattern, proposed}});
    return NextFile();
}

std::optional<std::string> ScriptedDialogs::OpenFile(const std::string& title, const std::string& description,
                                                     const std::string& pattern, const std::string& proposed) {
    calls.push_back({"OpenFile", {title, description, pattern, proposed}});
    return NextFile();
}

std::optional<std::int32_t> ScriptedDialogs::PickColor(std::int32_t initialDialogOrder) {
    calls.push_back({"PickColor", {Hex(initialDialogOrder)}});
    return Next<std::optional<std::int32_t>>(colorAnswers, std::nullopt);
}

void ScriptedDialogs::ShowError(const std::string& message) {
    calls.push_back({"ShowError", {message}});
}

bool ScriptedDialogs::ConfirmReplace(const std::string& path) {
    calls.push_back({"ConfirmReplace", {path}});
    return Next(replaceAnswers, false);
}

}  // namespace pelko::test

#pragma once
// How the checks word a problem: the sentence, then its subject in
// parentheses, readable whatever bytes the subject holds.
#include <string>
#include <string_view>

namespace pelko {

// A CP932 text made readable for a message: UTF-8, control bytes as \xNN.
std::string ShownSubject(std::string_view cp932);
// A line as a problem names it: its beginning, readable, "..." after a cut;
// "空行" for an empty line.
std::string ProblemSubject(std::string_view line);
// The same for a line whose bytes are UTF-8 (a descriptor saved in the
// wrong encoding), cut between characters.
std::string Utf8ProblemSubject(std::string_view utf8Line);
// The sentence with its subject in parentheses.
std::string ProblemMessage(std::string_view sentence, std::string_view subject);

}  // namespace pelko

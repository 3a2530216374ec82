#pragma once
// What a template will do to the packages made from it, told to its author
// before any package is made: the option lines the window cannot use, the
// template's archive and names, and the handset rules on the two texts a
// build right after choosing the template would compose -- each problem at
// the line of the descriptor that causes it.
#include <string>

#include "package/checks/Problem.h"
#include "text/StringList.h"

namespace pelko {

// lines: the descriptor at templatePath (a host path; its archive is the
// ".jar" beside it). The problems are in line order, those no line holds
// (line 0) last; place is Template.
Problems CheckTemplate(const std::string& templatePath, const StringList& lines);

// Reads the descriptor at templatePath first; OpenError when it cannot.
Problems CheckTemplateFile(const std::string& templatePath);

}  // namespace pelko

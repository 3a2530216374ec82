#pragma once
// What the desktop knows Pelko by: its name, its desktop entry (the window's
// class, so that a dock ties the window to its launcher) and its icon.
#include <QIcon>
#include <QString>
#include <string>

// programDirectory: the host path of the running executable's folder, with
// its trailing separator. Call after the application object is made.
void SetUpApplication(const std::string& programDirectory);

// The desktop theme's icon of Pelko; where the theme has none (an
// installation under a prefix the desktop does not search), the bitmaps of
// hicolorDirectory, the icon theme folder installed with the program.
QIcon PelkoIcon(const QString& hicolorDirectory);

// The icon theme folder an installation puts beside programDirectory.
QString InstalledIconDirectory(const std::string& programDirectory);

#pragma once

#include <QString>

// The shell's special folders, as far as this program uses them.
namespace SpecialWindowsFolders {

// The folder that holds the files shown on the desktop.
constexpr int CSIDL_DESKTOPDIRECTORY = 16;

// The file-system path of special folder `csidl` with the separator appended; "" when it
// cannot be had (also for every folder this program has no use for).
QString GetSpecialFolderPath(int csidl);

QString GetDesktopFolderPath();

} // namespace SpecialWindowsFolders

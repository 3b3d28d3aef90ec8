#include "browse/special_windows_folders.h"

#include "platform/platform.h"

namespace SpecialWindowsFolders {

QString GetSpecialFolderPath(int csidl) {
    if (csidl == CSIDL_DESKTOPDIRECTORY)
        return platform::current().desktopFolder();
    return {};
}

QString GetDesktopFolderPath() {
    return GetSpecialFolderPath(CSIDL_DESKTOPDIRECTORY);
}

} // namespace SpecialWindowsFolders

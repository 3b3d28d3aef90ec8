#include "platform/windows_directory.h"

#include "platform/message_box.h"
#include "platform/platform.h"

namespace platform {

QString WindowsDirectory() {
    QString dir = current().windowsDirectory();
    // The classic call fills a fixed buffer: what follows a NUL is not part of the answer.
    const qsizetype nul = dir.indexOf(QChar(0));
    if (nul >= 0)
        dir.truncate(nul);
    while (dir.startsWith(u' '))
        dir.remove(0, 1);
    while (dir.endsWith(u' '))
        dir.chop(1);
    return dir;
}

QString WindowsDirectoryPath(QChar separator) {
    return WindowsDirectory() + separator;
}

bool CheckWindowsDirectory() {
    if (!WindowsDirectory().isEmpty())
        return true;
    MsgBox(QStringLiteral("PICREEL could not make its private folder for temporary pictures.\r\n"
                          "Pictures can be browsed and previewed, but no AVI file can be made "
                          "until PICREEL is started again."),
           MsgButtons::OK, MsgIcon::Critical);
    return false;
}

} // namespace platform

#include "platform/windows_directory.h"

#include "platform/platform.h"

namespace platform {

QString WindowsDirectoryPath(QChar separator) {
    QString dir = current().windowsDirectory();
    // The classic call fills a fixed buffer: what follows a NUL is not part of the answer.
    const qsizetype nul = dir.indexOf(QChar(0));
    if (nul >= 0)
        dir.truncate(nul);
    while (dir.startsWith(u' '))
        dir.remove(0, 1);
    while (dir.endsWith(u' '))
        dir.chop(1);
    return dir + separator;
}

} // namespace platform

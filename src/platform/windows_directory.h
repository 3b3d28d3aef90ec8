#pragma once

#include <QDir>
#include <QString>

namespace platform {

// The stand-in Windows directory followed by one separator, appended unconditionally.
QString WindowsDirectoryPath(QChar separator = QDir::separator());

} // namespace platform

#pragma once

#include <QDir>
#include <QString>

namespace platform {

// The stand-in Windows directory as the platform reports it, cut at a NUL and trimmed of
// spaces; empty when the program has no private folder in this run.
QString WindowsDirectory();

// The stand-in Windows directory followed by one separator, appended unconditionally.
QString WindowsDirectoryPath(QChar separator = QDir::separator());

// At start-up: tells the user when there is no private folder, and so no place for the
// temporary pictures that making an AVI file needs. Returns whether there is one.
bool CheckWindowsDirectory();

} // namespace platform

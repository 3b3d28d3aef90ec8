#pragma once

#include <QDir>
#include <QString>

namespace paths {

// The only path arithmetic the program does. None of these touches the file system; the
// separator is a parameter so that the rules read the same for "\" and "/".

// s without its last character when that is the separator; only one is removed.
QString StripTrailingBackslash(const QString& s, QChar separator = QDir::separator());

// The part after the last separator of the stripped path; "" when there is none.
QString FileNamePart(const QString& s, QChar separator = QDir::separator());

// The stripped path up to and including its last separator; "" when there is none.
QString FolderPart(const QString& s, QChar separator = QDir::separator());

// folder and name with exactly one separator between them; "" when folder is "".
QString JoinPath(const QString& folder, const QString& name, QChar separator = QDir::separator());

} // namespace paths

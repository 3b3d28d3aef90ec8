#include "paths/path_functions.h"

namespace paths {

QString StripTrailingBackslash(const QString& s, QChar separator) {
    return s.endsWith(separator) ? s.left(s.size() - 1) : s;
}

QString FileNamePart(const QString& s, QChar separator) {
    const QString t = StripTrailingBackslash(s, separator);
    const qsizetype last = t.lastIndexOf(separator);
    return last < 0 ? QString() : t.mid(last + 1);
}

QString FolderPart(const QString& s, QChar separator) {
    const QString t = StripTrailingBackslash(s, separator);
    const qsizetype last = t.lastIndexOf(separator);
    return last < 0 ? QString() : t.left(last + 1);
}

QString JoinPath(const QString& folder, const QString& name, QChar separator) {
    if (folder.isEmpty())
        return {};
    return folder.endsWith(separator) ? folder + name : folder + separator + name;
}

} // namespace paths

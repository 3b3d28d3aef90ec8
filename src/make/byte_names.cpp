#include "make/byte_names.h"

#include "paths/byte_names.h"

#include <QFile>

#include <dirent.h>
#include <memory>

namespace make {

using paths::carriesAsText;
using paths::shownName;

namespace {

bool isPictureName(const QByteArray& name) {
    const QByteArray lower = name.toLower();
    for (const char* ending : {".bmp", ".jpg", ".jpeg", ".gif", ".png", ".webp", ".tif", ".tiff"})
        if (lower.endsWith(ending))
            return true;
    return false;
}

} // namespace

QString notCarriedReason(const QByteArray& name) {
    return shownName(name) +
           QStringLiteral(": a name that is not UTF-8; PICREEL takes UTF-8 names only, rename it");
}

std::optional<QByteArray> firstUncarriedArgument(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i)
        if (!carriesAsText(argv[i]))
            return QByteArray(argv[i]);
    return std::nullopt;
}

std::optional<QByteArray> firstUncarriedPicture(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(path.constData()), &::closedir);
    if (!dir)
        return std::nullopt; // the listing itself reports what cannot be read
    while (const dirent* entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (isPictureName(name) && !carriesAsText(name))
            return path + (path.endsWith('/') ? "" : "/") + name;
    }
    return std::nullopt;
}

} // namespace make

#include "make/byte_names.h"

#include <QFile>

#include <dirent.h>
#include <memory>

namespace make {

namespace {

bool isPictureName(const QByteArray& name) {
    const QByteArray lower = name.toLower();
    for (const char* ending : {".bmp", ".jpg", ".jpeg", ".gif"})
        if (lower.endsWith(ending))
            return true;
    return false;
}

// The length of the UTF-8 sequence at `at`, 0 when the bytes there are none.
qsizetype utf8Length(const QByteArray& s, qsizetype at) {
    const uchar lead = uchar(s[at]);
    const qsizetype n = lead < 0x80             ? 1
                        : (lead & 0xE0) == 0xC0 ? 2
                        : (lead & 0xF0) == 0xE0 ? 3
                        : (lead & 0xF8) == 0xF0 ? 4
                                                : 0;
    if (n == 0 || at + n > s.size())
        return 0;
    for (qsizetype k = 1; k < n; ++k)
        if ((uchar(s[at + k]) & 0xC0) != 0x80)
            return 0;
    return n;
}

} // namespace

bool carriesAsText(const QByteArray& name) {
    return QFile::encodeName(QFile::decodeName(name)) == name;
}

QString shownName(const QByteArray& name) {
    QString shown;
    for (qsizetype i = 0; i < name.size();) {
        const qsizetype length = utf8Length(name, i);
        if (length == 0) {
            shown += QStringLiteral("\\x%1").arg(uchar(name[i]), 2, 16, QLatin1Char('0'));
            ++i;
        } else {
            shown += QString::fromUtf8(name.mid(i, length));
            i += length;
        }
    }
    return shown;
}

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

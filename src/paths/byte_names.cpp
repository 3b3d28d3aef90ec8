#include "paths/byte_names.h"

#include <QFile>

namespace paths {

namespace {

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

} // namespace paths

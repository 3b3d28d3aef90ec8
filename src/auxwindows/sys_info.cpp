#include "auxwindows/sys_info.h"

#include "platform/message_box.h"
#include "platform/platform.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The registry call is given a buffer of this many bytes; a longer value does not fit.
constexpr qsizetype valueBufferSize = 1024;

} // namespace

bool GetKeyValue(platform::KeyRoot KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                 QString& KeyVal) {
    using namespace platform;
    // Reading needs read access only: a key opened for full access cannot be opened at all by
    // a user who may not write it.
    const std::optional<StoredValue> value =
        current().keyValue(KeyRoot, KeyName, SubKeyRef, KeyAccess::Read);
    if (!value || value->data.size() > valueBufferSize) {
        KeyVal.clear();
        return false;
    }
    QByteArray text = value->data;
    if (text.endsWith('\0'))
        text.chop(1);
    switch (value->type) {
    case REG_SZ:
        KeyVal = QString::fromLocal8Bit(text);
        break;
    case REG_DWORD:
        for (qsizetype i = text.size() - 1; i >= 0; --i)
            KeyVal += QString::number(quint8(text[i]), 16).toUpper();
        KeyVal.prepend(QLatin1String("&h"));
        break;
    default:
        break;
    }
    return true;
}

void StartSysInfo() {
    QString path;
    bool found =
        GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), path);
    if (!found && GetKeyValue(HKEY_LOCAL_MACHINE,
                              QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                              QStringLiteral("MSINFO"), path)) {
        const QString program = path + QDir::separator() + QStringLiteral("MSINFO32.EXE");
        found = QFileInfo(program).isFile();
        if (found)
            path = program;
    }
    if (found && platform::current().startProgram(path))
        return;
    platform::MsgBox(QStringLiteral("System Information Is Unavailable At This Time"));
}

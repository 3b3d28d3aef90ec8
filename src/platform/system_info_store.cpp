#include "platform/system_info_store.h"

#include <QStandardPaths>

namespace platform::system_info_store {

QStringList candidatePrograms() {
    // A full system profiler first, like the program the entry names on Windows; then the
    // desktops' own information centres; a hardware lister last, as it shows less to a user
    // who is not root.
    return {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"), QStringLiteral("cpu-x"),
            QStringLiteral("lshw-gtk")};
}

std::optional<StoredValue> value(KeyRoot root, const QString& key, const QString& name,
                                 KeyAccess access, const QStringList& searchPaths) {
    if (access != KeyAccess::Read || root != KeyRoot::LocalMachine ||
        key.compare(QStringView(programKey), Qt::CaseInsensitive) != 0 ||
        name.compare(QStringView(programValue), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    for (const QString& program : candidatePrograms()) {
        const QString path = QStandardPaths::findExecutable(program, searchPaths);
        if (!path.isEmpty())
            return StoredValue{REG_SZ, path.toLocal8Bit() + '\0'};
    }
    return std::nullopt;
}

} // namespace platform::system_info_store

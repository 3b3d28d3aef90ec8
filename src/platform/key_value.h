#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace platform {

// The store's roots keep the registry's handle values, so callers read like the code that
// asks a real registry.
enum class KeyRoot : quint32 { LocalMachine = 0x80000002 };

// What a key is opened for. A store refuses full access where the user may not write.
enum class KeyAccess { Read, AllAccess };

// Value types, numbered as the registry numbers them.
enum RegValueType : quint32 { REG_SZ = 1, REG_DWORD = 4 };

// A value as the store hands it over: its type and exactly the bytes it holds, so a string
// stored with its terminating NUL arrives with it.
struct StoredValue {
    quint32 type = REG_SZ;
    QByteArray data;

    bool operator==(const StoredValue&) const = default;
};

} // namespace platform

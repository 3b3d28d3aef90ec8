#pragma once

#include "platform/key_value.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace platform {

// Linux has no registry. This store stands in for it with the one entry the program reads
// that Linux can answer: where the System Information program is. It holds nothing else,
// and it is read-only.
namespace system_info_store {

// The key and value that name the System Information program.
inline constexpr char16_t programKey[] = u"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr char16_t programValue[] = u"PATH";

// System-information programs in the order they are looked for.
QStringList candidatePrograms();

// The value at key/name, or std::nullopt when the store has none or cannot give the access
// asked for. Programs are searched in searchPaths, or in PATH when it is empty.
std::optional<StoredValue> value(KeyRoot root, const QString& key, const QString& name,
                                 KeyAccess access, const QStringList& searchPaths = {});

} // namespace system_info_store
} // namespace platform

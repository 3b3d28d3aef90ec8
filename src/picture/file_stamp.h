#pragma once

#include <QString>
#include <optional>

namespace picture {

// What identifies a file's content without reading it: which file it is, its length and its
// last change. A result kept from reading a file stands for the file only while its stamp
// is the same.
struct FileStamp {
    unsigned long long device = 0, inode = 0;
    long long size = 0, modifiedNs = 0, changedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// Nothing when the file cannot be looked at.
std::optional<FileStamp> StampOf(const QString& path);

} // namespace picture

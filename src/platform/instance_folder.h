#pragma once

#include <QString>
#include <memory>

namespace platform {

// A private folder that belongs to this running copy of the program alone, with a TEMP
// subfolder, both mode 0700. Copies running at once get different folders: each holds an
// exclusive lock on its slot for as long as it lives, and a new copy takes the lowest slot
// that nobody holds, so folders are reused rather than piling up.
class InstanceFolder {
public:
    // Claims a slot under base (made 0700 when missing). Null when base cannot be used:
    // not ours, not a real folder, or not writable.
    static std::unique_ptr<InstanceFolder> claim(const QString& base);

    ~InstanceFolder();
    InstanceFolder(const InstanceFolder&) = delete;
    InstanceFolder& operator=(const InstanceFolder&) = delete;

    QString path() const { return path_; }

    // $XDG_RUNTIME_DIR/picreel when the runtime folder is usable, else the user's cache
    // folder's picreel.
    static QString defaultBase();

private:
    InstanceFolder(QString path, int lockFd) : path_(std::move(path)), lockFd_(lockFd) {}

    QString path_;
    int lockFd_;
};

} // namespace platform

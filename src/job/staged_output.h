#pragma once

#include <QByteArray>
#include <QString>

namespace job {

// The job's output is written to a new file beside its target and put in place whole at the
// end, so that the file the user already has is replaced only by a complete new one, and a
// cancel or a failure before the first frame leaves it as it was. The new file's hidden name
// says what it is (".holiday.avi.picreel-unfinished-k3Xz9q"); two runs on one target each
// write their own, and the last to finish wins whole.
class StagedOutput {
public:
    explicit StagedOutput(const QString& target);
    // Removes the new file unless it has been put in place.
    ~StagedOutput();
    StagedOutput(const StagedOutput&) = delete;
    StagedOutput& operator=(const StagedOutput&) = delete;

    // Where the job writes, as the system's bytes.
    const QByteArray& path() const { return path_; }
    // Removes what has been written so far, for a new start at the same path. A new file
    // rather than the old one emptied: ext4 flushes a file emptied by truncation to disk
    // when it is closed, which for a video of a gigabyte holds the job's end up by a third of
    // a second.
    void startAfresh();
    // Renames the new file onto the target, keeping the permissions of a target that exists;
    // false, with errno set, when that fails (the new file then stays for the caller to drop).
    bool putInPlace();

    // The new file being written now, "" when none: for a signal handler that must give up
    // and remove it (only async-signal-safe calls may use it there).
    static const char* unfinishedNow();

    // The hidden name's mark, by which a left-over file is recognised.
    static constexpr const char* unfinishedMark = ".picreel-unfinished-";

private:
    QByteArray target_;
    QByteArray path_;
    bool placed_ = false;
};

} // namespace job

#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>

namespace picture {

// Owns one POSIX file descriptor and closes it on every path out.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor();
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int get() const { return fd_; }
    // Closes now and reports whether the close succeeded: for a file just written, a failed
    // close can be the first sign that the data never arrived.
    bool close();

private:
    int fd_;
};

// Reads up to `size` bytes at `offset`, retrying short reads, and returns how many there
// were before the end of the file. Throws PictureError (ReadFailed) on an I/O error.
std::size_t readAt(int fd, std::uint8_t* into, std::size_t size, std::int64_t offset,
                   const QString& fileName);
// Writes all `size` bytes at `offset` or throws PictureError (WriteFailed).
void writeAt(int fd, const std::uint8_t* from, std::size_t size, std::int64_t offset,
             const QString& fileName);

// The system's own description of an errno value.
QString systemErrorText(int error);

} // namespace picture

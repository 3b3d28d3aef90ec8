#include "picture/file_io.h"

#include "bytes/write_size.h"

#include "picture/picture_error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace picture {

FileDescriptor::~FileDescriptor() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool FileDescriptor::close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
}

std::size_t readAt(int fd, std::uint8_t* into, std::size_t size, std::int64_t offset,
                   const QString& fileName) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, into + done, size - done, offset + std::int64_t(done));
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw PictureError(PictureError::Kind::ReadFailed,
                               fileName + QStringLiteral(": ") + systemErrorText(errno));
        }
        done += std::size_t(n);
    }
    return done;
}

void writeAt(int fd, const std::uint8_t* from, std::size_t size, std::int64_t offset,
             const QString& fileName) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, from + done, std::min(size - done, bytes::largestWrite),
                                   offset + std::int64_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw PictureError(PictureError::Kind::WriteFailed,
                               fileName + QStringLiteral(": ") +
                                   systemErrorText(n < 0 ? errno : EIO));
        done += std::size_t(n);
    }
}

QString systemErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace picture

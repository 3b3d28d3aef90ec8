#include "avi/riff_file.h"

#include "bytes/write_size.h"

#include <algorithm>
#include <cassert>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace avi {

namespace {
// Room is taken in steps so that big frames do not cost a call each; near a limit the
// exact amount is tried before giving up.
constexpr std::uint64_t roomStep = 8u << 20;
} // namespace

RiffFile::~RiffFile() {
    if (fd_ >= 0)
        ::close(fd_);
}

bool RiffFile::fail(int err) {
    if (error_ == 0)
        error_ = err ? err : EIO;
    return false;
}

bool RiffFile::create(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd_ < 0)
        return fail(errno);
    pos_ = room_ = 0;
    return true;
}

bool RiffFile::finish() {
    if (fd_ < 0)
        return fail(EBADF);
    bool ok = ::ftruncate(fd_, off_t(pos_)) == 0 || fail(errno);
    if (::close(fd_) != 0 && ok)
        ok = fail(errno);
    fd_ = -1;
    return ok;
}

bool RiffFile::writeVector(const iovec* parts, int count) {
    if (fd_ < 0)
        return fail(EBADF);
    iovec local[8];
    assert(count <= 8);
    std::copy(parts, parts + count, local);
    iovec* cur = local;
    while (count > 0) {
        // At most bytes::largestWrite a call: the parts that fit, and a piece of the next.
        iovec piece[8];
        int pieces = 0;
        for (std::size_t total = 0; pieces < count && total < bytes::largestWrite; ++pieces) {
            piece[pieces] = cur[pieces];
            piece[pieces].iov_len = std::min(piece[pieces].iov_len, bytes::largestWrite - total);
            total += piece[pieces].iov_len;
        }
        const ssize_t n = ::pwritev(fd_, piece, pieces, off_t(pos_));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail(errno);
        }
        if (n == 0)
            return fail(ENOSPC);
        pos_ += std::uint64_t(n);
        auto left = std::size_t(n);
        while (count > 0 && left >= cur->iov_len) {
            left -= cur->iov_len;
            ++cur;
            --count;
        }
        if (count > 0) {
            cur->iov_base = static_cast<char*>(cur->iov_base) + left;
            cur->iov_len -= left;
        }
    }
    room_ = std::max(room_, pos_);
    return true;
}

bool RiffFile::write(const void* data, std::size_t size) {
    iovec part{const_cast<void*>(data), size};
    return writeVector(&part, 1);
}

bool RiffFile::patch(std::uint64_t offset, const void* data, std::size_t size) {
    const std::uint64_t keep = pos_;
    pos_ = offset;
    const bool ok = write(data, size);
    pos_ = keep;
    return ok;
}

bool RiffFile::ensureRoom(std::uint64_t bytes) {
    if (fd_ < 0)
        return fail(EBADF);
    const std::uint64_t need = pos_ + bytes;
    if (need <= room_)
        return true;
    for (const std::uint64_t target : {need + roomStep, need}) {
        int err = ::posix_fallocate(fd_, off_t(room_), off_t(target - room_));
        if (err != 0 && err != ENOSPC && err != EFBIG && err != EDQUOT) {
            // A file system that cannot reserve blocks: a longer file still meets a
            // file-size limit now rather than in the middle of the index.
            err = ::ftruncate(fd_, off_t(target)) == 0 ? 0 : errno;
        }
        if (err == 0) {
            room_ = target;
            return true;
        }
        // A failed attempt may still have grown the file; what it holds is ours.
        struct stat st {};
        if (::fstat(fd_, &st) == 0)
            room_ = std::max(room_, std::uint64_t(st.st_size));
        if (target == need)
            return fail(err);
    }
    return false;
}

Chunk RiffFile::beginChunk(std::uint32_t id) {
    Chunk c{pos_, id};
    writeRecord(ChunkHeader{.ckid = id});
    return c;
}

Chunk RiffFile::beginList(std::uint32_t listId, std::uint32_t type) {
    Chunk c{pos_, listId};
    writeRecord(ListHeader{.dwList = listId, .dwFourCC = type});
    return c;
}

bool RiffFile::end(Chunk chunk) {
    const std::uint64_t size = pos_ - chunk.header - 8;
    if (size > 0xFFFFFFFFu)
        return fail(EFBIG);
    if ((size & 1) != 0) {
        const char pad = 0;
        if (!write(&pad, 1))
            return false;
    }
    return patchRecord(chunk.header, ChunkHeader{.ckid = chunk.id, .ckSize = std::uint32_t(size)});
}

} // namespace avi

#pragma once

#include "avi/avi_records.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <sys/uio.h>

namespace avi {

// An open RIFF chunk or list: where its header sits, so that closing it can patch the size.
struct Chunk {
    std::uint64_t header = 0;
    std::uint32_t id = 0; // the chunk's ID, or 'RIFF' or 'LIST'
};

// A file written as RIFF chunks at a write position that the caller can move back (to drop
// frames that did not make it). Every failure leaves errno's value in error() and returns
// false; nothing is written behind the caller's back.
//
// Room: ensureRoom() makes the file own the blocks up to a given offset before data goes
// there, so that a full disk or a file-size limit is met while the file can still be
// closed properly: the index written at close goes into room taken earlier.
class RiffFile {
public:
    RiffFile() = default;
    RiffFile(const RiffFile&) = delete;
    RiffFile& operator=(const RiffFile&) = delete;
    ~RiffFile();

    // Creates or replaces the file.
    bool create(const std::string& path);
    // Cuts the file at the write position and closes it.
    bool finish();
    bool isOpen() const { return fd_ >= 0; }
    // errno's value of the first failure since clearError(), 0 when none.
    int error() const { return error_; }
    void clearError() { error_ = 0; }

    std::uint64_t pos() const { return pos_; }
    void rewindTo(std::uint64_t offset) { pos_ = offset; }

    bool write(const void* data, std::size_t size);
    // Up to 8 parts, written one after the other.
    bool writeVector(const iovec* parts, int count);
    // Overwrites bytes already written; the write position stays.
    bool patch(std::uint64_t offset, const void* data, std::size_t size);
    template <typename Record> bool patchRecord(std::uint64_t offset, const Record& r) {
        const auto bytes = encoded(r);
        return patch(offset, bytes.data(), bytes.size());
    }
    template <typename Record> bool writeRecord(const Record& r) {
        const auto bytes = encoded(r);
        return write(bytes.data(), bytes.size());
    }

    // Makes sure the bytes up to pos() + bytes are the file's own.
    bool ensureRoom(std::uint64_t bytes);

    Chunk beginChunk(std::uint32_t id);
    Chunk beginList(std::uint32_t listId, std::uint32_t type);
    // Pads an odd payload with one zero byte and patches the chunk's size.
    bool end(Chunk chunk);

private:
    bool fail(int err);

    int fd_ = -1;
    int error_ = 0;
    std::uint64_t pos_ = 0;
    std::uint64_t room_ = 0; // the file owns every byte below this offset
};

} // namespace avi

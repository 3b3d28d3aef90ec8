#pragma once

#include "picture/large_buffers.h"
#include "picture/picture_error.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace picture {

// How a ByteBuffer lets go of its bytes: by delete[] when it allocated them, by giving them
// back when they are large (`large` bytes taken from large_buffers), or by dropping `owner`
// when they live inside another object (a decoded picture whose memory was reused). The
// owner goes at once, not when the buffer's deleter does: a reset must free the memory.
struct ByteRelease {
    mutable std::shared_ptr<const void> owner;
    std::size_t large = 0;
    void operator()(std::uint8_t* bytes) const {
        if (owner)
            owner.reset();
        else if (large > 0)
            large_buffers::giveBack(bytes, large);
        else
            delete[] bytes;
    }
};
using ByteBuffer = std::unique_ptr<std::uint8_t[], ByteRelease>;

// An uninitialised buffer of `size` bytes for `fileName`. Running out of memory is the
// picture code's own error (`kind`), never a std::bad_alloc: callers are promised
// PictureError alone.
inline ByteBuffer allocateBytes(std::size_t size, PictureError::Kind kind,
                                const QString& fileName) {
    const auto noMemory = [&] {
        return PictureError(kind, fileName +
                                      QStringLiteral(": not enough memory for %1 bytes").arg(size));
    };
    if (size >= large_buffers::smallest) {
        std::uint8_t* bytes = large_buffers::take(size);
        if (bytes == nullptr)
            throw noMemory();
        return ByteBuffer(bytes, ByteRelease{.owner = nullptr, .large = size});
    }
    try {
        return ByteBuffer(std::make_unique_for_overwrite<std::uint8_t[]>(size).release());
    } catch (const std::bad_alloc&) {
        throw noMemory();
    }
}

} // namespace picture

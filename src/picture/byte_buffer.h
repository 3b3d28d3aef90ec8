#pragma once

#include "picture/picture_error.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace picture {

// An uninitialised buffer of `size` bytes for `fileName`. Running out of memory is the
// picture code's own error (`kind`), never a std::bad_alloc: callers are promised
// PictureError alone.
inline std::unique_ptr<std::uint8_t[]> allocateBytes(std::size_t size, PictureError::Kind kind,
                                                     const QString& fileName) {
    try {
        return std::make_unique_for_overwrite<std::uint8_t[]>(size);
    } catch (const std::bad_alloc&) {
        throw PictureError(kind,
                           fileName + QStringLiteral(": not enough memory for %1 bytes").arg(size));
    }
}

} // namespace picture

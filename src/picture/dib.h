#pragma once

#include "picture/bitmap_headers.h"
#include "picture/bitmap_saver.h"

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace picture {

// One Windows Bitmap as the file stores it: the info block (info header plus colour table,
// or whatever the file keeps between its file header and its pixels) and the pixel rows,
// each in one contiguous buffer whose address and length go straight to the video stream.
// No decoding, no conversion, no re-padding of rows.
//
// The object is meant to be loaded again and again; a successful load replaces everything,
// and a load that fails with a PictureError changes nothing.
class cDIB {
public:
    cDIB() = default;
    cDIB(const cDIB&) = delete;
    cDIB& operator=(const cDIB&) = delete;

    // Reads a .bmp file. False when the user has been told why in a message box (missing
    // file, access refused or another open failure, no "BM" signature); the caller shows
    // nothing more. Throws PictureError when the header contradicts the file: a pixel or
    // info block reaching past the file's end, an offset below 54, an image size below 1.
    bool CreateFromFile(QString fileName);
    // Takes a packed DIB: a 40-byte info header directly followed by the pixels, with
    // `size` readable bytes at `address`. Refuses silently (false) unless the DIB has at
    // least 16 bits per pixel, an image size of at least 1 and that many bytes behind the
    // header, and a Bitmap file of it would stay within 2 GiB. A refused DIB's info header is kept
    // all the same (the object then reports its values while still holding the earlier buffers); a
    // DIB shorter than its header is refused without touching anything.
    bool CreateFromPackedDIBPointer(const void* address, std::size_t size);
    // Takes a whole Bitmap file as the picture loader builds it (a 40-byte info header, no
    // colour table), keeping its buffer rather than copying the pixels out of it. Accepts and
    // refuses as CreateFromPackedDIBPointer does for the DIB inside; a refused file's buffer
    // is dropped.
    bool AdoptBitmap(BitmapBytes&& bitmap);
    // Writes the object as a .bmp file. Returns true; a failure to open or write throws
    // PictureError. An existing file is overwritten in place, not truncated.
    bool WriteToFile(QString fileName) const;
    // Lets go of the pixels and info block, for a caller that will not fall back on this
    // picture when the next load fails and would rather not hold two pictures meanwhile.
    void Clear() {
        bits_.reset();
        infoBlock_.reset();
    }

    std::int32_t BitCount() const { return info_.biBitCount; }
    std::int32_t Height() const { return info_.biHeight; }
    std::int32_t Width() const { return info_.biWidth; }
    std::int32_t Compression() const { return info_.biCompression; }
    std::int32_t SizeInfoHeader() const { return info_.biSize; }
    std::int32_t SizeImage() const { return info_.biSizeImage; }
    std::int32_t Planes() const { return info_.biPlanes; }
    std::int32_t ClrImportant() const { return info_.biClrImportant; }
    std::int32_t ClrUsed() const { return info_.biClrUsed; }
    std::int32_t XPPM() const { return info_.biXPelsPerMeter; }
    std::int32_t YPPM() const { return info_.biYPelsPerMeter; }
    std::int32_t FileType() const { return file_.bfType; }
    // bfSize as the file header states it, not the header's own length of 14.
    std::int32_t SizeFileHeader() const { return file_.bfSize; }
    std::int32_t BitOffset() const { return file_.bfOffBits; }
    // Valid until the next load into this object or its destruction. Throw PictureError
    // on an object that holds no picture yet.
    const std::uint8_t* PointerToBits() const;
    const std::uint8_t* PointerToBitmapInfo() const;
    std::int32_t SizeBitmapInfo() const { return static_cast<std::int32_t>(infoBlockSize_); }

private:
    static bool FileExists(const QString& fileName);
    // The checks both packed-DIB loads make, keeping the header as they go.
    bool takePackedHeader(const std::uint8_t* bytes, std::size_t size);
    // Makes the object the packed DIB whose info header is at `header` and whose pixels
    // start `bitsOffset` bytes into `bits`.
    void keepPacked(const std::uint8_t* header, ByteBuffer bits, std::size_t bitsOffset);

    // In the order of the object's state: pixel buffer, info block, info header, file header.
    ByteBuffer bits_;
    std::size_t bitsOffset_ = 0; // where the pixels start in bits_
    std::size_t bitsSize_ = 0;
    ByteBuffer infoBlock_;
    std::size_t infoBlockSize_ = 0;
    BitmapInfoHeader info_;
    BitmapFileHeader file_;
};

} // namespace picture

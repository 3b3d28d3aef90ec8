#include "picture/bitmap_headers.h"

#include "bytes/le_bytes.h"

namespace picture {

using bytes::LeReader;

BitmapFileHeader decodeFileHeader(const std::uint8_t* bytes) {
    LeReader r(bytes);
    BitmapFileHeader h;
    h.bfType = r.i16();
    h.bfSize = r.i32();
    h.bfReserved1 = r.i16();
    h.bfReserved2 = r.i16();
    h.bfOffBits = r.i32();
    return h;
}

BitmapInfoHeader decodeInfoHeader(const std::uint8_t* bytes) {
    LeReader r(bytes);
    BitmapInfoHeader h;
    h.biSize = r.i32();
    h.biWidth = r.i32();
    h.biHeight = r.i32();
    h.biPlanes = r.i16();
    h.biBitCount = r.i16();
    h.biCompression = r.i32();
    h.biSizeImage = r.i32();
    h.biXPelsPerMeter = r.i32();
    h.biYPelsPerMeter = r.i32();
    h.biClrUsed = r.i32();
    h.biClrImportant = r.i32();
    return h;
}

} // namespace picture

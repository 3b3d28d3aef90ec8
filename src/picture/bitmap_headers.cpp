#include "picture/bitmap_headers.h"

#include "bytes/le_bytes.h"

namespace picture {

using bytes::LeReader;
using bytes::LeWriter;

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

void encodeFileHeader(const BitmapFileHeader& header, std::uint8_t* bytes) {
    LeWriter w(bytes);
    w.i16(header.bfType);
    w.i32(header.bfSize);
    w.i16(header.bfReserved1);
    w.i16(header.bfReserved2);
    w.i32(header.bfOffBits);
}

void encodeInfoHeader(const BitmapInfoHeader& header, std::uint8_t* bytes) {
    LeWriter w(bytes);
    w.i32(header.biSize);
    w.i32(header.biWidth);
    w.i32(header.biHeight);
    w.i16(header.biPlanes);
    w.i16(header.biBitCount);
    w.i32(header.biCompression);
    w.i32(header.biSizeImage);
    w.i32(header.biXPelsPerMeter);
    w.i32(header.biYPelsPerMeter);
    w.i32(header.biClrUsed);
    w.i32(header.biClrImportant);
}

} // namespace picture

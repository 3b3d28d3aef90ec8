#include "picture/bitmap_headers.h"

namespace picture {

namespace {

// Byte by byte, so that the host's order and the records' alignment never matter.
class Reader {
public:
    explicit Reader(const std::uint8_t* p) : p_(p) {}
    std::int16_t i16() {
        const auto v = static_cast<std::uint16_t>(p_[0] | p_[1] << 8);
        p_ += 2;
        return static_cast<std::int16_t>(v);
    }
    std::int32_t i32() {
        const std::uint32_t v = std::uint32_t(p_[0]) | std::uint32_t(p_[1]) << 8 |
                                std::uint32_t(p_[2]) << 16 | std::uint32_t(p_[3]) << 24;
        p_ += 4;
        return static_cast<std::int32_t>(v);
    }

private:
    const std::uint8_t* p_;
};

class Writer {
public:
    explicit Writer(std::uint8_t* p) : p_(p) {}
    void i16(std::int16_t v) { put(static_cast<std::uint16_t>(v), 2); }
    void i32(std::int32_t v) { put(static_cast<std::uint32_t>(v), 4); }

private:
    void put(std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            *p_++ = static_cast<std::uint8_t>(v >> (8 * i));
    }
    std::uint8_t* p_;
};

} // namespace

BitmapFileHeader decodeFileHeader(const std::uint8_t* bytes) {
    Reader r(bytes);
    BitmapFileHeader h;
    h.bfType = r.i16();
    h.bfSize = r.i32();
    h.bfReserved1 = r.i16();
    h.bfReserved2 = r.i16();
    h.bfOffBits = r.i32();
    return h;
}

BitmapInfoHeader decodeInfoHeader(const std::uint8_t* bytes) {
    Reader r(bytes);
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
    Writer w(bytes);
    w.i16(header.bfType);
    w.i32(header.bfSize);
    w.i16(header.bfReserved1);
    w.i16(header.bfReserved2);
    w.i32(header.bfOffBits);
}

void encodeInfoHeader(const BitmapInfoHeader& header, std::uint8_t* bytes) {
    Writer w(bytes);
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

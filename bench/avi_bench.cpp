// The writing side of bench/avi_write: writes AVI files through the AVIFile layer the way
// the Make-AVI job does, and the same frames as plain files for the peers to work on.
//
//   avi_bench raw OUT.avi W H N        N different 24-bit frames, uncompressed
//   avi_bench frames OUT.raw W H N     the same frames, top-down B, G, R, for ffmpeg
//   avi_bench slideshow OUT.avi W H N  one picture N times, MJPEG at the default quality
//   avi_bench picture OUT.bmp W H      that picture as a Bitmap file, for ffmpeg
//   avi_bench mjpeg OUT.avi W H N IN.raw  N frames MJPEG at the default quality, taken in turn
//                                      from the top-down B, G, R frames of IN.raw; prints
//                                      the milliseconds per frame of the writing alone
//
// Every file is flushed to the disk before the program ends, as dd conv=fsync does.

#include "avi/mavidecs.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace mAVIDecs;

namespace {

struct Dib {
    std::vector<std::uint8_t> info;
    std::vector<std::uint8_t> bits;
};

void put(std::vector<std::uint8_t>& v, std::uint32_t x, int bytes) {
    for (int i = 0; i < bytes; ++i)
        v.push_back(std::uint8_t(x >> (8 * i)));
}

Dib picture(int w, int h, int seed) {
    Dib d;
    const int stride = (w * 3 + 3) / 4 * 4;
    for (std::uint32_t v : {40u, std::uint32_t(w), std::uint32_t(h)})
        put(d.info, v, 4);
    put(d.info, 1, 2);
    put(d.info, 24, 2);
    put(d.info, 0, 4);
    put(d.info, std::uint32_t(stride * h), 4);
    d.info.resize(40, 0);
    d.bits.resize(std::size_t(stride) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* p = &d.bits[std::size_t(y) * stride + 3 * x];
            p[0] = std::uint8_t(x + seed);
            p[1] = std::uint8_t(y * 2 + seed);
            p[2] = std::uint8_t((x ^ y) + 3 * seed);
        }
    return d;
}

void flush(const char* path) {
    const int fd = ::open(path, O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        std::perror(path);
        std::exit(1);
    }
    ::close(fd);
}

void check(HRESULT hr, const char* what) {
    if (hr != 0) {
        std::fprintf(stderr, "%s failed: %d\n", what, hr);
        std::exit(1);
    }
}

// Writes n frames, the pictures in turn; returns the milliseconds the frames took.
double writeAvi(const char* path, int w, int h, int n, std::uint32_t codec,
                const std::vector<Dib>& pictures) {
    PAVIFILE file = 0;
    PAVISTREAM plain = 0, compressed = 0;
    check(AVIFileOpen(&file, path, 4097, nullptr), "AVIFileOpen");
    AVI_STREAM_INFO info;
    info.fccType = mmioStringToFOURCCA("vids", 0);
    info.fccHandler = codec;
    info.dwScale = 1;
    info.dwRate = 25;
    SetRect(&info.rcFrame, 0, 0, w, h);
    check(AVIFileCreateStreamA(file, &plain, &info), "AVIFileCreateStreamA");
    AVI_COMPRESS_OPTIONS options;
    options.fccHandler = codec;
    check(AVIMakeCompressedStream(&compressed, plain, &options, nullptr), "compressed stream");
    const Dib& first = pictures.front();
    check(AVIStreamSetFormat(compressed, 0, first.info.data(), int(first.info.size())),
          "AVIStreamSetFormat");
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < n; ++i) {
        const Dib& p = pictures[std::size_t(i) % pictures.size()];
        check(AVIStreamWrite(compressed, i, 1, p.bits.data(), int(p.bits.size()), AVIIF_KEYFRAME,
                             nullptr, nullptr),
              "AVIStreamWrite");
    }
    const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
    check(AVIStreamRelease(plain), "AVIStreamRelease");
    check(AVIStreamRelease(compressed), "AVIStreamRelease");
    check(AVIFileRelease(file), "AVIFileRelease");
    flush(path);
    return took.count();
}

std::vector<Dib> generated(int w, int h, int count) {
    std::vector<Dib> pictures;
    for (int i = 0; i < count; ++i)
        pictures.push_back(picture(w, h, i * 29));
    return pictures;
}

// Frames of a raw file (top-down B, G, R, no padding) as bottom-up DIBs.
std::vector<Dib> readFrames(const char* path, int w, int h) {
    std::vector<Dib> pictures;
    std::FILE* f = std::fopen(path, "rb");
    std::vector<std::uint8_t> row(std::size_t(w) * 3);
    for (Dib d = picture(w, h, 0); f;) {
        const std::size_t stride = d.bits.size() / std::size_t(h);
        int y = h - 1;
        for (; y >= 0 && std::fread(row.data(), 1, row.size(), f) == row.size(); --y)
            std::memcpy(&d.bits[std::size_t(y) * stride], row.data(), row.size());
        if (y >= 0)
            break;
        pictures.push_back(d);
    }
    if (f == nullptr || pictures.empty()) {
        std::fprintf(stderr, "%s: no %d x %d frames\n", path, w, h);
        std::exit(1);
    }
    std::fclose(f);
    return pictures;
}

void writeFile(const char* path, const std::vector<std::uint8_t>& bytes, int times) {
    std::FILE* f = std::fopen(path, "wb");
    for (int i = 0; f && i < times; ++i)
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    if (!f || std::fclose(f) != 0) {
        std::perror(path);
        std::exit(1);
    }
    flush(path);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: avi_bench raw|frames|slideshow|picture|mjpeg OUT W H [N [IN.raw]]\n");
        return 2;
    }
    AVIFileInit();
    const std::string mode = argv[1];
    const int w = std::atoi(argv[3]), h = std::atoi(argv[4]);
    const int n = argc > 5 ? std::atoi(argv[5]) : 1;
    if (mode == "raw") {
        writeAvi(argv[2], w, h, n, 0, generated(w, h, 8));
    } else if (mode == "slideshow") {
        writeAvi(argv[2], w, h, n, mmioStringToFOURCCA("MJPG", 0), generated(w, h, 1));
    } else if (mode == "mjpeg" && argc > 6) {
        const double ms =
            writeAvi(argv[2], w, h, n, mmioStringToFOURCCA("MJPG", 0), readFrames(argv[6], w, h));
        std::printf("%.2f\n", ms / n);
    } else if (mode == "frames") {
        // Top-down rows, as ffmpeg's rawvideo input wants them; 8 pictures in turn.
        std::vector<std::uint8_t> all;
        for (int i = 0; i < 8; ++i) {
            const Dib d = picture(w, h, i * 29);
            const int stride = (w * 3 + 3) / 4 * 4;
            for (int y = h - 1; y >= 0; --y)
                all.insert(all.end(), d.bits.begin() + std::size_t(y) * stride,
                           d.bits.begin() + std::size_t(y) * stride + 3 * w);
        }
        std::FILE* f = std::fopen(argv[2], "wb");
        for (int i = 0; f && i < n; ++i)
            std::fwrite(all.data() + std::size_t(i % 8) * w * h * 3, 1, std::size_t(w) * h * 3, f);
        if (!f || std::fclose(f) != 0)
            return 1;
    } else if (mode == "picture") {
        const Dib d = picture(w, h, 0);
        std::vector<std::uint8_t> bmp{'B', 'M'};
        put(bmp, std::uint32_t(14 + d.info.size() + d.bits.size()), 4);
        put(bmp, 0, 4);
        put(bmp, std::uint32_t(14 + d.info.size()), 4);
        bmp.insert(bmp.end(), d.info.begin(), d.info.end());
        bmp.insert(bmp.end(), d.bits.begin(), d.bits.end());
        writeFile(argv[2], bmp, 1);
    } else {
        return 2;
    }
    AVIFileExit();
    return 0;
}

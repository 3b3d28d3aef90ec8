// What the machine can do at most with the pictures of a run: libjpeg-turbo decodes each one
// straight into bottom-up BGR rows, as an uncompressed frame holds them, and nothing else.
// bench/compare starts one copy per core, each on its share of the pictures.
// Usage: jpeg_limit MODE OUT PICTURE...
//   MODE decode: decode only, OUT is not written
//        raw:    decode and append each frame's rows to OUT
//        mjpeg:  decode, encode again at libjpeg quality 83 (4:2:0: the
//                picture of our default MJPEG quality) and append the JPEG to OUT
// jpeglib.h needs size_t and FILE declared before it.
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jpeglib.h>

namespace {

// libjpeg's default error handler prints and exits, which is what a bench tool wants.
bool decode(const char* path, std::vector<unsigned char>& bgr, int& width, int& height) {
    std::FILE* in = std::fopen(path, "rb");
    if (!in) {
        std::perror(path);
        return false;
    }
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_stdio_src(&d, in);
    jpeg_read_header(&d, TRUE);
    d.out_color_space = JCS_EXT_BGR;
    jpeg_start_decompress(&d);
    width = int(d.output_width);
    height = int(d.output_height);
    const std::size_t stride = std::size_t(width) * 3;
    bgr.resize(stride * std::size_t(height));
    while (d.output_scanline < d.output_height) {
        // A Bitmap's rows run bottom-up.
        JSAMPROW row = bgr.data() + stride * (d.output_height - 1 - d.output_scanline);
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    std::fclose(in);
    return true;
}

void encode(const std::vector<unsigned char>& bgr, int width, int height,
            std::vector<unsigned char>& out) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = JDIMENSION(width);
    c.image_height = JDIMENSION(height);
    c.input_components = 3;
    c.in_color_space = JCS_EXT_BGR;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 83, TRUE);
    jpeg_start_compress(&c, TRUE);
    const std::size_t stride = std::size_t(width) * 3;
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(bgr.data()) +
                       stride * (c.image_height - 1 - c.next_scanline);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    out.assign(mem, mem + size);
    jpeg_destroy_compress(&c);
    std::free(mem);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: jpeg_limit decode|raw|mjpeg OUT PICTURE...\n");
        return 2;
    }
    const char* mode = argv[1];
    const bool write = std::strcmp(mode, "decode") != 0;
    const bool mjpeg = std::strcmp(mode, "mjpeg") == 0;
    std::FILE* out = write ? std::fopen(argv[2], "wb") : nullptr;
    if (write && !out) {
        std::perror(argv[2]);
        return 1;
    }
    std::vector<unsigned char> bgr, jpeg;
    for (int i = 3; i < argc; ++i) {
        int width = 0, height = 0;
        if (!decode(argv[i], bgr, width, height))
            return 1;
        if (!write)
            continue;
        const std::vector<unsigned char>* frame = &bgr;
        if (mjpeg) {
            encode(bgr, width, height, jpeg);
            frame = &jpeg;
        }
        if (std::fwrite(frame->data(), 1, frame->size(), out) != frame->size()) {
            std::perror(argv[2]);
            return 1;
        }
    }
    if (out && std::fclose(out) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}

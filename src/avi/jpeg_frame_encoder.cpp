#include "avi/jpeg_frame_encoder.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t first
#include <cstdlib>

#include <jerror.h>
#include <jpeglib.h>

namespace avi {

// libjpeg's state for one encoder. libjpeg reports a failure by calling error_exit, which
// must not return: it jumps back to the setjmp of the call in progress. Every piece of
// state lives here, so encoders on different threads share nothing.
struct JpegFrameEncoder::Codec {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    jpeg_destination_mgr destination{};
    std::jmp_buf failed{};
    char reason[JMSG_LENGTH_MAX] = {};
    // The output buffer, kept from frame to frame and grown (realloc) when a frame
    // outgrows it; plain C memory, so growing it inside libjpeg cannot throw.
    unsigned char* out = nullptr;
    std::size_t capacity = 0;
    std::vector<JSAMPROW> rows;

    ~Codec() {
        jpeg_destroy_compress(&cinfo); // a no-op when it was never created
        std::free(out);
    }
};

namespace {

using Codec = JpegFrameEncoder::Codec;

Codec& codecOf(j_common_ptr cinfo) {
    return *static_cast<Codec*>(cinfo->client_data);
}

[[noreturn]] void jumpBack(j_common_ptr cinfo) {
    Codec& k = codecOf(cinfo);
    (*cinfo->err->format_message)(cinfo, k.reason);
    std::longjmp(k.failed, 1);
}

// Compression warnings leave the frame usable; libjpeg would print them on stderr.
void dropMessage(j_common_ptr) {}

void startOutput(j_compress_ptr cinfo) {
    Codec& k = codecOf(j_common_ptr(cinfo));
    cinfo->dest->next_output_byte = k.out;
    cinfo->dest->free_in_buffer = k.capacity;
}

// Called when the buffer is full.
boolean growOutput(j_compress_ptr cinfo) {
    Codec& k = codecOf(j_common_ptr(cinfo));
    const std::size_t bigger = k.capacity * 2;
    auto* grown = static_cast<unsigned char*>(std::realloc(k.out, bigger));
    if (grown == nullptr)
        ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
    k.out = grown;
    cinfo->dest->next_output_byte = grown + k.capacity;
    cinfo->dest->free_in_buffer = bigger - k.capacity;
    k.capacity = bigger;
    return TRUE;
}

void endOutput(j_compress_ptr) {}

// The calls that may end in error_exit, each behind its own setjmp. Nothing between a
// setjmp and libjpeg needs destruction, so the jump skips no destructor.
bool setUp(Codec& k, int width, int height, bool fourBytes, int quality) {
    if (setjmp(k.failed))
        return false;
    jpeg_create_compress(&k.cinfo);
    k.cinfo.dest = &k.destination;
    k.cinfo.image_width = JDIMENSION(width);
    k.cinfo.image_height = JDIMENSION(height);
    k.cinfo.input_components = fourBytes ? 4 : 3;
    k.cinfo.in_color_space = fourBytes ? JCS_EXT_BGRX : JCS_EXT_BGR;
    // YCbCr with a JFIF header, 2 x 2 luma sampling (4:2:0), the standard Huffman tables.
    jpeg_set_defaults(&k.cinfo);
    jpeg_set_quality(&k.cinfo, quality, TRUE);
    return true;
}

bool compress(Codec& k) {
    if (setjmp(k.failed)) {
        jpeg_abort_compress(&k.cinfo);
        return false;
    }
    // TRUE: every frame gets its own tables, which MJPEG players need.
    jpeg_start_compress(&k.cinfo, TRUE);
    while (k.cinfo.next_scanline < k.cinfo.image_height)
        jpeg_write_scanlines(&k.cinfo, k.rows.data() + k.cinfo.next_scanline,
                             k.cinfo.image_height - k.cinfo.next_scanline);
    jpeg_finish_compress(&k.cinfo);
    return true;
}

Status libjpegFailure(const char* doing, const Codec& k) {
    return failure(Fault::Compressor, std::string("libjpeg: ") + doing + ": " + k.reason);
}

} // namespace

bool JpegFrameEncoder::takes(const DibFormat& source) {
    return source.bitCount == 24 || source.bitCount == 32;
}

JpegFrameEncoder::JpegFrameEncoder() = default;
JpegFrameEncoder::~JpegFrameEncoder() = default;

Status JpegFrameEncoder::open(const DibFormat& source, int quality) {
    source_ = source;
    codec_ = std::make_unique<Codec>();
    Codec& k = *codec_;
    k.cinfo.err = jpeg_std_error(&k.errors);
    k.errors.error_exit = jumpBack;
    k.errors.output_message = dropMessage;
    k.cinfo.client_data = &k;
    k.destination.init_destination = startOutput;
    k.destination.empty_output_buffer = growOutput;
    k.destination.term_destination = endOutput;
    k.rows.resize(std::size_t(source.rows()));
    // Grown by the first frames to what the pictures need, then kept.
    k.capacity = 1024;
    k.out = static_cast<unsigned char*>(std::malloc(k.capacity));
    if (k.out == nullptr)
        return failure(Fault::Memory, "libjpeg: no memory for the output buffer");
    if (!setUp(k, source.width, source.rows(), source.bitCount == 32, quality))
        return libjpegFailure("setting up", k);
    open_ = true;
    return {};
}

Status JpegFrameEncoder::encode(const std::uint8_t* bits, std::vector<std::uint8_t>& packet) {
    if (!open_)
        return failure(Fault::Compressor, "libjpeg: a frame before the encoder was set up");
    Codec& k = *codec_;
    // Bottom-up DIBs give their top row last.
    const std::size_t count = k.rows.size();
    for (std::size_t y = 0; y < count; ++y) {
        const std::size_t row = source_.topDown() ? y : count - 1 - y;
        k.rows[y] = const_cast<JSAMPROW>(bits + row * source_.stride); // libjpeg only reads
    }
    if (!compress(k))
        return libjpegFailure("compressing a frame", k);
    packet.assign(k.out, k.out + (k.capacity - k.destination.free_in_buffer));
    return {};
}

} // namespace avi

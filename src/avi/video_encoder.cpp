#include "avi/video_encoder.h"

#include "picture/bitmap_headers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

namespace avi {

namespace {

constexpr std::uint32_t defaultQuality = 7500;

// The quantiser scale, 2 (best) .. 31, of a quality 0..10000: most of the slider is spent on
// the useful low end.
double quantiserOf(std::uint32_t quality) {
    const double loss = (10000.0 - quality) / 10000.0;
    return 2 + 29 * loss * loss;
}

// libjpeg's quality giving about the same picture as libavcodec's MJPEG encoder at that
// quantiser (measured on camera-like pictures: same PSNR within 0.3 dB from 2 to 10), so a
// quality means what it always meant whichever encoder makes the frames. libjpeg scales its
// tables by 200 - 2 * quality percent above 50, by 5000 / quality below.
int libjpegQualityOf(std::uint32_t quality) {
    const double scale = 9 * quantiserOf(quality);
    return std::clamp(int(std::lround(scale <= 100 ? (200 - scale) / 2 : 5000 / scale)), 1, 100);
}

AVPixelFormat sourcePixelFormat(const DibFormat& f) {
    switch (f.bitCount) {
    case 16:
        return f.rgb565 ? AV_PIX_FMT_RGB565LE : AV_PIX_FMT_RGB555LE;
    case 24:
        return AV_PIX_FMT_BGR24;
    case 32:
        return AV_PIX_FMT_BGR0;
    default:
        return AV_PIX_FMT_BGR24; // after expansion through the colour table
    }
}

bool isYuv(AVPixelFormat f) {
    const AVPixFmtDescriptor* d = av_pix_fmt_desc_get(f);
    return d && !(d->flags & AV_PIX_FMT_FLAG_RGB);
}

Status libavFailure(const char* encoder, const char* doing, int err) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(err, text, sizeof text);
    return failure(Fault::Compressor, std::string(encoder) + ": " + doing + ": " + text);
}

Status outOfMemory(const char* encoder) {
    return failure(Fault::Compressor, std::string(encoder) + ": out of memory");
}

} // namespace

VideoEncoder::~VideoEncoder() {
    sws_freeContext(sws_);
    av_packet_free(&packet_);
    av_frame_free(&frame_);
    avcodec_free_context(&ctx_);
}

Status VideoEncoder::open(const Compressor& c, const DibFormat& source, const EncoderSettings& s) {
    compressor_ = &c;
    source_ = source;
    const std::uint32_t quality = s.quality ? std::min(s.quality, 10000u) : defaultQuality;
    const bool dataRate = c.takesDataRate && s.bytesPerSecond > 0;
    if (std::strcmp(c.encoder, "mjpeg") == 0 && !dataRate && JpegFrameEncoder::takes(source)) {
        jpeg_ = std::make_unique<JpegFrameEncoder>();
        return jpeg_->open(source, libjpegQualityOf(quality));
    }
    const AVCodec* codec = avcodec_find_encoder_by_name(c.encoder);
    if (codec == nullptr)
        return failure(Fault::Compressor,
                       std::string("this libavcodec has no encoder ") + c.encoder);
    ctx_ = avcodec_alloc_context3(codec);
    frame_ = av_frame_alloc();
    packet_ = av_packet_alloc();
    if (!ctx_ || !frame_ || !packet_)
        return outOfMemory(c.encoder);
    const auto pixelFormat = AVPixelFormat(c.pixelFormat);
    ctx_->width = source.width;
    ctx_->height = source.rows();
    ctx_->pix_fmt = pixelFormat;
    ctx_->time_base = AVRational{int(s.scale), int(s.rate)};
    ctx_->framerate = AVRational{int(s.rate), int(s.scale)};
    ctx_->thread_count = 1;
    // AVI has no timestamps to reorder by, and one packet must come out per frame.
    ctx_->max_b_frames = 0;
    if (pixelFormat == AV_PIX_FMT_YUVJ420P)
        ctx_->color_range = AVCOL_RANGE_JPEG;
    if (c.intraOnly)
        ctx_->gop_size = 1;
    else if (s.keyFrameEvery > 0) {
        // Each encoder reads the interval its own way (measured with FFmpeg 5.1):
        // msvideo1 puts a key frame after keyint_min deltas, zmbv every keyint_min
        // frames, the rest every gop_size frames.
        const int every = int(std::min(s.keyFrameEvery, 100000u));
        if (std::strcmp(c.encoder, "msvideo1") == 0)
            ctx_->keyint_min = every - 1;
        else if (std::strcmp(c.encoder, "zmbv") == 0)
            ctx_->keyint_min = every;
        else
            ctx_->gop_size = every;
    }
    if (dataRate) {
        // Held within a second's worth, or the small rates a slide show wants drift off.
        ctx_->bit_rate = std::int64_t(s.bytesPerSecond) * 8;
        ctx_->bit_rate_tolerance = int(std::min<std::int64_t>(ctx_->bit_rate, INT32_MAX));
        ctx_->rc_max_rate = 2 * ctx_->bit_rate;
        ctx_->rc_buffer_size = int(std::min<std::int64_t>(2 * ctx_->bit_rate, INT32_MAX));
    } else if (c.takesQuality && std::strcmp(c.encoder, "libx264") == 0) {
        av_opt_set_double(ctx_->priv_data, "crf", 10 + 40 * (10000.0 - quality) / 10000.0, 0);
    } else if (c.takesQuality) {
        ctx_->flags |= AV_CODEC_FLAG_QSCALE;
        ctx_->global_quality = int(std::lround(FF_QP2LAMBDA * quantiserOf(quality)));
    }
    if (std::strcmp(c.encoder, "libx264") == 0)
        av_opt_set(ctx_->priv_data, "tune", "zerolatency", 0);
    if (const int err = avcodec_open2(ctx_, codec, nullptr); err < 0)
        return libavFailure(c.encoder, "opening the encoder", err);

    frame_->format = pixelFormat;
    frame_->width = ctx_->width;
    frame_->height = ctx_->height;
    frame_->color_range = ctx_->color_range;
    if (av_frame_get_buffer(frame_, 0) < 0)
        return outOfMemory(c.encoder);
    const AVPixelFormat from = sourcePixelFormat(source);
    if (source.bitCount <= 8)
        expanded_.resize(std::size_t(source.width) * source.rows() * 3);
    // Conversions between RGB layouts are exact; only YUV targets are filtered.
    const int flags = isYuv(pixelFormat) ? SWS_BICUBIC | SWS_ACCURATE_RND | SWS_FULL_CHR_H_INP
                                         : SWS_POINT | SWS_ACCURATE_RND;
    sws_ = sws_getContext(ctx_->width, ctx_->height, from, ctx_->width, ctx_->height, pixelFormat,
                          flags, nullptr, nullptr, nullptr);
    if (sws_ == nullptr)
        return failure(Fault::Compressor, std::string(c.encoder) + ": no pixel conversion from " +
                                              std::to_string(source.bitCount) + "-bit frames");
    return {};
}

std::vector<std::uint8_t> VideoEncoder::streamFormat() const {
    const int extra = ctx_ && ctx_->extradata ? ctx_->extradata_size : 0;
    const std::uint16_t bits = compressor_->bitCount;
    const std::uint32_t tag = ctx_ && ctx_->codec_tag ? ctx_->codec_tag : compressor_->fccHandler;
    const std::int32_t width = source_.width, height = source_.rows();
    std::vector<std::uint8_t> f(picture::bitmapInfoHeaderSize + std::size_t(extra));
    // biSize counts the codec's extra data, which follows the header.
    bytes::encodeAt(f.data(), picture::BitmapInfoHeader{
                                  .biSize = std::int32_t(picture::bitmapInfoHeaderSize) + extra,
                                  .biWidth = width,
                                  .biHeight = height,
                                  .biPlanes = 1,
                                  .biBitCount = std::int16_t(bits),
                                  .biCompression = std::int32_t(tag),
                                  .biSizeImage = std::int32_t(std::uint32_t(width) *
                                                              std::uint32_t(height) * bits / 8)});
    if (extra > 0)
        std::copy_n(ctx_->extradata, extra, f.begin() + picture::bitmapInfoHeaderSize);
    return f;
}

Status VideoEncoder::encode(const std::uint8_t* bits, std::vector<std::uint8_t>& packet,
                            bool& key) {
    if (jpeg_) {
        key = true;
        return jpeg_->encode(bits, packet);
    }
    if (const int err = av_frame_make_writable(frame_); err < 0)
        return libavFailure(compressor_->encoder, "making the frame writable", err);
    const std::uint8_t* src[4] = {};
    int srcStride[4] = {};
    const int rows = source_.rows();
    if (source_.bitCount <= 8) {
        expandPaletted(source_, bits, expanded_.data());
        src[0] = expanded_.data();
        srcStride[0] = source_.width * 3;
    } else if (source_.topDown()) {
        src[0] = bits;
        srcStride[0] = int(source_.stride);
    } else {
        // Bottom-up rows: start at the last one and walk backwards.
        src[0] = bits + std::size_t(rows - 1) * source_.stride;
        srcStride[0] = -int(source_.stride);
    }
    sws_scale(sws_, src, srcStride, 0, rows, frame_->data, frame_->linesize);
    frame_->pts = pts_++;
    // In fixed-quality mode the MPEG-family encoders take the quantiser from each frame.
    frame_->quality = ctx_->global_quality;
    if (const int err = avcodec_send_frame(ctx_, frame_); err < 0)
        return libavFailure(compressor_->encoder, "encoding a frame", err);
    if (const int err = avcodec_receive_packet(ctx_, packet_); err < 0)
        return libavFailure(compressor_->encoder, "taking the encoded frame", err);
    packet.assign(packet_->data, packet_->data + packet_->size);
    key = (packet_->flags & AV_PKT_FLAG_KEY) != 0;
    av_packet_unref(packet_);
    return {};
}

} // namespace avi

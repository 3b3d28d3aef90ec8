#pragma once

#include "avi/avi_status.h"
#include "avi/compressors.h"
#include "avi/dib_format.h"
#include "avi/jpeg_frame_encoder.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;
struct SwsContext;

namespace avi {

struct EncoderSettings {
    std::uint32_t rate = 1, scale = 1;
    std::uint32_t quality = 0;        // 1..10000, 0 for our default
    std::uint32_t keyFrameEvery = 0;  // 0 for the codec's default
    std::uint32_t bytesPerSecond = 0; // 0: quality decides
};

// One libavcodec encoder fed with DIB frames: converts them (libswscale, paletted ones
// through their colour table) and returns one packet per frame, as AVI wants it. MJPEG at
// a fixed quality from 24- or 32-bit frames goes to libjpeg-turbo instead, several times
// faster.
class VideoEncoder {
public:
    VideoEncoder() = default;
    VideoEncoder(const VideoEncoder&) = delete;
    VideoEncoder& operator=(const VideoEncoder&) = delete;
    ~VideoEncoder();

    Status open(const Compressor& c, const DibFormat& source, const EncoderSettings& s);
    // 'strf' payload: BITMAPINFOHEADER with the codec's FOURCC, then its extra data.
    std::vector<std::uint8_t> streamFormat() const;
    Status encode(const std::uint8_t* bits, std::vector<std::uint8_t>& packet, bool& key);

private:
    const Compressor* compressor_ = nullptr;
    DibFormat source_;
    std::unique_ptr<JpegFrameEncoder> jpeg_;
    AVCodecContext* ctx_ = nullptr;
    AVFrame* frame_ = nullptr;
    AVPacket* packet_ = nullptr;
    SwsContext* sws_ = nullptr;
    std::vector<std::uint8_t> expanded_; // paletted frames as top-down BGR
    std::int64_t pts_ = 0;
};

} // namespace avi

#include "avi/compressors.h"

#include "avi/riff_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace avi {

namespace {

// What each note says was tried with Debian 12's decoders: FFmpeg 5.1 (which ffplay and mpv
// play with), VLC 3.0, and GStreamer 1.22 with the FFmpeg decoders Totem brings along
// (gstreamer1.0-libav). GStreamer players (Totem and the rest) get no decoder for a file unless
// GStreamer's AVI reader knows its format: it knows none for Ut Video, nor for uncompressed
// frames of 1, 4 or 16 bits. VLC 3.0 hands Ut Video to FFmpeg's decoder but has no place for
// the planar RGB pictures it gives, and decodes no uncompressed frame of 1 or 4 bits: it
// shows neither.
const Compressor table[] = {
    {.fccHandler = fourcc("DIB "),
     .name = "Full Frames (Uncompressed)",
     .pixelFormat = AV_PIX_FMT_NONE,
     .lossless = true,
     .intraOnly = true,
     .bitCount = 0,
     .players = "plays everywhere; very large files"},
    {.fccHandler = fourcc("MJPG"),
     .name = "Motion JPEG (MJPEG)",
     .encoder = "mjpeg",
     .pixelFormat = AV_PIX_FMT_YUVJ420P,
     .intraOnly = true,
     .takesQuality = true,
     .takesDataRate = true,
     .players = "plays almost everywhere"},
    {.fccHandler = fourcc("FFV1"),
     .name = "FFV1",
     .encoder = "ffv1",
     .pixelFormat = AV_PIX_FMT_BGR0,
     .lossless = true,
     .intraOnly = true,
     .players = "needs an FFmpeg-based player (VLC, mpv, ffplay)"},
    {.fccHandler = fourcc("HFYU"),
     .name = "HuffYUV",
     .encoder = "huffyuv",
     .pixelFormat = AV_PIX_FMT_RGB24,
     .lossless = true,
     .intraOnly = true,
     .players = "FFmpeg-based players; elsewhere the HuffYUV codec must be installed"},
    {.fccHandler = fourcc("ULRG"),
     .name = "Ut Video",
     .encoder = "utvideo",
     .pixelFormat = AV_PIX_FMT_GBRP,
     .lossless = true,
     .intraOnly = true,
     .players = "needs mpv, ffplay or another FFmpeg-based player, or the Ut Video codec; "
                "VLC 3 and GStreamer players such as Totem cannot play it"},
    {.fccHandler = fourcc("XVID"),
     .name = "MPEG-4 video (Xvid compatible)",
     .encoder = "mpeg4",
     .pixelFormat = AV_PIX_FMT_YUV420P,
     .takesQuality = true,
     .takesKeyFrames = true,
     .takesDataRate = true,
     .players = "most players with an MPEG-4 (Xvid or DivX) decoder"},
    {.fccHandler = fourcc("H264"),
     .name = "H.264 (x264)",
     .encoder = "libx264",
     .pixelFormat = AV_PIX_FMT_YUV420P,
     .widthStep = 2,
     .heightStep = 2,
     .takesQuality = true,
     .takesKeyFrames = true,
     .takesDataRate = true,
     .players = "most modern players"},
    {.fccHandler = fourcc("cvid"),
     .name = "Cinepak",
     .encoder = "cinepak",
     .pixelFormat = AV_PIX_FMT_RGB24,
     .widthStep = 4,
     .heightStep = 4,
     .takesKeyFrames = true,
     .players = "old and new players alike; very slow to compress"},
    {.fccHandler = fourcc("MSVC"),
     .name = "Microsoft Video 1",
     .encoder = "msvideo1",
     .pixelFormat = AV_PIX_FMT_RGB555LE,
     .widthStep = 4,
     .heightStep = 4,
     .bitCount = 16,
     .takesKeyFrames = true,
     .players = "Windows players and FFmpeg-based players"},
    {.fccHandler = fourcc("ZMBV"),
     .name = "Zip Motion Blocks Video (ZMBV)",
     .encoder = "zmbv",
     .pixelFormat = AV_PIX_FMT_BGR0,
     .lossless = true,
     .takesKeyFrames = true,
     .players = "needs an FFmpeg-based player or DOSBox's codec"},
};

} // namespace

const std::vector<const Compressor*>& availableCompressors() {
    static const std::vector<const Compressor*> list = [] {
        std::vector<const Compressor*> found;
        for (const Compressor& c : table)
            if (c.encoder == nullptr || avcodec_find_encoder_by_name(c.encoder) != nullptr)
                found.push_back(&c);
        return found;
    }();
    return list;
}

const Compressor* findCompressor(std::uint32_t fccHandler) {
    if (fccHandler == 0)
        fccHandler = fourcc("DIB ");
    for (const Compressor* c : availableCompressors())
        if (c->fccHandler == fccHandler)
            return c;
    return nullptr;
}

std::string playerNote(const Compressor& c, std::uint16_t bitCount) {
    if (c.encoder == nullptr && (bitCount == 1 || bitCount == 4))
        return std::to_string(bitCount) +
               "-bit frames need mpv, ffplay or another FFmpeg-based player: VLC 3 and "
               "GStreamer players such as Totem cannot play them; very large files";
    if (c.encoder == nullptr && bitCount == 16)
        return "16-bit frames need an FFmpeg-based player (VLC, mpv, ffplay): GStreamer "
               "players such as Totem cannot play them; very large files";
    return c.players;
}

std::string sizeProblem(const Compressor& c, int width, int height) {
    if (width % c.widthStep == 0 && height % c.heightStep == 0)
        return {};
    if (c.widthStep == c.heightStep)
        return "needs a width and height that are multiples of " + std::to_string(c.widthStep);
    return "needs a width that is a multiple of " + std::to_string(c.widthStep) +
           " and a height that is a multiple of " + std::to_string(c.heightStep);
}

} // namespace avi

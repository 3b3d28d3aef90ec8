#include "avi/compressors.h"

#include "avi/riff_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace avi {

namespace {

const Compressor table[] = {
    {fourcc("DIB "), "Full Frames (Uncompressed)", nullptr, AV_PIX_FMT_NONE, true, true, 1, 1, 0,
     false, false, false, "plays everywhere; very large files"},
    {fourcc("MJPG"), "Motion JPEG (MJPEG)", "mjpeg", AV_PIX_FMT_YUVJ420P, false, true, 1, 1, 24,
     true, false, true, "plays almost everywhere"},
    {fourcc("FFV1"), "FFV1", "ffv1", AV_PIX_FMT_BGR0, true, true, 1, 1, 24, false, false, false,
     "needs an FFmpeg-based player (VLC, mpv, ffplay)"},
    {fourcc("HFYU"), "HuffYUV", "huffyuv", AV_PIX_FMT_RGB24, true, true, 1, 1, 24, false, false,
     false, "FFmpeg-based players; elsewhere the HuffYUV codec must be installed"},
    {fourcc("ULRG"), "Ut Video", "utvideo", AV_PIX_FMT_GBRP, true, true, 1, 1, 24, false, false,
     false, "needs an FFmpeg-based player or the Ut Video codec"},
    {fourcc("XVID"), "MPEG-4 video (Xvid compatible)", "mpeg4", AV_PIX_FMT_YUV420P, false, false, 1,
     1, 24, true, true, true, "most players with an MPEG-4 (Xvid or DivX) decoder"},
    {fourcc("H264"), "H.264 (x264)", "libx264", AV_PIX_FMT_YUV420P, false, false, 2, 2, 24, true,
     true, true, "most modern players"},
    {fourcc("cvid"), "Cinepak", "cinepak", AV_PIX_FMT_RGB24, false, false, 4, 4, 24, false, true,
     false, "old and new players alike; very slow to compress"},
    {fourcc("MSVC"), "Microsoft Video 1", "msvideo1", AV_PIX_FMT_RGB555LE, false, false, 4, 4, 16,
     false, true, false, "Windows players and FFmpeg-based players"},
    {fourcc("ZMBV"), "Zip Motion Blocks Video (ZMBV)", "zmbv", AV_PIX_FMT_BGR0, true, false, 1, 1,
     24, false, true, false, "needs an FFmpeg-based player or DOSBox's codec"},
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

std::string sizeProblem(const Compressor& c, int width, int height) {
    if (width % c.widthStep == 0 && height % c.heightStep == 0)
        return {};
    if (c.widthStep == c.heightStep)
        return "needs a width and height that are multiples of " + std::to_string(c.widthStep);
    return "needs a width that is a multiple of " + std::to_string(c.widthStep) +
           " and a height that is a multiple of " + std::to_string(c.heightStep);
}

} // namespace avi

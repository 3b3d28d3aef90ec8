#include "make/compressor_probe.h"

#include "avi/avi_status.h"
#include "avi/compressors.h"
#include "avi/frame_limits.h"
#include "avi/video_encoder.h"
#include "make/make_options.h"

namespace make {

QString compressorRefusal(const MakeOptions& o, const picture::PictureFormat& format) {
    if (const std::string why = avi::frameSizeProblem(format.Width, format.Height); !why.empty())
        return QString::fromStdString(why);
    if (const std::string why = avi::sizeProblem(*o.compressor, format.Width, format.Height);
        !why.empty())
        return QString::fromLatin1(o.compressor->name) + QLatin1Char(' ') +
               QString::fromStdString(why);
    if (o.compressor->encoder == nullptr)
        return {}; // uncompressed frames take any size the AVI format holds
    avi::DibFormat dib;
    dib.width = format.Width;
    dib.height = format.Height;
    dib.bitCount = std::uint16_t(format.BitCount);
    dib.stride = std::uint32_t((format.Width * format.BitCount / 8 + 3) / 4 * 4);
    dib.imageSize = dib.stride * std::uint32_t(format.Height);
    avi::routeLibavLog(); // the encoder's complaints reach the user in the line below, once
    avi::VideoEncoder encoder;
    const avi::Status opened =
        encoder.open(*o.compressor, dib,
                     {.rate = o.rate.rate,
                      .scale = o.rate.scale,
                      .quality = o.quality < 0 ? 0u : std::uint32_t(o.quality) * 100,
                      .keyFrameEvery = o.keyFrameEvery,
                      .bytesPerSecond = o.dataRateKB * 1024});
    if (!opened.ok())
        return QString::fromLatin1(o.compressor->name) + QStringLiteral(" refuses them: ") +
               QString::fromStdString(opened.what);
    return {};
}

} // namespace make

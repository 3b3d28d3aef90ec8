#pragma once

#include "picture/picture_format.h"

#include <QString>

namespace make {

struct MakeOptions;

// Why the chosen compressor, or the AVI format itself, cannot take pictures of this format,
// found before the output is touched: the AVI side limit, the compressor's size steps, and
// what its encoder says when it is opened once for the format. "" when it can.
QString compressorRefusal(const MakeOptions& options, const picture::PictureFormat& format);

} // namespace make

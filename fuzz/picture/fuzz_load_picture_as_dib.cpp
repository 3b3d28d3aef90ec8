// The whole road from a picture file to a cDIB on arbitrary bytes: no crash, no leak, and
// whatever loads comes out as a 24-bit Bitmap of the decoded picture's size.
#include "console_platform.h"
#include "fuzz_input.h"
#include "picture/picture_conversion.h"
#include "picture/picture_error.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QImageReader>

namespace {
FuzzFolder* folder;
// Pictures above this are refused or decoded all the same, just slowly: the fuzzer's time
// is better spent on the many small ones. The size limit itself has its own tests.
constexpr qint64 fuzzPixelLimit = 4 * 1024 * 1024;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    silenceQtMessages();
    new QCoreApplication(*argc, *argv);
    folder = new FuzzFolder;
    platform::install(new ConsolePlatform(false, folder->path()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buffer(&bytes);
    const QSize claimed = QImageReader(&buffer).size();
    if (qint64(claimed.width()) * claimed.height() > fuzzPixelLimit)
        return -1;

    const QString path = folder->write(data, size);
    picture::cDIB dib;
    QImage holder;
    try {
        if (!picture::LoadPictureAsDib(path, dib, holder))
            return 0;
    } catch (const picture::PictureError&) {
        return 0;
    }
    const int stride = (holder.width() * 3 + 3) & ~3;
    if (dib.Width() != holder.width() || dib.Height() != holder.height() || dib.BitCount() != 24 ||
        dib.SizeImage() != stride * holder.height())
        std::abort();
    return 0;
}

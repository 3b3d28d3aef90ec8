#include "picture/conversion_ahead.h"

#include "picture/picture_loader.h"

namespace picture {

namespace {

// From the picture's header: what its conversion will hold.
std::size_t convertedBytes(const QString& path, ConversionAhead::Product product) {
    try {
        const QSize size = LoadedPictureSize(path);
        const auto width = std::size_t(size.width()), height = std::size_t(size.height());
        const std::size_t bitmap = ((width * 3 + 3) & ~std::size_t(3)) * height;
        return bitmap +
               (product == ConversionAhead::Product::PictureAndBitmap ? width * height * 4 : 0);
    } catch (...) {
        return 0;
    }
}

std::shared_ptr<Converted> convert(const QString& path, ConversionAhead::Product product) {
    if (product == ConversionAhead::Product::Bitmap)
        return std::make_shared<Converted>(Converted{QImage(), LoadPictureAsBitmap(path)});
    QImage image = LoadPicture(path);
    BitmapBytes bitmap = EncodeBitmap(image, path);
    return std::make_shared<Converted>(Converted{std::move(image), std::move(bitmap)});
}

} // namespace

ConversionAhead::ConversionAhead(Product product)
    : ahead_({[product](const QString& path) { return convertedBytes(path, product); },
              [product](const QString& path) { return convert(path, product); }}) {}

ConversionAhead::ConversionAhead(Convert convert, std::function<std::size_t(const QString&)> bytes)
    : ahead_({std::move(bytes), [convert = std::move(convert)](const QString& path) {
                  return std::make_shared<Converted>(Converted{QImage(), convert(path)});
              }}) {}

} // namespace picture

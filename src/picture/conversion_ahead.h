#pragma once

#include "picture/bitmap_saver.h"
#include "picture/work_ahead.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace picture {

// A picture converted for the temporary Bitmap: the loaded picture (when it is wanted) and
// the Bitmap file's bytes.
struct Converted {
    QImage image;
    BitmapBytes bitmap;
};

// Converts the pictures about to be asked for on the process's workers, while the caller
// works on the one in hand, with WorkAhead's promise: what it hands out is what converting
// at that moment would give.
class ConversionAhead {
public:
    enum class Product { Bitmap, PictureAndBitmap };
    explicit ConversionAhead(Product product);
    // Bitmaps made by `convert`, each expected to hold `bytes(path)`.
    using Convert = std::function<BitmapBytes(const QString&)>;
    ConversionAhead(Convert convert, std::function<std::size_t(const QString&)> bytes);

    void expect(const QStringList& upcoming) { ahead_.expect(upcoming); }
    // path's conversion, waiting for one under way, or nothing: the caller converts it itself.
    std::shared_ptr<const Converted> take(const QString& path) {
        return ahead_.take(path).value_or(nullptr);
    }
    // The same, handed over: nothing else holds it, and a second asking converts again.
    std::shared_ptr<Converted> takeOver(const QString& path) {
        return ahead_.take(path, Ahead::Keep::No).value_or(nullptr);
    }
    // path's conversion when it is done already; never waits.
    std::shared_ptr<const Converted> ready(const QString& path) const {
        return ahead_.ready(path).value_or(nullptr);
    }

private:
    using Ahead = WorkAhead<std::shared_ptr<Converted>>;
    Ahead ahead_;
};

} // namespace picture

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

// Converts the pictures about to be asked for on worker threads, while the caller works on
// the one in hand, with WorkAhead's promise: what it hands out is what converting at that
// moment would give.
class ConversionAhead {
public:
    enum class Product { Bitmap, PictureAndBitmap };
    ConversionAhead(Product product, int workers, std::size_t budgetBytes);
    // Bitmaps made by `convert`, each expected to hold `bytes(path)`.
    using Convert = std::function<BitmapBytes(const QString&)>;
    ConversionAhead(Convert convert, std::function<std::size_t(const QString&)> bytes, int workers,
                    std::size_t budgetBytes);

    void expect(const QStringList& upcoming) { ahead_.expect(upcoming); }
    // path's conversion, or nothing: the caller converts it itself.
    std::shared_ptr<const Converted> take(const QString& path) {
        return std::static_pointer_cast<const Converted>(ahead_.take(path));
    }
    // The same, handed over: nothing else holds it, and a second asking converts again.
    std::shared_ptr<Converted> takeOver(const QString& path) {
        return std::static_pointer_cast<Converted>(ahead_.take(path, WorkAhead::Keep::No));
    }

private:
    WorkAhead ahead_;
};

} // namespace picture

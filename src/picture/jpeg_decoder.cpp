#include "picture/jpeg_decoder.h"

#include "picture/large_buffers.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio> // jpeglib.h wants FILE declared first
#include <jpeglib.h>
#include <vector>

namespace picture {

namespace {

// QImage::Format_RGB32 as bytes in memory.
constexpr J_COLOR_SPACE rgb32Order = Q_BYTE_ORDER == Q_LITTLE_ENDIAN ? JCS_EXT_BGRX : JCS_EXT_XRGB;

struct ErrorTrap {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void leave(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorTrap*>(info->err)->jump, 1);
}

// Warnings (a file cut short, a damaged stretch) are decoded past, as Qt's reader does; they
// are not worth a line on the terminal.
void stayQuiet(j_common_ptr) {}

// One decompression from memory. libjpeg reports errors by longjmp, so every libjpeg call that
// may fail happens inside the two members that arm the trap, and nothing there has a
// destructor to skip.
class Decompression {
public:
    Decompression() {
        info_.err = jpeg_std_error(&trap_.manager);
        trap_.manager.error_exit = leave;
        trap_.manager.output_message = stayQuiet;
    }
    ~Decompression() {
        if (created_)
            jpeg_destroy_decompress(&info_);
    }
    Decompression(const Decompression&) = delete;
    Decompression& operator=(const Decompression&) = delete;

    // False for a file libjpeg refuses and for any JPEG other than three-component YCbCr.
    bool readHeader(const QByteArray& file, J_COLOR_SPACE order) {
        if (!readAnyHeader(file) || info_.jpeg_color_space != JCS_YCbCr ||
            info_.num_components != 3)
            return false;
        // Qt's reader at its default quality: accurate integer DCT and smooth upsampling,
        // which are libjpeg's defaults too; only the byte order is ours.
        info_.out_color_space = order;
        info_.dct_method = JDCT_ISLOW;
        info_.do_fancy_upsampling = TRUE;
        return scaleTo(8);
    }

    // Decodes at eighths/8 of the stored size (1, 2, 4 or 8: the sizes libjpeg-turbo's
    // vector code scales to), done by the inverse DCT itself.
    bool scaleTo(int eighths) {
        if (setjmp(trap_.jump))
            return false;
        info_.scale_num = unsigned(eighths);
        info_.scale_denom = 8;
        jpeg_calc_output_dimensions(&info_);
        return true;
    }

    // False for a file whose header libjpeg refuses.
    bool readAnyHeader(const QByteArray& file) {
        if (setjmp(trap_.jump))
            return false;
        jpeg_create_decompress(&info_);
        created_ = true;
        jpeg_mem_src(&info_, reinterpret_cast<const unsigned char*>(file.constData()),
                     static_cast<unsigned long>(file.size()));
        jpeg_read_header(&info_, TRUE);
        return true;
    }

    // What libjpeg's coefficient controller sets aside for the whole picture when the file
    // has more than one scan, after a header was read: each component's blocks rounded up
    // to its sampling factors.
    std::int64_t wholePictureCoefficients() {
        if (!jpeg_has_multiple_scans(&info_))
            return 0;
        std::int64_t bytes = 0;
        for (int c = 0; c < info_.num_components; ++c) {
            const jpeg_component_info& component = info_.comp_info[c];
            const auto roundUp = [](std::int64_t n, std::int64_t step) {
                return (n + step - 1) / step * step;
            };
            bytes += roundUp(component.width_in_blocks, component.h_samp_factor) *
                     roundUp(component.height_in_blocks, component.v_samp_factor) *
                     std::int64_t(sizeof(JBLOCK));
        }
        return bytes;
    }

    // The size decoded, after any scaling.
    int width() const { return int(info_.output_width); }
    int height() const { return int(info_.output_height); }

    // `rows` holds height() row addresses, top row first.
    bool decode(JSAMPROW* rows) {
        if (setjmp(trap_.jump))
            return false;
        jpeg_start_decompress(&info_);
        while (info_.output_scanline < info_.output_height)
            jpeg_read_scanlines(&info_, rows + info_.output_scanline,
                                info_.output_height - info_.output_scanline);
        jpeg_finish_decompress(&info_);
        return true;
    }

    // The JFIF resolution, set as Qt's reader sets it (a zero leaves the default).
    void applyResolution(QImage& image) const {
        if (info_.density_unit == 1) {
            image.setDotsPerMeterX(int(100. * info_.X_density / 2.54));
            image.setDotsPerMeterY(int(100. * info_.Y_density / 2.54));
        } else if (info_.density_unit == 2) {
            image.setDotsPerMeterX(int(100. * info_.X_density));
            image.setDotsPerMeterY(int(100. * info_.Y_density));
        }
    }

private:
    ErrorTrap trap_{};
    jpeg_decompress_struct info_{};
    bool created_ = false;
};

// Decodes into the rows `rowOf(y)` gives; false when libjpeg gave up.
template <typename RowOf> bool decodeRows(Decompression& jpeg, RowOf rowOf) {
    std::vector<JSAMPROW> rows(std::size_t(jpeg.height()));
    for (int y = 0; y < jpeg.height(); ++y)
        rows[std::size_t(y)] = rowOf(y);
    return jpeg.decode(rows.data());
}

} // namespace

std::optional<QImage> DecodeJpegToImage(const QByteArray& file) {
    Decompression jpeg;
    if (!jpeg.readHeader(file, rgb32Order))
        return std::nullopt;
    QImage image = LargeImage(QSize(jpeg.width(), jpeg.height()), QImage::Format_RGB32);
    if (image.isNull() || !decodeRows(jpeg, [&](int y) { return image.scanLine(y); }))
        return std::nullopt;
    jpeg.applyResolution(image);
    return image;
}

std::optional<QImage> DecodeJpegScaled(const QByteArray& file, int eighths) {
    Decompression jpeg;
    if (!jpeg.readHeader(file, rgb32Order) || !jpeg.scaleTo(eighths))
        return std::nullopt;
    QImage image(jpeg.width(), jpeg.height(), QImage::Format_RGB32);
    if (image.isNull() || !decodeRows(jpeg, [&](int y) { return image.scanLine(y); }))
        return std::nullopt;
    return image;
}

std::optional<BitmapBytes> DecodeJpegToBitmap(const QByteArray& file, const QString& path) {
    Decompression jpeg;
    if (!jpeg.readHeader(file, JCS_EXT_BGR))
        return std::nullopt;
    // The resolution a QImage made here would carry: the same default, the same rules.
    QImage resolution(1, 1, QImage::Format_RGB32);
    jpeg.applyResolution(resolution);
    BitmapCanvas canvas(jpeg.width(), jpeg.height(), resolution.dotsPerMeterX(),
                        resolution.dotsPerMeterY(), path);
    if (!decodeRows(jpeg, [&](int y) { return canvas.row(y); }))
        return std::nullopt;
    return canvas.take();
}

std::int64_t MultiScanCoefficientBytes(const QByteArray& head) {
    Decompression jpeg;
    return jpeg.readAnyHeader(head) ? jpeg.wholePictureCoefficients() : 0;
}

} // namespace picture

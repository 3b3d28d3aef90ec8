#include "picture/dib.h"

#include "picture/byte_buffer.h"
#include "picture/file_io.h"
#include "picture/picture_error.h"
#include "platform/message_box.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace picture {

using platform::MsgBox;
using platform::MsgButtons;
using platform::MsgIcon;

namespace {

constexpr std::size_t headersSize = bitmapFileHeaderSize + bitmapInfoHeaderSize;

[[noreturn]] void refuse(const QString& fileName, const QString& why) {
    throw PictureError(PictureError::Kind::BadBitmap, fileName + QStringLiteral(": ") + why);
}

// Sized from header values that have already been checked against the file's length, so
// a failure here means the machine is out of memory, not that the file lied.
ByteBuffer allocate(std::size_t size, const QString& fileName) {
    return allocateBytes(size, PictureError::Kind::ReadFailed, fileName);
}

} // namespace

bool cDIB::FileExists(const QString& fileName) {
    struct stat st {};
    return ::stat(QFile::encodeName(fileName).constData(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool cDIB::CreateFromFile(QString fileName) {
    if (!FileExists(fileName)) {
        MsgBox(QStringLiteral("File does not exist:\r\n") + fileName, MsgButtons::OK,
               MsgIcon::Critical);
        return false;
    }

    // Non-blocking only so that a FIFO cannot hang the window; regular files do not care.
    FileDescriptor fd(
        ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM)
            MsgBox(QStringLiteral("File is locked - cannot access:\r\n") + fileName, MsgButtons::OK,
                   MsgIcon::Critical);
        else
            MsgBox(systemErrorText(error), MsgButtons::OK, MsgIcon::Information);
        return false;
    }

    // From here on a failure goes to the caller.
    // Zero-filled, so a file too short for the signature fails the signature test.
    std::uint8_t headers[headersSize] = {};
    const std::size_t got = readAt(fd.get(), headers, headersSize, 0, fileName);
    const BitmapFileHeader fileHeader = decodeFileHeader(headers);
    if (fileHeader.bfType != bitmapSignature) {
        file_ = fileHeader;
        MsgBox(QStringLiteral("File is not a supported bitmap format:\r\n") + fileName,
               MsgButtons::OK, MsgIcon::Information);
        return false;
    }
    const BitmapInfoHeader infoHeader = decodeInfoHeader(headers + bitmapFileHeaderSize);

    // The header is checked against the file before anything is allocated: a few bytes
    // claiming a 2 GiB picture must cost neither the memory nor a read past the end.
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        throw PictureError(PictureError::Kind::ReadFailed,
                           fileName + QStringLiteral(": ") + systemErrorText(errno));
    const std::int64_t fileLength = S_ISREG(st.st_mode) ? std::int64_t(st.st_size) : 0;
    if (got < headersSize)
        refuse(fileName, QStringLiteral("the file ends inside its headers"));
    if (fileHeader.bfOffBits < std::int32_t(headersSize))
        refuse(fileName, QStringLiteral("the pixel offset %1 lies inside the headers")
                             .arg(fileHeader.bfOffBits));
    if (infoHeader.biSizeImage < 1)
        refuse(fileName,
               QStringLiteral("the image size %1 is not positive").arg(infoHeader.biSizeImage));
    const std::int64_t needed = std::int64_t(fileHeader.bfOffBits) + infoHeader.biSizeImage;
    if (needed > fileLength)
        refuse(fileName, QStringLiteral("the header needs %1 bytes but the file has %2")
                             .arg(needed)
                             .arg(fileLength));

    const auto bitsSize = std::size_t(infoHeader.biSizeImage);
    const auto infoBlockSize = std::size_t(fileHeader.bfOffBits) - bitmapFileHeaderSize;
    auto bits = allocate(bitsSize, fileName);
    auto infoBlock = allocate(infoBlockSize, fileName);
    // One read straight into each buffer. A file that shrank since fstat comes up short.
    if (readAt(fd.get(), bits.get(), bitsSize, fileHeader.bfOffBits, fileName) != bitsSize ||
        readAt(fd.get(), infoBlock.get(), infoBlockSize, bitmapFileHeaderSize, fileName) !=
            infoBlockSize)
        throw PictureError(PictureError::Kind::ReadFailed,
                           fileName + QStringLiteral(": the file became shorter while read"));

    bits_ = std::move(bits);
    bitsOffset_ = 0;
    bitsSize_ = bitsSize;
    infoBlock_ = std::move(infoBlock);
    infoBlockSize_ = infoBlockSize;
    info_ = infoHeader;
    file_ = fileHeader;
    return true;
}

bool cDIB::CreateFromPackedDIBPointer(const void* address, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(address);
    if (!takePackedHeader(bytes, size))
        return false;
    const auto bitsSize = std::size_t(info_.biSizeImage);
    auto bits = allocate(bitsSize, QStringLiteral("packed DIB"));
    std::memcpy(bits.get(), bytes + bitmapInfoHeaderSize, bitsSize);
    keepPacked(bytes, std::move(bits), 0);
    return true;
}

bool cDIB::AdoptBitmap(BitmapBytes&& bitmap) {
    BitmapBytes file = std::move(bitmap);
    if (!file.data || file.size < headersSize)
        return false;
    const std::uint8_t* packed = file.data.get() + bitmapFileHeaderSize;
    if (decodeInfoHeader(packed).biSize != bitmapInfoHeaderSize ||
        !takePackedHeader(packed, file.size - bitmapFileHeaderSize))
        return false;
    keepPacked(packed, std::move(file.data), headersSize);
    return true;
}

bool cDIB::takePackedHeader(const std::uint8_t* bytes, std::size_t size) {
    if (!bytes || size < bitmapInfoHeaderSize)
        return false;
    // Taken before any check: a refused DIB's header stays in the record.
    info_ = decodeInfoHeader(bytes);
    if (info_.biBitCount < 16 || info_.biSizeImage < 1 ||
        std::size_t(info_.biSizeImage) > size - bitmapInfoHeaderSize)
        return false;
    // The file header must state the whole file's size: a DIB whose file would pass
    // 2 GiB cannot become a Bitmap file and is refused like any other.
    return std::int64_t(info_.biSizeImage) + std::int64_t(headersSize) <= INT32_MAX;
}

void cDIB::keepPacked(const std::uint8_t* header, ByteBuffer bits, std::size_t bitsOffset) {
    auto infoBlock = allocate(bitmapInfoHeaderSize, QStringLiteral("packed DIB"));
    std::memcpy(infoBlock.get(), header, bitmapInfoHeaderSize);
    bits_ = std::move(bits);
    bitsOffset_ = bitsOffset;
    bitsSize_ = std::size_t(info_.biSizeImage);
    infoBlock_ = std::move(infoBlock);
    infoBlockSize_ = bitmapInfoHeaderSize;
    file_ = BitmapFileHeader{bitmapSignature,
                             std::int32_t(std::int64_t(info_.biSizeImage) + headersSize), 0, 0,
                             std::int32_t(headersSize)};
}

bool cDIB::WriteToFile(QString fileName) const {
    // Overwritten in place, not truncated: bytes past the new end stay as they were.
    FileDescriptor fd(::open(QFile::encodeName(fileName).constData(),
                             O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666));
    if (fd.get() < 0)
        throw PictureError(PictureError::Kind::WriteFailed,
                           fileName + QStringLiteral(": ") + systemErrorText(errno));
    std::uint8_t fileHeader[bitmapFileHeaderSize];
    bytes::encodeAt(fileHeader, file_);
    writeAt(fd.get(), fileHeader, sizeof fileHeader, 0, fileName);
    writeAt(fd.get(), infoBlock_.get(), infoBlockSize_, bitmapFileHeaderSize, fileName);
    writeAt(fd.get(), bits_.get() + bitsOffset_, bitsSize_,
            std::int64_t(bitmapFileHeaderSize + infoBlockSize_), fileName);
    if (!fd.close())
        throw PictureError(PictureError::Kind::WriteFailed,
                           fileName + QStringLiteral(": ") + systemErrorText(errno));
    return true;
}

const std::uint8_t* cDIB::PointerToBits() const {
    if (!bits_)
        throw PictureError(PictureError::Kind::EmptyObject,
                           QStringLiteral("the picture object holds no pixels yet"));
    return bits_.get() + bitsOffset_;
}

const std::uint8_t* cDIB::PointerToBitmapInfo() const {
    if (!infoBlock_)
        throw PictureError(PictureError::Kind::EmptyObject,
                           QStringLiteral("the picture object holds no info block yet"));
    return infoBlock_.get();
}

} // namespace picture

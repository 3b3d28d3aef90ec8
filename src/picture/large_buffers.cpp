#include "picture/large_buffers.h"

#include <algorithm>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace picture::large_buffers {

namespace {

constexpr std::size_t mostSpares = 4;

struct Spare {
    std::uint8_t* bytes;
    std::size_t mapped;
};

std::mutex mutex;
std::vector<Spare> spares;

std::size_t mappedSize(std::size_t size) {
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    return (size + page - 1) / page * page;
}

} // namespace

std::uint8_t* take(std::size_t size) {
    const std::size_t mapped = mappedSize(size);
    {
        std::lock_guard lock(mutex);
        const auto same = std::find_if(spares.begin(), spares.end(),
                                       [&](const Spare& s) { return s.mapped == mapped; });
        if (same != spares.end()) {
            std::uint8_t* bytes = same->bytes;
            spares.erase(same);
            return bytes;
        }
    }
    void* bytes =
        ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return bytes == MAP_FAILED ? nullptr : static_cast<std::uint8_t*>(bytes);
}

void giveBack(std::uint8_t* bytes, std::size_t size) {
    const std::size_t mapped = mappedSize(size);
    Spare dropped{bytes, mapped};
    {
        std::lock_guard lock(mutex);
        spares.push_back(dropped);
        // The oldest spare goes, so that a run of another size soon holds only its own.
        if (spares.size() <= mostSpares)
            return;
        dropped = spares.front();
        spares.erase(spares.begin());
    }
    ::munmap(dropped.bytes, dropped.mapped);
}

std::size_t spareBytes() {
    std::lock_guard lock(mutex);
    std::size_t total = 0;
    for (const Spare& s : spares)
        total += s.mapped;
    return total;
}

} // namespace picture::large_buffers

namespace picture {

QImage LargeImage(QSize size, QImage::Format format) {
    const qsizetype stride = qsizetype(
        (std::size_t(size.width()) * QImage::toPixelFormat(format).bitsPerPixel() + 31) / 32 * 4);
    const std::size_t bytes = std::size_t(stride) * std::size_t(size.height());
    if (size.isEmpty() || bytes < large_buffers::smallest)
        return QImage(size, format);
    std::uint8_t* pixels = large_buffers::take(bytes);
    if (pixels == nullptr)
        return QImage();
    // The buffer goes back when the last copy of the picture goes, on whichever thread.
    struct Held {
        std::uint8_t* pixels;
        std::size_t bytes;
    };
    auto* held = new Held{pixels, bytes};
    QImage image(
        pixels, size.width(), size.height(), stride, format,
        [](void* info) {
            const auto* held = static_cast<Held*>(info);
            large_buffers::giveBack(held->pixels, held->bytes);
            delete held;
        },
        held);
    // A picture Qt refuses never calls the cleanup.
    if (image.isNull()) {
        large_buffers::giveBack(pixels, bytes);
        delete held;
    }
    return image;
}

} // namespace picture

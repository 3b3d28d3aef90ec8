// cDIB::CreateFromFile on arbitrary bytes: no crash, no leak, no read past the file, no
// allocation beyond the file's size plus a little, and a successful load holds exactly the
// bytes the header points at.
#include "allocation_tracker.h"
#include "console_platform.h"
#include "fuzz_input.h"
#include "picture/dib.h"
#include "picture/picture_error.h"

#include <cstring>

namespace {
FuzzFolder* folder;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silenceQtMessages();
    folder = new FuzzFolder;
    platform::install(new ConsolePlatform(false, folder->path()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString path = folder->write(data, size);
    picture::cDIB dib;
    allocation::largest = 0;
    bool loaded = false;
    try {
        loaded = dib.CreateFromFile(path);
    } catch (const picture::PictureError&) {
    }
    if (allocation::largest > size + 4096)
        std::abort();
    if (!loaded)
        return 0;
    const auto offset = std::size_t(dib.BitOffset());
    const auto image = std::size_t(dib.SizeImage());
    if (dib.SizeBitmapInfo() != dib.BitOffset() - 14 || offset + image > size ||
        std::memcmp(dib.PointerToBits(), data + offset, image) != 0 ||
        std::memcmp(dib.PointerToBitmapInfo(), data + 14, offset - 14) != 0)
        std::abort();
    return 0;
}

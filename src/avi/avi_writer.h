#pragma once

#include "avi/avi_status.h"
#include "avi/riff_file.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace avi {

// What the stream header says about the one video stream.
struct VideoStreamHeader {
    std::uint32_t fccHandler = 0;
    std::uint32_t scale = 1;
    std::uint32_t rate = 1;
    std::int16_t frame[4] = {}; // left, top, right, bottom
};

struct AviWriterLimits {
    // A RIFF is closed before it would grow past this; the first one then carries the
    // legacy idx1 and the rest of the file continues in OpenDML 'AVIX' RIFFs.
    std::uint64_t riffSize = 1u << 30;
    // Slots reserved in the header for the OpenDML super index: one per RIFF.
    std::uint32_t superIndexSlots = 1024;
};

// How the frames are stored; each value is the chunk ID the frames get.
enum class ChunkKind : std::uint32_t {
    Uncompressed = fourcc("00db"),
    Compressed = fourcc("00dc"),
};

struct FrameData {
    const void* data = nullptr;
    std::uint32_t size = 0; // 0: a null frame, "show the previous one again"
    bool key = true;
};

// One video stream in a RIFF AVI file, with OpenDML continuation beyond the first RIFF.
// The writer owns the layout: where the headers are, the index of the RIFF being written
// (8 bytes per frame, dropped when that RIFF is closed) and one super-index entry per RIFF.
//
// At every moment the file owns enough room behind the last frame for the index and the
// closing of the file, so a write that fails for want of space leaves the frames before
// it intact and close() still makes a complete file of them.
class AviWriter {
public:
    explicit AviWriter(AviWriterLimits limits = {}) : limits_(limits) {}

    // Bytes a frame of `size` bytes takes in the file: chunk header, data, pad byte.
    static constexpr std::uint64_t frameBytes(std::uint32_t size) {
        return sizeOnDisk<ChunkHeader> + std::uint64_t(size) + (size & 1);
    }

    Status create(const std::string& path);
    void setHeader(const VideoStreamHeader& header) { header_ = header; }
    // 'strf' payload: BITMAPINFOHEADER plus colour table or codec data. Set before the
    // first frame.
    void setFormat(std::vector<std::uint8_t> strf, ChunkKind kind);
    bool started() const { return started_; }

    // Writes the frames in order, all or none.
    Status writeFrames(std::span<const FrameData> frames);
    // Takes room now for frames still to come, so that writing them later cannot run out.
    Status reserve(std::uint64_t bytes, std::uint32_t frames);
    // Completes the file: index, counts, OpenDML headers; the writer is done after it.
    Status close();

    std::uint64_t frameCount() const { return totalFrames_; }
    std::uint32_t riffCount() const { return std::uint32_t(riffs_.size()) + 1; }

private:
    struct IndexEntry {
        std::uint32_t offset;      // of the chunk header, from the 'movi' FOURCC
        std::uint32_t sizeAndFlag; // data size, with AVISTDINDEX_DELTAFRAME for a non-key frame
    };
    struct RiffEntry {
        std::uint64_t indexOffset;
        std::uint32_t indexSize;
        std::uint32_t frames;
    };

    Status start();
    Status nextRiff();
    bool closeRiff(bool last);
    bool writeIdx1();
    bool writeIx();
    bool patchHeaders();
    Status fileFailure(const char* doing) const;

    AviWriterLimits limits_;
    RiffFile file_;
    VideoStreamHeader header_;
    std::vector<std::uint8_t> strf_;
    ChunkKind kind_ = ChunkKind::Uncompressed;
    bool started_ = false;
    bool closed_ = false;

    std::uint64_t avih_ = 0, strh_ = 0, indx_ = 0, odml_ = 0;
    Chunk riff_, movi_;
    std::vector<IndexEntry> index_;
    std::vector<RiffEntry> riffs_; // the RIFFs already closed
    std::uint64_t totalFrames_ = 0;
    std::uint32_t firstRiffFrames_ = 0;
    std::uint32_t maxChunk_ = 0;
};

} // namespace avi

#pragma once

#include "bytes/le_bytes.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The records the AVI writer puts on disk, with their fields' names from the AVI and
// OpenDML documents, each encoded little-endian by one function. Their sizes come from
// those functions (bytes::encodedSize), never from counting by hand.
namespace avi {

using bytes::LeWriter;

constexpr std::uint32_t fourcc(const char (&s)[5]) {
    return std::uint32_t(std::uint8_t(s[0])) | std::uint32_t(std::uint8_t(s[1])) << 8 |
           std::uint32_t(std::uint8_t(s[2])) << 16 | std::uint32_t(std::uint8_t(s[3])) << 24;
}

// The four characters of a FOURCC, its first byte first whatever the host's byte order.
inline std::string fourccText(std::uint32_t code) {
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i)
        text[std::size_t(i)] = char((code >> (8 * i)) & 0xFF);
    return text;
}

// A chunk's header: its ID and the size of what follows (a pad byte not counted).
struct ChunkHeader {
    std::uint32_t ckid = 0;
    std::uint32_t ckSize = 0;
};

// A 'RIFF' or 'LIST' header: a chunk header whose payload starts with its type.
struct ListHeader {
    std::uint32_t dwList = 0;
    std::uint32_t dwSize = 0;
    std::uint32_t dwFourCC = 0;
};

// 'avih' (AVIMAINHEADER after its chunk header).
constexpr std::uint32_t AVIF_HASINDEX = 0x10;
constexpr std::uint32_t AVIF_ISINTERLEAVED = 0x100;

struct MainAviHeader {
    std::uint32_t dwMicroSecPerFrame = 0;
    std::uint32_t dwMaxBytesPerSec = 0;
    std::uint32_t dwPaddingGranularity = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwTotalFrames = 0; // of the first RIFF when the file goes on in OpenDML
    std::uint32_t dwInitialFrames = 0;
    std::uint32_t dwStreams = 0;
    std::uint32_t dwSuggestedBufferSize = 0;
    std::uint32_t dwWidth = 0;
    std::uint32_t dwHeight = 0;
    std::array<std::uint32_t, 4> dwReserved = {};
};

// 'strh' (AVISTREAMHEADER after its chunk header).
struct AviStreamHeader {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t dwFlags = 0;
    std::uint16_t wPriority = 0;
    std::uint16_t wLanguage = 0;
    std::uint32_t dwInitialFrames = 0;
    std::uint32_t dwScale = 0;
    std::uint32_t dwRate = 0;
    std::uint32_t dwStart = 0;
    std::uint32_t dwLength = 0;
    std::uint32_t dwSuggestedBufferSize = 0;
    std::uint32_t dwQuality = 0; // 0xFFFFFFFF: the default quality
    std::uint32_t dwSampleSize = 0;
    struct {
        std::int16_t left = 0, top = 0, right = 0, bottom = 0;
    } rcFrame;
};

// One 'idx1' entry (AVIINDEXENTRY): offsets count from the 'movi' list's type.
constexpr std::uint32_t AVIIF_KEYFRAME = 0x10;

struct LegacyIndexEntry {
    std::uint32_t dwChunkId = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwChunkOffset = 0;
    std::uint32_t dwChunkLength = 0;
};

// bIndexType of the OpenDML indexes.
constexpr std::uint8_t AVI_INDEX_OF_INDEXES = 0x00;
constexpr std::uint8_t AVI_INDEX_OF_CHUNKS = 0x01;

// What every OpenDML index starts with (AVIMETAINDEX after its chunk header).
struct IndexPrefix {
    std::uint16_t wLongsPerEntry = 0;
    std::uint8_t bIndexSubType = 0;
    std::uint8_t bIndexType = 0;
    std::uint32_t nEntriesInUse = 0;
    std::uint32_t dwChunkId = 0;
};

// 'indx', the OpenDML super index (AVISUPERINDEX after its chunk header), then one
// SuperIndexEntry per RIFF.
struct SuperIndexHeader {
    IndexPrefix prefix = {.wLongsPerEntry = 4, .bIndexType = AVI_INDEX_OF_INDEXES};
    std::array<std::uint32_t, 3> dwReserved = {};
};

struct SuperIndexEntry {
    std::uint64_t qwOffset = 0; // of the standard index's chunk header, from the file's start
    std::uint32_t dwSize = 0;   // of that chunk, header included
    std::uint32_t dwDuration = 0;
};

// 'ix00', the OpenDML standard index of one RIFF (AVISTDINDEX after its chunk header),
// then one StandardIndexEntry per frame.
struct StandardIndexHeader {
    IndexPrefix prefix = {.wLongsPerEntry = 2, .bIndexType = AVI_INDEX_OF_CHUNKS};
    std::uint64_t qwBaseOffset = 0;
    std::uint32_t dwReserved_3 = 0;
};

constexpr std::uint32_t AVISTDINDEX_DELTAFRAME = 0x80000000u;

struct StandardIndexEntry {
    std::uint32_t dwOffset = 0; // of the chunk's data, from qwBaseOffset
    std::uint32_t dwSize = 0;   // with AVISTDINDEX_DELTAFRAME for a frame that is not a key
};

// 'dmlh', the OpenDML extended header in the 'odml' list.
struct ExtendedAviHeader {
    std::uint32_t dwGrandFrames = 0; // every frame of the file
    std::array<std::uint32_t, 61> dwFuture = {};
};

constexpr void encode(LeWriter& w, const ChunkHeader& h) {
    w.u32(h.ckid);
    w.u32(h.ckSize);
}

constexpr void encode(LeWriter& w, const ListHeader& h) {
    w.u32(h.dwList);
    w.u32(h.dwSize);
    w.u32(h.dwFourCC);
}

constexpr void encode(LeWriter& w, const MainAviHeader& h) {
    w.u32(h.dwMicroSecPerFrame);
    w.u32(h.dwMaxBytesPerSec);
    w.u32(h.dwPaddingGranularity);
    w.u32(h.dwFlags);
    w.u32(h.dwTotalFrames);
    w.u32(h.dwInitialFrames);
    w.u32(h.dwStreams);
    w.u32(h.dwSuggestedBufferSize);
    w.u32(h.dwWidth);
    w.u32(h.dwHeight);
    for (const std::uint32_t reserved : h.dwReserved)
        w.u32(reserved);
}

constexpr void encode(LeWriter& w, const AviStreamHeader& h) {
    w.u32(h.fccType);
    w.u32(h.fccHandler);
    w.u32(h.dwFlags);
    w.u16(h.wPriority);
    w.u16(h.wLanguage);
    w.u32(h.dwInitialFrames);
    w.u32(h.dwScale);
    w.u32(h.dwRate);
    w.u32(h.dwStart);
    w.u32(h.dwLength);
    w.u32(h.dwSuggestedBufferSize);
    w.u32(h.dwQuality);
    w.u32(h.dwSampleSize);
    w.i16(h.rcFrame.left);
    w.i16(h.rcFrame.top);
    w.i16(h.rcFrame.right);
    w.i16(h.rcFrame.bottom);
}

constexpr void encode(LeWriter& w, const LegacyIndexEntry& e) {
    w.u32(e.dwChunkId);
    w.u32(e.dwFlags);
    w.u32(e.dwChunkOffset);
    w.u32(e.dwChunkLength);
}

constexpr void encode(LeWriter& w, const IndexPrefix& p) {
    w.u16(p.wLongsPerEntry);
    w.u8(p.bIndexSubType);
    w.u8(p.bIndexType);
    w.u32(p.nEntriesInUse);
    w.u32(p.dwChunkId);
}

constexpr void encode(LeWriter& w, const SuperIndexHeader& h) {
    encode(w, h.prefix);
    for (const std::uint32_t reserved : h.dwReserved)
        w.u32(reserved);
}

constexpr void encode(LeWriter& w, const SuperIndexEntry& e) {
    w.u64(e.qwOffset);
    w.u32(e.dwSize);
    w.u32(e.dwDuration);
}

constexpr void encode(LeWriter& w, const StandardIndexHeader& h) {
    encode(w, h.prefix);
    w.u64(h.qwBaseOffset);
    w.u32(h.dwReserved_3);
}

constexpr void encode(LeWriter& w, const StandardIndexEntry& e) {
    w.u32(e.dwOffset);
    w.u32(e.dwSize);
}

constexpr void encode(LeWriter& w, const ExtendedAviHeader& h) {
    w.u32(h.dwGrandFrames);
    for (const std::uint32_t future : h.dwFuture)
        w.u32(future);
}

template <typename Record> constexpr std::size_t sizeOnDisk = bytes::encodedSize<Record>();

// A record as its bytes on disk.
template <typename Record> std::array<std::uint8_t, sizeOnDisk<Record>> encoded(const Record& r) {
    std::array<std::uint8_t, sizeOnDisk<Record>> out{};
    LeWriter w(out.data());
    encode(w, r);
    return out;
}

// Appends a record's bytes to out.
template <typename Record> void append(std::vector<std::uint8_t>& out, const Record& r) {
    const auto bytes = encoded(r);
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// A list header's type: what a list's payload holds before its first chunk.
constexpr std::size_t listTypeSize = sizeOnDisk<ListHeader> - sizeOnDisk<ChunkHeader>;

// The sizes the documents give, so that a field left out or of the wrong width stops the build.
static_assert(sizeOnDisk<MainAviHeader> == 56);
static_assert(sizeOnDisk<AviStreamHeader> == 56);
static_assert(sizeOnDisk<SuperIndexHeader> == 24 && sizeOnDisk<SuperIndexEntry> == 16);
static_assert(sizeOnDisk<StandardIndexHeader> == 24 && sizeOnDisk<StandardIndexEntry> == 8);
static_assert(sizeOnDisk<ExtendedAviHeader> == 248);
static_assert(sizeOnDisk<LegacyIndexEntry> == 16);

} // namespace avi

#include "avi/avi_writer.h"

#include "picture/bitmap_headers.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace avi {

namespace {

// Index offsets are 32-bit and some readers take sizes as signed: no RIFF past 1.5 GiB.
constexpr std::uint64_t largestRiff = 3ull << 29;
// The 'odml' list's payload: its type, then the 'dmlh' chunk.
constexpr std::uint32_t odmlPayload =
    listTypeSize + sizeOnDisk<ChunkHeader> + sizeOnDisk<ExtendedAviHeader>;

std::uint32_t superIndexPayload(std::uint32_t entries) {
    return std::uint32_t(sizeOnDisk<SuperIndexHeader> + sizeOnDisk<SuperIndexEntry> * entries);
}

// What closing the RIFF being written takes with `entries` frames in it: its standard
// index and, in the first RIFF, the legacy one; then the start of the next RIFF.
constexpr std::uint64_t closingBytes(std::uint64_t entries) {
    constexpr std::uint64_t perFrame =
        sizeOnDisk<StandardIndexEntry> + sizeOnDisk<LegacyIndexEntry>;
    constexpr std::uint64_t fixed = sizeOnDisk<ChunkHeader> + sizeOnDisk<StandardIndexHeader> +
                                    sizeOnDisk<ChunkHeader> + // 'idx1'
                                    sizeOnDisk<ListHeader> +  // 'RIFF' 'AVIX'
                                    sizeOnDisk<ListHeader>;   // its 'LIST' 'movi'
    return perFrame * entries + fixed;
}

// Writes one record per index entry, encoded in blocks so that a long index costs few calls.
template <typename Record, typename Entry, typename Make>
void writeEach(RiffFile& file, const std::vector<Entry>& index, Make make) {
    constexpr std::size_t perBlock = 4096;
    std::vector<std::uint8_t> block;
    block.reserve(std::min(index.size(), perBlock) * sizeOnDisk<Record>);
    for (std::size_t i = 0; i < index.size(); ++i) {
        append(block, Record(make(index[i])));
        if (block.size() == perBlock * sizeOnDisk<Record> || i + 1 == index.size()) {
            file.write(block.data(), block.size());
            block.clear();
        }
    }
}

} // namespace

Status AviWriter::create(const std::string& path) {
    limits_.riffSize = std::min(limits_.riffSize, largestRiff);
    limits_.superIndexSlots = std::max<std::uint32_t>(limits_.superIndexSlots, 1);
    if (file_.create(path))
        return {};
    return failure(Fault::FileOpen, "cannot create " + path + ": " + std::strerror(file_.error()));
}

void AviWriter::setFormat(std::vector<std::uint8_t> strf, ChunkKind kind) {
    strf_ = std::move(strf);
    kind_ = kind;
}

Status AviWriter::fileFailure(const char* doing) const {
    const int err = file_.error();
    return failure(Fault::FileWrite, std::string(doing) + ": " + std::strerror(err ? err : EIO));
}

Status AviWriter::start() {
    if (!file_.isOpen())
        return failure(Fault::FileWrite, "the file is not open");
    if (strf_.empty()) {
        // No format was ever set: describe an empty 24-bit picture of the frame's size.
        strf_.assign(picture::bitmapInfoHeaderSize, 0);
        bytes::encodeAt(strf_.data(), picture::BitmapInfoHeader{
                                          .biSize = std::int32_t(picture::bitmapInfoHeaderSize),
                                          .biWidth = header_.frame[2] - header_.frame[0],
                                          .biHeight = header_.frame[3] - header_.frame[1],
                                          .biPlanes = 1,
                                          .biBitCount = 24});
    }
    // A start that failed half-way (a full disk) begins again from the top.
    file_.rewindTo(0);
    file_.clearError();
    riff_ = file_.beginList(fourcc("RIFF"), fourcc("AVI "));
    const Chunk hdrl = file_.beginList(fourcc("LIST"), fourcc("hdrl"));
    Chunk c = file_.beginChunk(fourcc("avih"));
    avih_ = file_.pos();
    file_.writeRecord(MainAviHeader{});
    file_.end(c);
    const Chunk strl = file_.beginList(fourcc("LIST"), fourcc("strl"));
    c = file_.beginChunk(fourcc("strh"));
    strh_ = file_.pos();
    file_.writeRecord(AviStreamHeader{});
    file_.end(c);
    c = file_.beginChunk(fourcc("strf"));
    file_.write(strf_.data(), strf_.size());
    file_.end(c);
    // Room for the OpenDML super index and header; they stay JUNK unless the file
    // outgrows its first RIFF.
    const std::uint32_t superIndexBytes = superIndexPayload(limits_.superIndexSlots);
    const std::vector<std::uint8_t> zeros(std::max(superIndexBytes, odmlPayload), 0);
    indx_ = file_.pos();
    c = file_.beginChunk(fourcc("JUNK"));
    file_.write(zeros.data(), superIndexBytes);
    file_.end(c);
    file_.end(strl);
    odml_ = file_.pos();
    c = file_.beginChunk(fourcc("JUNK"));
    file_.write(zeros.data(), odmlPayload);
    file_.end(c);
    file_.end(hdrl);
    movi_ = file_.beginList(fourcc("LIST"), fourcc("movi"));
    if (file_.error() == 0 && patchHeaders() && file_.ensureRoom(closingBytes(0))) {
        started_ = true;
        return {};
    }
    return fileFailure("writing the headers");
}

Status AviWriter::writeFrames(std::span<const FrameData> frames) {
    if (closed_)
        return failure(Fault::FileWrite, "the file is already complete");
    if (!started_)
        if (Status s = start(); !s.ok())
            return s;
    std::uint64_t bytes = 0;
    for (const FrameData& f : frames) {
        if (f.size >= AVISTDINDEX_DELTAFRAME)
            return failure(Fault::FileWrite, "a frame of " + std::to_string(f.size) +
                                                 " bytes is more than a chunk can hold");
        bytes += frameBytes(f.size);
    }
    const std::uint64_t after = index_.size() + frames.size();
    if (!index_.empty() &&
        file_.pos() - riff_.header + bytes + closingBytes(after) > limits_.riffSize)
        if (Status s = nextRiff(); !s.ok())
            return s;
    file_.clearError();
    if (!file_.ensureRoom(bytes + closingBytes(index_.size() + frames.size())))
        return fileFailure("taking room for the frames");

    const std::uint64_t back = file_.pos();
    const std::size_t backEntries = index_.size();
    const std::uint64_t moviData = movi_.header + sizeOnDisk<ChunkHeader>;
    static const char pad = 0;
    for (const FrameData& f : frames) {
        const auto header = encoded(ChunkHeader{.ckid = std::uint32_t(kind_), .ckSize = f.size});
        const iovec parts[3] = {{const_cast<std::uint8_t*>(header.data()), header.size()},
                                {const_cast<void*>(f.data), f.size},
                                {const_cast<char*>(&pad), f.size & 1}};
        index_.push_back(
            {std::uint32_t(file_.pos() - moviData), f.size | (f.key ? 0 : AVISTDINDEX_DELTAFRAME)});
        if (!file_.writeVector(parts, 3)) {
            const Status s = fileFailure("writing a frame");
            file_.rewindTo(back);
            index_.resize(backEntries);
            return s;
        }
        maxChunk_ = std::max(maxChunk_, f.size);
    }
    totalFrames_ += frames.size();
    return {};
}

Status AviWriter::reserve(std::uint64_t bytes, std::uint32_t frames) {
    if (closed_)
        return failure(Fault::FileWrite, "the file is already complete");
    if (!started_)
        if (Status s = start(); !s.ok())
            return s;
    file_.clearError();
    if (file_.ensureRoom(bytes + closingBytes(index_.size() + frames)))
        return {};
    return fileFailure("taking room for the frames to come");
}

Status AviWriter::nextRiff() {
    if (riffs_.size() + 2 > limits_.superIndexSlots)
        return failure(Fault::FileWrite, "every one of the " +
                                             std::to_string(limits_.superIndexSlots) +
                                             " OpenDML index slots is taken");
    const std::uint64_t back = file_.pos();
    const Chunk riff = riff_, movi = movi_;
    const std::size_t riffsBefore = riffs_.size();
    file_.clearError();
    closeRiff(false);
    riff_ = file_.beginList(fourcc("RIFF"), fourcc("AVIX"));
    movi_ = file_.beginList(fourcc("LIST"), fourcc("movi"));
    if (file_.error() != 0) {
        const Status s = fileFailure("starting the next RIFF");
        file_.rewindTo(back);
        riff_ = riff;
        movi_ = movi;
        riffs_.resize(riffsBefore);
        return s;
    }
    if (riffsBefore == 0)
        firstRiffFrames_ = std::uint32_t(index_.size());
    index_.clear();
    return {};
}

bool AviWriter::closeRiff(bool last) {
    const bool first = riffs_.empty();
    const bool openDml = !(first && last);
    if (openDml)
        writeIx();
    file_.end(movi_);
    if (first)
        writeIdx1();
    file_.end(riff_);
    return file_.error() == 0;
}

bool AviWriter::writeIx() {
    const Chunk c = file_.beginChunk(fourcc("ix00"));
    const std::uint64_t base = movi_.header + sizeOnDisk<ChunkHeader>;
    StandardIndexHeader header{.qwBaseOffset = base};
    header.prefix.nEntriesInUse = std::uint32_t(index_.size());
    header.prefix.dwChunkId = std::uint32_t(kind_);
    file_.writeRecord(header);
    writeEach<StandardIndexEntry>(file_, index_, [](const IndexEntry& e) {
        // Standard index entries point at the data, not at the chunk header.
        return StandardIndexEntry{.dwOffset = e.offset + std::uint32_t(sizeOnDisk<ChunkHeader>),
                                  .dwSize = e.sizeAndFlag};
    });
    riffs_.push_back(
        {c.header, std::uint32_t(file_.pos() - c.header), std::uint32_t(index_.size())});
    return file_.end(c);
}

bool AviWriter::writeIdx1() {
    const Chunk c = file_.beginChunk(fourcc("idx1"));
    const auto id = std::uint32_t(kind_);
    writeEach<LegacyIndexEntry>(file_, index_, [id](const IndexEntry& e) {
        const bool key = (e.sizeAndFlag & AVISTDINDEX_DELTAFRAME) == 0;
        return LegacyIndexEntry{.dwChunkId = id,
                                .dwFlags = key ? AVIIF_KEYFRAME : 0,
                                .dwChunkOffset = e.offset,
                                .dwChunkLength = e.sizeAndFlag & ~AVISTDINDEX_DELTAFRAME};
    });
    return file_.end(c);
}

bool AviWriter::patchHeaders() {
    const double fps = header_.scale ? double(header_.rate) / header_.scale : 0.0;
    const auto frames = std::uint32_t(std::min<std::uint64_t>(totalFrames_, 0xFFFFFFFFu));
    file_.patchRecord(
        avih_,
        MainAviHeader{
            .dwMicroSecPerFrame = fps > 0 ? std::uint32_t(std::lround(1e6 / fps)) : 0,
            .dwMaxBytesPerSec = std::uint32_t(std::min(4294967295.0, std::ceil(maxChunk_ * fps))),
            .dwFlags = AVIF_HASINDEX | AVIF_ISINTERLEAVED,
            // Without OpenDML this is every frame; with it, those the legacy idx1 covers.
            .dwTotalFrames = riffs_.empty() ? std::uint32_t(totalFrames_) : firstRiffFrames_,
            .dwStreams = 1,
            .dwSuggestedBufferSize = maxChunk_,
            .dwWidth = std::uint32_t(header_.frame[2] - header_.frame[0]),
            .dwHeight = std::uint32_t(header_.frame[3] - header_.frame[1])});
    file_.patchRecord(strh_, AviStreamHeader{.fccType = fourcc("vids"),
                                             .fccHandler = header_.fccHandler,
                                             .dwScale = header_.scale,
                                             .dwRate = header_.rate,
                                             .dwLength = frames,
                                             .dwSuggestedBufferSize = maxChunk_,
                                             .dwQuality = 0xFFFFFFFFu,
                                             .rcFrame = {header_.frame[0], header_.frame[1],
                                                         header_.frame[2], header_.frame[3]}});

    if (!riffs_.empty() && closed_) {
        std::vector<std::uint8_t> indx;
        append(indx, ChunkHeader{.ckid = fourcc("indx"),
                                 .ckSize = superIndexPayload(limits_.superIndexSlots)});
        SuperIndexHeader header;
        header.prefix.nEntriesInUse = std::uint32_t(riffs_.size());
        header.prefix.dwChunkId = std::uint32_t(kind_);
        append(indx, header);
        for (const RiffEntry& r : riffs_)
            append(indx, SuperIndexEntry{.qwOffset = r.indexOffset,
                                         .dwSize = r.indexSize,
                                         .dwDuration = r.frames});
        file_.patch(indx_, indx.data(), indx.size());
        std::vector<std::uint8_t> odml;
        append(odml, ListHeader{.dwList = fourcc("LIST"),
                                .dwSize = odmlPayload,
                                .dwFourCC = fourcc("odml")});
        append(odml, ChunkHeader{.ckid = fourcc("dmlh"), .ckSize = sizeOnDisk<ExtendedAviHeader>});
        append(odml, ExtendedAviHeader{.dwGrandFrames = frames});
        file_.patch(odml_, odml.data(), odml.size());
    }
    return file_.error() == 0;
}

Status AviWriter::close() {
    if (closed_)
        return failure(Fault::FileWrite, "the file is already complete");
    if (!started_)
        if (Status s = start(); !s.ok())
            return s;
    closed_ = true;
    file_.clearError();
    const bool single = riffs_.empty();
    closeRiff(true);
    if (single)
        firstRiffFrames_ = std::uint32_t(index_.size());
    patchHeaders();
    index_ = {};
    file_.finish();
    return file_.error() == 0 ? Status{} : fileFailure("completing the file");
}

} // namespace avi

#include "avi/avi_writer.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

namespace avi {

namespace {

constexpr std::uint32_t AVIF_HASINDEX = 0x10;
constexpr std::uint32_t AVIF_ISINTERLEAVED = 0x100;
constexpr std::uint32_t AVIIF_KEYFRAME = 0x10;
constexpr std::uint32_t nonKeyBit = 0x80000000u;
constexpr std::uint32_t odmlPayload = 4 + 8 + 248; // 'odml', then the dmlh chunk
// Index offsets are 32-bit and some readers take sizes as signed: no RIFF past 1.5 GiB.
constexpr std::uint64_t largestRiff = 3ull << 29;

struct Bytes {
    std::vector<std::uint8_t> data;
    void u16(std::uint16_t v) { raw(&v, 2); }
    void u32(std::uint32_t v) { raw(&v, 4); }
    void u64(std::uint64_t v) { raw(&v, 8); }
    void raw(const void* p, std::size_t n) {
        const auto* b = static_cast<const std::uint8_t*>(p);
        data.insert(data.end(), b, b + n);
    }
};

} // namespace

int AviWriter::create(const std::string& path) {
    limits_.riffSize = std::min(limits_.riffSize, largestRiff);
    limits_.superIndexSlots = std::max<std::uint32_t>(limits_.superIndexSlots, 1);
    return file_.create(path) ? 0 : file_.error();
}

void AviWriter::setFormat(std::vector<std::uint8_t> strf, bool compressed) {
    strf_ = std::move(strf);
    chunkId_ = compressed ? fourcc("00dc") : fourcc("00db");
}

int AviWriter::failure() {
    const int err = file_.error();
    return err ? err : EIO;
}

// Index and closing of the RIFF being written, plus the start of a next one.
std::uint64_t AviWriter::closingBytes(std::uint64_t entries) const {
    return 24 * entries + 160;
}

int AviWriter::start() {
    if (!file_.isOpen())
        return EBADF;
    if (strf_.empty()) {
        // No format was ever set: describe an empty 24-bit picture of the frame's size.
        Bytes b;
        b.u32(40);
        b.u32(std::uint32_t(header_.frame[2] - header_.frame[0]));
        b.u32(std::uint32_t(header_.frame[3] - header_.frame[1]));
        b.u16(1);
        b.u16(24);
        b.data.resize(40, 0);
        strf_ = std::move(b.data);
    }
    // A start that failed half-way (a full disk) begins again from the top.
    file_.rewindTo(0);
    file_.clearError();
    riff_ = file_.beginList(fourcc("RIFF"), fourcc("AVI "));
    const Chunk hdrl = file_.beginList(fourcc("LIST"), fourcc("hdrl"));
    const std::size_t superIndexBytes = 24 + 16 * std::size_t(limits_.superIndexSlots);
    const std::vector<std::uint8_t> zeros(std::max<std::size_t>(superIndexBytes, odmlPayload), 0);
    Chunk c = file_.beginChunk(fourcc("avih"));
    avih_ = file_.pos();
    file_.write(zeros.data(), 56);
    file_.end(c);
    const Chunk strl = file_.beginList(fourcc("LIST"), fourcc("strl"));
    c = file_.beginChunk(fourcc("strh"));
    strh_ = file_.pos();
    file_.write(zeros.data(), 56);
    file_.end(c);
    c = file_.beginChunk(fourcc("strf"));
    file_.write(strf_.data(), strf_.size());
    file_.end(c);
    // Room for the OpenDML super index and header; they stay JUNK unless the file
    // outgrows its first RIFF.
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
        return 0;
    }
    return failure();
}

int AviWriter::writeFrames(std::span<const FrameData> frames) {
    if (closed_)
        return EBADF;
    if (!started_)
        if (const int err = start())
            return err;
    std::uint64_t bytes = 0;
    for (const FrameData& f : frames) {
        if (f.size >= nonKeyBit)
            return EFBIG;
        bytes += 8 + f.size + (f.size & 1);
    }
    const std::uint64_t after = index_.size() + frames.size();
    if (!index_.empty() &&
        file_.pos() - riff_.header + bytes + closingBytes(after) > limits_.riffSize)
        if (const int err = nextRiff())
            return err;
    file_.clearError();
    if (!file_.ensureRoom(bytes + closingBytes(index_.size() + frames.size())))
        return failure();

    const std::uint64_t back = file_.pos();
    const std::size_t backEntries = index_.size();
    const std::uint64_t moviData = movi_.header + 8;
    static const char pad = 0;
    for (const FrameData& f : frames) {
        const std::uint32_t header[2] = {chunkId_, f.size};
        const iovec parts[3] = {{const_cast<std::uint32_t*>(header), 8},
                                {const_cast<void*>(f.data), f.size},
                                {const_cast<char*>(&pad), f.size & 1}};
        index_.push_back({std::uint32_t(file_.pos() - moviData), f.size | (f.key ? 0 : nonKeyBit)});
        if (!file_.writeVector(parts, 3)) {
            file_.rewindTo(back);
            index_.resize(backEntries);
            return failure();
        }
        maxChunk_ = std::max(maxChunk_, f.size);
    }
    totalFrames_ += frames.size();
    return 0;
}

int AviWriter::reserve(std::uint64_t bytes, std::uint32_t frames) {
    if (closed_)
        return EBADF;
    if (!started_)
        if (const int err = start())
            return err;
    file_.clearError();
    return file_.ensureRoom(bytes + closingBytes(index_.size() + frames)) ? 0 : failure();
}

int AviWriter::nextRiff() {
    if (riffs_.size() + 2 > limits_.superIndexSlots)
        return EFBIG;
    const std::uint64_t back = file_.pos();
    const Chunk riff = riff_, movi = movi_;
    const std::size_t riffsBefore = riffs_.size();
    file_.clearError();
    closeRiff(false);
    riff_ = file_.beginList(fourcc("RIFF"), fourcc("AVIX"));
    movi_ = file_.beginList(fourcc("LIST"), fourcc("movi"));
    if (file_.error() != 0) {
        file_.rewindTo(back);
        riff_ = riff;
        movi_ = movi;
        riffs_.resize(riffsBefore);
        return failure();
    }
    if (riffsBefore == 0)
        firstRiffFrames_ = std::uint32_t(index_.size());
    index_.clear();
    return 0;
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
    Bytes h;
    h.u16(2); // longs per entry
    h.data.push_back(0);
    h.data.push_back(1); // AVI_INDEX_OF_CHUNKS
    h.u32(std::uint32_t(index_.size()));
    h.u32(chunkId_);
    h.u64(movi_.header + 8);
    h.u32(0);
    file_.write(h.data.data(), h.data.size());
    std::vector<std::uint32_t> block;
    block.reserve(2 * 4096);
    for (std::size_t i = 0; i < index_.size(); ++i) {
        block.push_back(index_[i].offset + 8); // ix entries point at the data, not the header
        block.push_back(index_[i].sizeAndFlag);
        if (block.size() == block.capacity() || i + 1 == index_.size()) {
            file_.write(block.data(), block.size() * 4);
            block.clear();
        }
    }
    riffs_.push_back(
        {c.header, std::uint32_t(file_.pos() - c.header), std::uint32_t(index_.size())});
    return file_.end(c);
}

bool AviWriter::writeIdx1() {
    const Chunk c = file_.beginChunk(fourcc("idx1"));
    std::vector<std::uint32_t> block;
    block.reserve(4 * 2048);
    for (std::size_t i = 0; i < index_.size(); ++i) {
        const IndexEntry& e = index_[i];
        block.push_back(chunkId_);
        block.push_back((e.sizeAndFlag & nonKeyBit) ? 0 : AVIIF_KEYFRAME);
        block.push_back(e.offset);
        block.push_back(e.sizeAndFlag & ~nonKeyBit);
        if (block.size() == block.capacity() || i + 1 == index_.size()) {
            file_.write(block.data(), block.size() * 4);
            block.clear();
        }
    }
    return file_.end(c);
}

bool AviWriter::patchHeaders() {
    const std::uint32_t width = std::uint32_t(header_.frame[2] - header_.frame[0]);
    const std::uint32_t height = std::uint32_t(header_.frame[3] - header_.frame[1]);
    const double fps = header_.scale ? double(header_.rate) / header_.scale : 0.0;
    Bytes a;
    a.u32(fps > 0 ? std::uint32_t(std::lround(1e6 / fps)) : 0);
    a.u32(std::uint32_t(std::min(4294967295.0, std::ceil(maxChunk_ * fps))));
    a.u32(0);
    a.u32(AVIF_HASINDEX | AVIF_ISINTERLEAVED);
    // Without OpenDML this is every frame; with it, those the legacy idx1 covers.
    a.u32(riffs_.empty() ? std::uint32_t(totalFrames_) : firstRiffFrames_);
    a.u32(0);
    a.u32(1);
    a.u32(maxChunk_);
    a.u32(width);
    a.u32(height);
    a.data.resize(56, 0);
    file_.patch(avih_, a.data.data(), a.data.size());

    Bytes s;
    s.u32(fourcc("vids"));
    s.u32(header_.fccHandler);
    s.u32(0);
    s.u16(0);
    s.u16(0);
    s.u32(0);
    s.u32(header_.scale);
    s.u32(header_.rate);
    s.u32(0);
    s.u32(std::uint32_t(std::min<std::uint64_t>(totalFrames_, 0xFFFFFFFFu)));
    s.u32(maxChunk_);
    s.u32(0xFFFFFFFFu);
    s.u32(0);
    s.raw(header_.frame, 8);
    file_.patch(strh_, s.data.data(), s.data.size());

    if (!riffs_.empty() && closed_) {
        Bytes x;
        x.u32(fourcc("indx"));
        x.u32(24 + 16 * limits_.superIndexSlots);
        x.u16(4);
        x.data.push_back(0);
        x.data.push_back(0); // AVI_INDEX_OF_INDEXES
        x.u32(std::uint32_t(riffs_.size()));
        x.u32(chunkId_);
        x.data.resize(x.data.size() + 12, 0);
        for (const RiffEntry& r : riffs_) {
            x.u64(r.indexOffset);
            x.u32(r.indexSize);
            x.u32(r.frames);
        }
        file_.patch(indx_, x.data.data(), x.data.size());
        Bytes o;
        o.u32(fourcc("LIST"));
        o.u32(odmlPayload);
        o.u32(fourcc("odml"));
        o.u32(fourcc("dmlh"));
        o.u32(248);
        o.u32(std::uint32_t(std::min<std::uint64_t>(totalFrames_, 0xFFFFFFFFu)));
        file_.patch(odml_, o.data.data(), o.data.size());
    }
    return file_.error() == 0;
}

int AviWriter::close() {
    if (closed_)
        return EBADF;
    if (!started_)
        if (const int err = start())
            return err;
    closed_ = true;
    file_.clearError();
    const bool single = riffs_.empty();
    closeRiff(true);
    if (single)
        firstRiffFrames_ = std::uint32_t(index_.size());
    patchHeaders();
    index_ = {};
    file_.finish();
    return file_.error();
}

} // namespace avi

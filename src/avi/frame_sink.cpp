#include "avi/frame_sink.h"

#include "picture/bitmap_headers.h"

#include <algorithm>
#include <cstring>

namespace avi {

namespace {

// GStreamer shows a paletted AVI black unless its colour table has every 2^bits entry:
// the table goes into the file filled up with black, the pixels stay as they are.
std::vector<std::uint8_t> fullColourTable(const DibFormat& format, std::vector<std::uint8_t> info) {
    if (format.bitCount > 8)
        return info;
    picture::BitmapInfoHeader header = picture::decodeInfoHeader(info.data());
    const auto used = std::uint32_t(header.biClrUsed);
    const std::uint32_t full = 1u << format.bitCount;
    if (used == 0 || used == full)
        return info;
    constexpr std::size_t entryBytes = 4; // RGBQUAD
    const auto headerSize = std::size_t(header.biSize);
    info.resize(headerSize + used * entryBytes);
    info.resize(headerSize + full * entryBytes, 0);
    header.biClrUsed = std::int32_t(full);
    bytes::encodeAt(info.data(), header);
    return info;
}

} // namespace

Status FrameSink::open(const DibFormat& format, std::vector<std::uint8_t> info,
                       const SinkChoice& choice) {
    format_ = format;
    choice_ = choice;
    if (choice.compressor == nullptr || choice.compressor->encoder == nullptr) {
        writer_.setFormat(fullColourTable(format, std::move(info)), ChunkKind::Uncompressed);
        return {};
    }
    if (std::string why = sizeProblem(*choice.compressor, format.width, format.rows());
        !why.empty())
        return failure(Fault::Compressor, std::string(choice.compressor->name) + " " + why);
    encoder_ = std::make_unique<VideoEncoder>();
    if (Status s = encoder_->open(*choice.compressor, format, choice.encoder); !s.ok())
        return s;
    writer_.setFormat(encoder_->streamFormat(), ChunkKind::Compressed);
    return {};
}

Status FrameSink::write(const std::uint8_t* bits) {
    if (broken_)
        return failure(Fault::Compressor,
                       "a frame failed to reach the file after the encoder took it; the frames "
                       "after it would decode wrong");
    // Only a null frame or a reused packet needs to know; uncompressed bits and delta
    // codecs write the frame as they get it.
    const bool compare = choice_.nullRepeats || (compressed() && choice_.compressor->intraOnly);
    const bool same =
        compare && haveLast_ && std::memcmp(lastBits_.data(), bits, format_.imageSize) == 0;
    if (same && choice_.nullRepeats) {
        // Take the room for the held-back nulls and their closing frame now, so that
        // ending them can never fail for want of space.
        ++pending_;
        const std::uint64_t room =
            AviWriter::frameBytes(0) * pending_ + AviWriter::frameBytes(largest_);
        if (Status s = writer_.reserve(room, pending_ + 1); !s.ok()) {
            --pending_;
            (void)endPending(EncoderState::InStep);
            return s;
        }
        return {};
    }

    const std::uint8_t* data = bits;
    std::uint32_t size = format_.imageSize;
    bool key = true;
    if (compressed()) {
        if (same && choice_.compressor->intraOnly) {
            data = lastPacket_.data();
            size = std::uint32_t(lastPacket_.size());
        } else {
            if (Status s = encoder_->encode(bits, packet_, key); !s.ok())
                return s;
            data = packet_.data();
            size = std::uint32_t(packet_.size());
        }
    }
    if (Status s = writeWithPending(data, size, key); !s.ok()) {
        // The encoder moved on to a frame the file does not have; a delta frame after
        // it would decode wrong.
        if (compressed() && !choice_.compressor->intraOnly)
            broken_ = true;
        (void)endPending(EncoderState::Ahead);
        return s;
    }
    if (compare && !same) {
        lastBits_.assign(bits, bits + format_.imageSize);
        haveLast_ = true;
    }
    if (compressed() && choice_.compressor->intraOnly && data == packet_.data())
        lastPacket_.swap(packet_);
    largest_ = std::max(largest_, size);
    return {};
}

Status FrameSink::writeWithPending(const std::uint8_t* data, std::uint32_t size, bool key) {
    std::vector<FrameData> frames(pending_, FrameData{nullptr, 0, false});
    frames.push_back({data, size, key});
    Status s = writer_.writeFrames(frames);
    if (s.ok())
        pending_ = 0;
    return s;
}

// Ends held-back repeats with a real frame: the previous bits or packet again, or for a
// codec with delta frames a fresh encoding of the previous picture.
Status FrameSink::endPending(EncoderState encoder) {
    if (pending_ == 0)
        return {};
    --pending_;
    std::vector<std::uint8_t> own;
    const std::uint8_t* data = lastBits_.data();
    std::uint32_t size = format_.imageSize;
    bool key = true;
    if (compressed() && choice_.compressor->intraOnly) {
        data = lastPacket_.data();
        size = std::uint32_t(lastPacket_.size());
    } else if (compressed()) {
        // Out of step, a second encoder makes a key frame that stands on its own.
        VideoEncoder fresh;
        VideoEncoder* enc = encoder == EncoderState::InStep && !broken_ ? encoder_.get() : &fresh;
        if (enc == &fresh)
            if (Status s = fresh.open(*choice_.compressor, format_, choice_.encoder); !s.ok())
                return s;
        if (Status s = enc->encode(lastBits_.data(), own, key); !s.ok())
            return s;
        data = own.data();
        size = std::uint32_t(own.size());
    }
    Status s = writeWithPending(data, size, key);
    pending_ = 0;
    return s;
}

Status FrameSink::finish() {
    return endPending(EncoderState::InStep);
}

} // namespace avi

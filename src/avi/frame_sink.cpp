#include "avi/frame_sink.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace avi {

namespace {

// GStreamer shows a paletted AVI black unless its colour table has every 2^bits entry:
// the table goes into the file filled up with black, the pixels stay as they are.
std::vector<std::uint8_t> fullColourTable(const DibFormat& format, std::vector<std::uint8_t> info) {
    if (format.bitCount > 8)
        return info;
    std::uint32_t headerSize, used;
    std::memcpy(&headerSize, info.data(), 4);
    std::memcpy(&used, info.data() + 32, 4);
    const std::uint32_t full = 1u << format.bitCount;
    if (used == 0 || used == full)
        return info;
    info.resize(headerSize + std::size_t(used) * 4);
    info.resize(headerSize + std::size_t(full) * 4, 0);
    std::memcpy(info.data() + 32, &full, 4);
    return info;
}

} // namespace

std::string FrameSink::open(const DibFormat& format, std::vector<std::uint8_t> info,
                            const SinkChoice& choice) {
    format_ = format;
    choice_ = choice;
    if (choice.compressor == nullptr || choice.compressor->encoder == nullptr) {
        writer_.setFormat(fullColourTable(format, std::move(info)), false);
        return {};
    }
    if (std::string why = sizeProblem(*choice.compressor, format.width, format.rows());
        !why.empty())
        return std::string(choice.compressor->name) + " " + why;
    encoder_ = std::make_unique<VideoEncoder>();
    if (std::string why = encoder_->open(*choice.compressor, format, choice.encoder); !why.empty())
        return why;
    writer_.setFormat(encoder_->streamFormat(), true);
    return {};
}

int FrameSink::write(const std::uint8_t* bits) {
    if (broken_)
        return EINVAL;
    // Only a null frame or a reused packet needs to know; uncompressed bits and delta
    // codecs write the frame as they get it.
    const bool compare = choice_.nullRepeats || (compressed() && choice_.compressor->intraOnly);
    const bool same =
        compare && haveLast_ && std::memcmp(lastBits_.data(), bits, format_.imageSize) == 0;
    if (same && choice_.nullRepeats) {
        // Take the room for the held-back nulls and their closing frame now, so that
        // ending them can never fail for want of space.
        ++pending_;
        if (const int err = writer_.reserve(8ull * pending_ + largest_ + 8, pending_ + 1)) {
            --pending_;
            endPending(true);
            return err;
        }
        return 0;
    }

    const std::uint8_t* data = bits;
    std::uint32_t size = format_.imageSize;
    bool key = true;
    if (compressed()) {
        if (same && choice_.compressor->intraOnly) {
            data = lastPacket_.data();
            size = std::uint32_t(lastPacket_.size());
        } else {
            if (!encoder_->encode(bits, packet_, key))
                return EINVAL;
            data = packet_.data();
            size = std::uint32_t(packet_.size());
        }
    }
    if (const int err = writeWithPending(data, size, key)) {
        // The encoder moved on to a frame the file does not have; a delta frame after
        // it would decode wrong.
        if (compressed() && !choice_.compressor->intraOnly)
            broken_ = true;
        endPending(false);
        return err;
    }
    if (compare && !same) {
        lastBits_.assign(bits, bits + format_.imageSize);
        haveLast_ = true;
    }
    if (compressed() && choice_.compressor->intraOnly && data == packet_.data())
        lastPacket_.swap(packet_);
    largest_ = std::max(largest_, size);
    return 0;
}

int FrameSink::writeWithPending(const std::uint8_t* data, std::uint32_t size, bool key) {
    std::vector<FrameData> frames(pending_, FrameData{nullptr, 0, false});
    frames.push_back({data, size, key});
    const int err = writer_.writeFrames(frames);
    if (err == 0)
        pending_ = 0;
    return err;
}

// Ends held-back repeats with a real frame: the previous bits or packet again, or for a
// codec with delta frames a fresh encoding of the previous picture. encoderInStep says
// whether the encoder's last frame is the one the file ends with.
int FrameSink::endPending(bool encoderInStep) {
    if (pending_ == 0)
        return 0;
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
        VideoEncoder* enc = encoderInStep && !broken_ ? encoder_.get() : &fresh;
        if (enc == &fresh && !fresh.open(*choice_.compressor, format_, choice_.encoder).empty())
            return EINVAL;
        if (!enc->encode(lastBits_.data(), own, key))
            return EINVAL;
        data = own.data();
        size = std::uint32_t(own.size());
    }
    const int err = writeWithPending(data, size, key);
    pending_ = 0;
    return err;
}

int FrameSink::finish() {
    return endPending(true);
}

} // namespace avi

#pragma once

#include "avi/avi_writer.h"
#include "avi/compressors.h"
#include "avi/dib_format.h"
#include "avi/video_encoder.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace avi {

struct SinkChoice {
    const Compressor* compressor = nullptr; // nullptr or uncompressed: DIBs as handed over
    EncoderSettings encoder;
    bool nullRepeats = false; // a repeated frame becomes a zero-length chunk
};

// Takes the frames of the one video stream, as DIB bits, and decides what goes into the
// file for each: the bits themselves, a packet from the encoder, the previous packet
// again (an intra-only codec given the same picture) or a null frame.
//
// Null frames never start or end the file: repeats are held back and written when a
// different frame follows, or at finish() as nulls closed by one real frame.
class FrameSink {
public:
    explicit FrameSink(AviWriter& writer) : writer_(writer) {}

    // info: the DIB info block, written as the stream format for uncompressed frames.
    Status open(const DibFormat& format, std::vector<std::uint8_t> info, const SinkChoice& choice);
    Status write(const std::uint8_t* bits);
    Status finish();

private:
    // Whether the encoder's last frame is the one the file ends with.
    enum class EncoderState { InStep, Ahead };

    bool compressed() const { return encoder_ != nullptr; }
    Status writeWithPending(const std::uint8_t* data, std::uint32_t size, bool key);
    Status endPending(EncoderState encoder);

    AviWriter& writer_;
    DibFormat format_;
    SinkChoice choice_;
    std::unique_ptr<VideoEncoder> encoder_;
    std::vector<std::uint8_t> lastBits_;
    std::vector<std::uint8_t> lastPacket_;
    std::vector<std::uint8_t> packet_;
    bool haveLast_ = false;
    bool broken_ = false; // the encoder holds a frame the file does not
    std::uint32_t pending_ = 0;
    std::uint32_t largest_ = 0;
};

} // namespace avi

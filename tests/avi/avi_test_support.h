#pragma once

#include "avi/mavidecs.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <initializer_list>
#include <vector>

// A DIB made by the tests: info block, pixel bytes, and what a decoder must give back.
struct TestDib {
    std::vector<std::uint8_t> info;
    std::vector<std::uint8_t> bits;
    int width = 0, height = 0, bitCount = 0;
    // Top-down rows without padding, B, G, R per pixel (and the X byte for 32-bit DIBs):
    // what ffmpeg gives back as bgr24 (bgra).
    QByteArray expected;
};
using Frames = std::vector<const TestDib*>;

// Picture number `seed`: soft gradients and a square that moves with the seed, so that
// lossy codecs have something fair to do and frames differ from each other. A paletted
// one uses `colours` entries of its table (0: all) and says so in biClrUsed.
TestDib makeDib(int width, int height, int bitCount, int seed, int colours = 0);
std::vector<TestDib> makeDibs(int count, int width, int height, int bitCount);
Frames pick(const std::vector<TestDib>& pictures, std::initializer_list<int> order);
QByteArray expectedOf(const Frames& frames);
// The pixel format ffmpeg should decode a DIB of this depth to for comparison.
const char* comparePixelFormat(int bitCount);

mAVIDecs::AVI_COMPRESS_OPTIONS optionsFor(const char* fourcc, std::uint32_t flags = 0);
// Opens the file and creates its plain video stream, as the Make-AVI job does.
mAVIDecs::HRESULT openStream(const QString& path, int width, int height, mAVIDecs::PAVIFILE* file,
                             mAVIDecs::PAVISTREAM* stream, std::uint32_t rate = 10,
                             std::uint32_t bufferSize = 0);
// Writes the frames as the job does: open, stream, compressed stream with the options,
// format, frames at 0, 1, 2, ..., release. Returns the first failure, or 0.
mAVIDecs::HRESULT writeAvi(const QString& path, const Frames& frames,
                           const mAVIDecs::AVI_COMPRESS_OPTIONS& options, std::uint32_t rate = 10,
                           int* framesWritten = nullptr);

// Runs a program, returns its standard output; fails the test when it does not exit 0.
QByteArray run(const QString& program, const QStringList& args);
// ffprobe's stream fields (codec_name, width, height, r_frame_rate, nb_read_frames, ...).
QMap<QString, QString> probe(const QString& path);
// Every frame ffmpeg decodes as raw pictures of the given pixel format. passthrough: the
// frames as stored, without ffmpeg filling time gaps to a constant rate.
QList<QByteArray> decodeFrames(const QString& path, const char* pixelFormat, int frameBytes,
                               bool passthrough = false);
// Every frame GStreamer decodes, as B, G, R bytes, one picture after another.
QByteArray gstreamerFrames(const QString& path);
double psnr(const QByteArray& a, const QByteArray& b);

struct Packet {
    int pts = 0;
    int size = 0;
    bool key = false;
    QString hash;
};
// The packets of the video stream as ffprobe reads them from the file.
QList<Packet> readPackets(const QString& path);
// The top-level RIFFs of a file as (form type, size); fails the test on bytes that are
// not a RIFF chunk.
QList<QPair<QString, quint32>> topLevelChunks(const QString& path);

// Lowers this process's file-size limit while it lives (SIGXFSZ is ignored by
// AVIFileInit, so writes past it fail with EFBIG as on a full disk).
class FileSizeLimit {
public:
    explicit FileSizeLimit(long long bytes);
    ~FileSizeLimit();

private:
    long long previous_;
};

#include "avi/mavidecs.h"

#include "avi/avi_writer.h"
#include "avi/compressors.h"
#include "avi/dib_format.h"
#include "avi/frame_sink.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <variant>

extern "C" {
#include <libavutil/log.h>
}

namespace mAVIDecs {

namespace {

// One output file. The file handle and every stream made on it hold a reference; the
// file is completed when the last of them is released.
struct FileObject {
    explicit FileObject(const avi::AviWriterLimits& limits) : writer(limits) {}
    avi::AviWriter writer;
    std::unique_ptr<avi::FrameSink> sink; // made by the first stream that sets a format
    PAVISTREAM sinkOwner = 0;             // the stream whose frames go to the sink
    bool hasStream = false;
    int refs = 1;
};

struct StreamObject {
    std::shared_ptr<FileObject> file;
    AVI_STREAM_INFO info;
    std::optional<avi::SinkChoice> compression; // set on compressed streams
    std::optional<avi::DibFormat> format;
    std::int32_t next = 0;
};

using Object = std::variant<std::shared_ptr<FileObject>, std::shared_ptr<StreamObject>>;

// The program drives the layer from its one window thread, so the table needs no lock.
struct Layer {
    std::map<std::uint32_t, Object> handles;
    std::uint32_t lastHandle = 0;
    SaveOptionsDialog dialog;
    WriterLimits limits;
    bool initialised = false;
};

Layer& layer() {
    static Layer l;
    return l;
}

std::uint32_t addHandle(Object object) {
    Layer& l = layer();
    do
        ++l.lastHandle;
    while (l.lastHandle == 0 || l.handles.count(l.lastHandle));
    l.handles.emplace(l.lastHandle, std::move(object));
    return l.lastHandle;
}

template <typename T> std::shared_ptr<T> lookUp(std::uint32_t handle) {
    const auto it = layer().handles.find(handle);
    if (it == layer().handles.end())
        return nullptr;
    const auto* p = std::get_if<std::shared_ptr<T>>(&it->second);
    return p ? *p : nullptr;
}

HRESULT writeError(int err) {
    switch (err) {
    case EINVAL:
        return AVIERR_COMPRESSOR;
    case ENOMEM:
        return AVIERR_MEMORY;
    default:
        return AVIERR_FILEWRITE;
    }
}

HRESULT dropReference(FileObject& file) {
    if (--file.refs > 0)
        return AVIERR_OK;
    int ended = 0;
    try {
        ended = file.sink ? file.sink->finish() : 0;
    } catch (const std::bad_alloc&) {
        ended = ENOMEM; // the held-back frames are lost; the rest of the file is closed
    }
    const int closed = file.writer.close();
    if (ended != 0)
        return writeError(ended);
    return closed == 0 ? AVIERR_OK : AVIERR_FILEWRITE;
}

// The bit depth a frame buffer of this size means, for a stream that has no format yet.
std::uint16_t depthFromBufferSize(std::int64_t width, std::int64_t height, std::uint64_t size) {
    for (const std::uint16_t bits : {1, 4, 8, 16, 24, 32})
        if (width > 0 && height > 0 && std::uint64_t((width * bits + 31) / 32 * 4 * height) == size)
            return bits;
    return 0;
}

avi::VideoStreamHeader headerOf(const AVI_STREAM_INFO& info) {
    avi::VideoStreamHeader header;
    header.fccHandler = info.fccHandler;
    header.scale = info.dwScale;
    header.rate = info.dwRate;
    header.frame[0] = std::int16_t(info.rcFrame.left);
    header.frame[1] = std::int16_t(info.rcFrame.top);
    header.frame[2] = std::int16_t(info.rcFrame.right);
    header.frame[3] = std::int16_t(info.rcFrame.bottom);
    return header;
}

} // namespace

void AVIFileInit() {
    // With a file-size limit in force the kernel would end the process at the first byte
    // past it; ignored, the write fails and the job reports it like a full disk.
    std::signal(SIGXFSZ, SIG_IGN);
    // Encoder chatter has no reader; failures come back as result codes.
    av_log_set_level(AV_LOG_FATAL);
    layer().initialised = true;
}

void AVIFileExit() {
    // Nothing is torn down: handles still open stay usable and a later job opens files
    // as the first did.
}

WriterLimits setWriterLimits(WriterLimits limits) {
    std::swap(limits, layer().limits);
    return limits;
}

SaveOptionsDialog setSaveOptionsDialog(SaveOptionsDialog dialog) {
    std::swap(dialog, layer().dialog);
    return dialog;
}

HRESULT AVIFileOpen(PAVIFILE* ppfile, const char* szFile, std::uint32_t uMode, const void*) {
    if (ppfile == nullptr || szFile == nullptr || *szFile == 0)
        return AVIERR_BADPARAM;
    *ppfile = 0;
    if ((uMode & (OF_WRITE | OF_CREATE)) != (OF_WRITE | OF_CREATE))
        return AVIERR_UNSUPPORTED; // this layer writes new files only
    if (!layer().initialised)
        AVIFileInit(); // a caller that forgot it still gets failures, not a killed process
    const WriterLimits& limits = layer().limits;
    auto file =
        std::make_shared<FileObject>(avi::AviWriterLimits{limits.riffSize, limits.superIndexSlots});
    if (file->writer.create(szFile) != 0)
        return AVIERR_FILEOPEN;
    *ppfile = addHandle(file);
    return AVIERR_OK;
}

HRESULT AVIFileCreateStreamA(PAVIFILE pfile, PAVISTREAM* ppavi, const AVI_STREAM_INFO* psi) {
    if (ppavi == nullptr || psi == nullptr)
        return AVIERR_BADPARAM;
    *ppavi = 0;
    const auto file = lookUp<FileObject>(pfile);
    if (!file)
        return AVIERR_BADHANDLE;
    if (file->hasStream)
        return AVIERR_UNSUPPORTED; // one video stream per file
    // The file keeps the frame rectangle in 16-bit fields.
    const RECT& r = psi->rcFrame;
    const auto fits16 = [](std::int32_t v) { return v >= -32768 && v <= 32767; };
    if (psi->fccType != mmioStringToFOURCCA("vids", 0) || psi->dwScale == 0 || psi->dwRate == 0 ||
        !fits16(r.left) || !fits16(r.top) || !fits16(r.right) || !fits16(r.bottom) ||
        r.right <= r.left || r.bottom <= r.top)
        return AVIERR_BADPARAM;
    auto stream = std::make_shared<StreamObject>();
    stream->file = file;
    stream->info = *psi;
    // Also what a file closed without frames or format says about its stream.
    file->writer.setHeader(headerOf(*psi));
    file->hasStream = true;
    ++file->refs;
    *ppavi = addHandle(stream);
    return AVIERR_OK;
}

std::int32_t AVISaveOptions(void* hwnd, std::uint32_t uiFlags, std::int32_t nStreams,
                            const PAVISTREAM* ppavi, AVI_COMPRESS_OPTIONS** plpOptions) {
    if (nStreams != 1 || ppavi == nullptr || plpOptions == nullptr || plpOptions[0] == nullptr)
        return AVIERR_BADPARAM;
    const auto stream = lookUp<StreamObject>(ppavi[0]);
    if (!stream)
        return AVIERR_BADHANDLE;
    SaveOptionsDialog dialog = layer().dialog; // a copy: the dialog may replace itself
    if (!dialog)
        return 0;
    SaveOptionsRequest request;
    const RECT& r = stream->info.rcFrame;
    request.width = r.right - r.left;
    request.height = r.bottom - r.top;
    request.bitCount = stream->format ? stream->format->bitCount
                                      : depthFromBufferSize(request.width, request.height,
                                                            stream->info.dwSuggestedBufferSize);
    request.flags = uiFlags;
    return dialog(hwnd, request, *plpOptions[0]) == 1 ? 1 : 0;
}

HRESULT AVISaveOptionsFree(std::int32_t nStreams, AVI_COMPRESS_OPTIONS** plpOptions) {
    if (nStreams < 0 || (nStreams > 0 && plpOptions == nullptr))
        return AVIERR_BADPARAM;
    // The dialog allocates nothing inside the record; what is left is to forget any
    // pointers, so that nobody frees them later.
    for (std::int32_t i = 0; i < nStreams; ++i)
        if (AVI_COMPRESS_OPTIONS* o = plpOptions[i]) {
            o->lpFormat = o->lpParms = nullptr;
            o->cbFormat = o->cbParms = 0;
        }
    return AVIERR_OK;
}

HRESULT AVIMakeCompressedStream(PAVISTREAM* ppsCompressed, PAVISTREAM psSource,
                                const AVI_COMPRESS_OPTIONS* lpOptions, const void*) {
    if (ppsCompressed == nullptr || lpOptions == nullptr)
        return AVIERR_BADPARAM;
    *ppsCompressed = 0;
    const auto source = lookUp<StreamObject>(psSource);
    if (!source)
        return AVIERR_BADHANDLE;
    const avi::Compressor* compressor = avi::findCompressor(lpOptions->fccHandler);
    if (compressor == nullptr)
        return AVIERR_NOCOMPRESSOR;
    avi::SinkChoice choice;
    choice.compressor = compressor;
    choice.encoder.rate = source->info.dwRate;
    choice.encoder.scale = source->info.dwScale;
    choice.encoder.quality = lpOptions->dwQuality;
    if (lpOptions->dwFlags & AVICOMPRESSF_KEYFRAMES)
        choice.encoder.keyFrameEvery = lpOptions->dwKeyFrameEvery;
    if (lpOptions->dwFlags & AVICOMPRESSF_DATARATE)
        choice.encoder.bytesPerSecond = lpOptions->dwBytesPerSecond;
    choice.nullRepeats = (lpOptions->dwFlags & AVICOMPRESSF_NULLFRAMES) != 0;
    auto stream = std::make_shared<StreamObject>();
    stream->file = source->file;
    stream->info = source->info;
    stream->info.fccHandler = compressor->fccHandler;
    stream->compression = choice;
    ++stream->file->refs;
    *ppsCompressed = addHandle(stream);
    return AVIERR_OK;
}

HRESULT AVIStreamSetFormat(PAVISTREAM pavi, std::int32_t lPos, const void* lpFormat,
                           std::int32_t cbFormat) {
    const auto stream = lookUp<StreamObject>(pavi);
    if (!stream)
        return AVIERR_BADHANDLE;
    if (lPos != 0 || lpFormat == nullptr || cbFormat <= 0)
        return AVIERR_BADPARAM;
    FileObject& file = *stream->file;
    if (file.sink)
        return AVIERR_UNSUPPORTED; // the format of a stream is set once
    const auto format = avi::readDibFormat(lpFormat, std::size_t(cbFormat));
    const RECT& r = stream->info.rcFrame;
    if (!format || format->width != r.right - r.left || format->rows() != r.bottom - r.top)
        return AVIERR_BADFORMAT;

    avi::VideoStreamHeader header = headerOf(stream->info);
    avi::SinkChoice choice = stream->compression.value_or(avi::SinkChoice{});
    if (choice.compressor && choice.compressor->encoder == nullptr)
        header.fccHandler = avi::fourcc("DIB ");
    file.writer.setHeader(header);
    auto sink = std::make_unique<avi::FrameSink>(file.writer);
    const auto* info = static_cast<const std::uint8_t*>(lpFormat);
    try {
        if (!sink->open(*format, std::vector<std::uint8_t>(info, info + cbFormat), choice).empty())
            return AVIERR_COMPRESSOR;
    } catch (const std::bad_alloc&) {
        return AVIERR_MEMORY; // a picture too big for this machine's memory
    }
    file.sink = std::move(sink);
    file.sinkOwner = pavi;
    stream->format = format;
    return AVIERR_OK;
}

HRESULT AVIStreamWrite(PAVISTREAM pavi, std::int32_t lStart, std::int32_t lSamples,
                       const void* lpBuffer, std::int32_t cbBuffer, std::uint32_t,
                       std::int32_t* plSampWritten, std::int32_t* plBytesWritten) {
    if (plSampWritten)
        *plSampWritten = 0;
    if (plBytesWritten)
        *plBytesWritten = 0;
    const auto stream = lookUp<StreamObject>(pavi);
    if (!stream)
        return AVIERR_BADHANDLE;
    FileObject& file = *stream->file;
    if (!stream->format || file.sinkOwner != pavi)
        return AVIERR_BADFORMAT;
    // Frames go on at the end, one at a time: a gap or a rewrite would need frames the
    // caller never gave.
    if (lStart != stream->next || lSamples != 1 || lpBuffer == nullptr)
        return AVIERR_BADPARAM;
    // A frame of another size than the format says would make the file unreadable.
    if (cbBuffer < 0 || std::uint32_t(cbBuffer) != stream->format->imageSize)
        return AVIERR_BADSIZE;
    try {
        if (const int err = file.sink->write(static_cast<const std::uint8_t*>(lpBuffer)))
            return writeError(err);
    } catch (const std::bad_alloc&) {
        return AVIERR_MEMORY;
    }
    ++stream->next;
    if (plSampWritten)
        *plSampWritten = 1;
    if (plBytesWritten)
        *plBytesWritten = cbBuffer;
    return AVIERR_OK;
}

HRESULT AVIStreamRelease(PAVISTREAM pavi) {
    const auto stream = lookUp<StreamObject>(pavi);
    if (!stream)
        return AVIERR_BADHANDLE;
    layer().handles.erase(pavi);
    return dropReference(*stream->file);
}

HRESULT AVIFileRelease(PAVIFILE pfile) {
    const auto file = lookUp<FileObject>(pfile);
    if (!file)
        return AVIERR_BADHANDLE;
    layer().handles.erase(pfile);
    return dropReference(*file);
}

std::uint32_t mmioStringToFOURCCA(const char* sz, std::uint32_t uFlags) {
    constexpr std::uint32_t MMIO_TOUPPER = 0x10;
    if (sz == nullptr)
        return 0;
    std::uint32_t code = 0;
    bool ended = false;
    for (int i = 0; i < 4; ++i) {
        ended = ended || sz[i] == 0;
        unsigned char c = ended ? ' ' : static_cast<unsigned char>(sz[i]);
        if ((uFlags & MMIO_TOUPPER) && c >= 'a' && c <= 'z')
            c = static_cast<unsigned char>(c - 'a' + 'A');
        code |= std::uint32_t(c) << (8 * i);
    }
    return code;
}

bool SetRect(RECT* lprc, std::int32_t xLeft, std::int32_t yTop, std::int32_t xRight,
             std::int32_t yBottom) {
    if (lprc == nullptr)
        return false;
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return true;
}

} // namespace mAVIDecs

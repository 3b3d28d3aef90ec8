#include "avi/mavidecs.h"

#include "avi/frame_limits.h"

#include "avi/avi_status.h"
#include "avi/avi_writer.h"
#include "avi/compressors.h"
#include "avi/dib_format.h"
#include "avi/frame_sink.h"

#include <csignal>
#include <cstring>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <variant>

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
    QString lastErrorText;
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

HRESULT codeOf(avi::Fault fault) {
    switch (fault) {
    case avi::Fault::None:
        return AVIERR_OK;
    case avi::Fault::BadParam:
        return AVIERR_BADPARAM;
    case avi::Fault::BadHandle:
        return AVIERR_BADHANDLE;
    case avi::Fault::BadFormat:
        return AVIERR_BADFORMAT;
    case avi::Fault::BadSize:
        return AVIERR_BADSIZE;
    case avi::Fault::Unsupported:
        return AVIERR_UNSUPPORTED;
    case avi::Fault::NoCompressor:
        return AVIERR_NOCOMPRESSOR;
    case avi::Fault::Compressor:
        return AVIERR_COMPRESSOR;
    case avi::Fault::Memory:
        return AVIERR_MEMORY;
    case avi::Fault::FileOpen:
        return AVIERR_FILEOPEN;
    case avi::Fault::FileWrite:
        return AVIERR_FILEWRITE;
    }
    return AVIERR_UNSUPPORTED;
}

// The one way out of the layer: the status becomes its AVIERR code, and a failure's
// reason is logged and kept for AVILastErrorText.
HRESULT result(const char* call, const avi::Status& status) {
    if (status.ok())
        return AVIERR_OK;
    layer().lastErrorText = QString::fromStdString(status.what);
    qCWarning(avi::lcAvi).noquote() << call << "failed:" << layer().lastErrorText;
    return codeOf(status.fault);
}

avi::Status fail(avi::Fault fault, std::string what) {
    return avi::failure(fault, std::move(what));
}

avi::Status noHandle(const char* kind, std::uint32_t handle) {
    return fail(avi::Fault::BadHandle,
                "no " + std::string(kind) + " has the handle " + std::to_string(handle));
}

avi::Status outOfMemory() {
    return fail(avi::Fault::Memory, "out of memory");
}

avi::Status dropReference(FileObject& file) {
    if (--file.refs > 0)
        return {};
    avi::Status ended;
    try {
        if (file.sink)
            ended = file.sink->finish();
    } catch (const std::bad_alloc&) {
        ended = outOfMemory(); // the held-back frames are lost; the rest of the file is closed
    }
    avi::Status closed = file.writer.close();
    return ended.ok() ? closed : ended;
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
    avi::routeLibavLog();
    layer().initialised = true;
}

QString AVILastErrorText() {
    return layer().lastErrorText;
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
    const auto open = [&]() -> avi::Status {
        if (ppfile == nullptr || szFile == nullptr || *szFile == 0)
            return fail(avi::Fault::BadParam, "no file handle or file name");
        *ppfile = 0;
        if ((uMode & (OF_WRITE | OF_CREATE)) != (OF_WRITE | OF_CREATE))
            return fail(avi::Fault::Unsupported, "this layer writes new files only");
        if (!layer().initialised)
            AVIFileInit(); // a caller that forgot it still gets failures, not a killed process
        const WriterLimits& limits = layer().limits;
        auto file = std::make_shared<FileObject>(
            avi::AviWriterLimits{limits.riffSize, limits.superIndexSlots});
        if (avi::Status s = file->writer.create(szFile); !s.ok())
            return s;
        *ppfile = addHandle(file);
        return {};
    };
    return result("AVIFileOpen", open());
}

HRESULT AVIFileCreateStreamA(PAVIFILE pfile, PAVISTREAM* ppavi, const AVI_STREAM_INFO* psi) {
    const auto create = [&]() -> avi::Status {
        if (ppavi == nullptr || psi == nullptr)
            return fail(avi::Fault::BadParam, "no stream handle or stream information");
        *ppavi = 0;
        const auto file = lookUp<FileObject>(pfile);
        if (!file)
            return noHandle("file", pfile);
        if (file->hasStream)
            return fail(avi::Fault::Unsupported, "a file takes one video stream");
        const RECT& r = psi->rcFrame;
        if (psi->fccType != mmioStringToFOURCCA("vids", 0))
            return fail(avi::Fault::BadParam, "a stream that is not video ('vids')");
        if (psi->dwScale == 0 || psi->dwRate == 0)
            return fail(avi::Fault::BadParam, "a frame rate of dwRate " +
                                                  std::to_string(psi->dwRate) + " / dwScale " +
                                                  std::to_string(psi->dwScale));
        // The file keeps the frame rectangle in 16-bit fields.
        const auto fits16 = [](std::int32_t v) { return v >= -32768 && v <= 32767; };
        if (!fits16(r.left) || !fits16(r.top) || !fits16(r.right) || !fits16(r.bottom))
            return fail(avi::Fault::BadParam,
                        "a " + std::to_string(std::int64_t(r.right) - r.left) + " × " +
                            std::to_string(std::int64_t(r.bottom) - r.top) +
                            " picture: an AVI file cannot hold a side over 32,767 pixels");
        if (r.right <= r.left || r.bottom <= r.top)
            return fail(avi::Fault::BadParam, "an empty frame rectangle");
        if (const std::string why = avi::frameSizeProblem(std::int64_t(r.right) - r.left,
                                                          std::int64_t(r.bottom) - r.top);
            !why.empty())
            return fail(avi::Fault::BadParam, why);
        auto stream = std::make_shared<StreamObject>();
        stream->file = file;
        stream->info = *psi;
        // Also what a file closed without frames or format says about its stream.
        file->writer.setHeader(headerOf(*psi));
        file->hasStream = true;
        ++file->refs;
        *ppavi = addHandle(stream);
        return {};
    };
    return result("AVIFileCreateStreamA", create());
}

std::int32_t AVISaveOptions(QObject* owner, std::uint32_t uiFlags, std::int32_t nStreams,
                            const PAVISTREAM* ppavi, AVI_COMPRESS_OPTIONS** plpOptions) {
    if (nStreams != 1 || ppavi == nullptr || plpOptions == nullptr || plpOptions[0] == nullptr)
        return result("AVISaveOptions",
                      fail(avi::Fault::BadParam, "not one stream with one options record"));
    const auto stream = lookUp<StreamObject>(ppavi[0]);
    if (!stream)
        return result("AVISaveOptions", noHandle("stream", ppavi[0]));
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
    return dialog(owner, request, *plpOptions[0]) == 1 ? 1 : 0;
}

HRESULT AVISaveOptionsFree(std::int32_t nStreams, AVI_COMPRESS_OPTIONS** plpOptions) {
    if (nStreams < 0 || (nStreams > 0 && plpOptions == nullptr))
        return result("AVISaveOptionsFree",
                      fail(avi::Fault::BadParam, "a negative count or no options records"));
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
    const auto make = [&]() -> avi::Status {
        if (ppsCompressed == nullptr || lpOptions == nullptr)
            return fail(avi::Fault::BadParam, "no stream handle or options record");
        *ppsCompressed = 0;
        const auto source = lookUp<StreamObject>(psSource);
        if (!source)
            return noHandle("stream", psSource);
        const avi::Compressor* compressor = avi::findCompressor(lpOptions->fccHandler);
        if (compressor == nullptr)
            return fail(avi::Fault::NoCompressor,
                        "this machine has no compressor " + avi::fourccText(lpOptions->fccHandler));
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
        return {};
    };
    return result("AVIMakeCompressedStream", make());
}

HRESULT AVIStreamSetFormat(PAVISTREAM pavi, std::int32_t lPos, const void* lpFormat,
                           std::int32_t cbFormat) {
    const auto setFormat = [&]() -> avi::Status {
        const auto stream = lookUp<StreamObject>(pavi);
        if (!stream)
            return noHandle("stream", pavi);
        if (lPos != 0 || lpFormat == nullptr || cbFormat <= 0)
            return fail(avi::Fault::BadParam, "a format that is not one block at frame 0");
        FileObject& file = *stream->file;
        if (file.sink)
            return fail(avi::Fault::Unsupported, "the format of a stream is set once");
        auto format = avi::readDibFormat(lpFormat, std::size_t(cbFormat));
        if (!format.ok())
            return format.status();
        const RECT& r = stream->info.rcFrame;
        if (format.value().width != r.right - r.left || format.value().rows() != r.bottom - r.top)
            return fail(avi::Fault::BadFormat, "a picture of another size than the stream's frame");

        avi::VideoStreamHeader header = headerOf(stream->info);
        avi::SinkChoice choice = stream->compression.value_or(avi::SinkChoice{});
        if (choice.compressor && choice.compressor->encoder == nullptr)
            header.fccHandler = avi::fourcc("DIB ");
        file.writer.setHeader(header);
        auto sink = std::make_unique<avi::FrameSink>(file.writer);
        const auto* info = static_cast<const std::uint8_t*>(lpFormat);
        try {
            if (avi::Status s = sink->open(
                    format.value(), std::vector<std::uint8_t>(info, info + cbFormat), choice);
                !s.ok())
                return s;
        } catch (const std::bad_alloc&) {
            return outOfMemory(); // a picture too big for this machine's memory
        }
        file.sink = std::move(sink);
        file.sinkOwner = pavi;
        stream->format = format.value();
        return {};
    };
    return result("AVIStreamSetFormat", setFormat());
}

HRESULT AVIStreamWrite(PAVISTREAM pavi, std::int32_t lStart, std::int32_t lSamples,
                       const void* lpBuffer, std::int32_t cbBuffer, std::uint32_t,
                       std::int32_t* plSampWritten, std::int32_t* plBytesWritten) {
    const auto write = [&]() -> avi::Status {
        if (plSampWritten)
            *plSampWritten = 0;
        if (plBytesWritten)
            *plBytesWritten = 0;
        const auto stream = lookUp<StreamObject>(pavi);
        if (!stream)
            return noHandle("stream", pavi);
        FileObject& file = *stream->file;
        if (!stream->format || file.sinkOwner != pavi)
            return fail(avi::Fault::BadFormat, "a frame before the stream's format");
        // Frames go on at the end, one at a time: a gap or a rewrite would need frames the
        // caller never gave.
        if (lStart != stream->next || lSamples != 1 || lpBuffer == nullptr)
            return fail(avi::Fault::BadParam, std::to_string(lSamples) + " frame(s) at " +
                                                  std::to_string(lStart) +
                                                  " where the next frame, one at a time, is " +
                                                  std::to_string(stream->next));
        // A frame of another size than the format says would make the file unreadable.
        if (cbBuffer < 0 || std::uint32_t(cbBuffer) != stream->format->imageSize)
            return fail(avi::Fault::BadSize, "a frame of " + std::to_string(cbBuffer) +
                                                 " bytes where the format says " +
                                                 std::to_string(stream->format->imageSize));
        try {
            if (avi::Status s = file.sink->write(static_cast<const std::uint8_t*>(lpBuffer));
                !s.ok())
                return s;
        } catch (const std::bad_alloc&) {
            return outOfMemory();
        }
        ++stream->next;
        if (plSampWritten)
            *plSampWritten = 1;
        if (plBytesWritten)
            *plBytesWritten = cbBuffer;
        return {};
    };
    return result("AVIStreamWrite", write());
}

HRESULT AVIStreamRelease(PAVISTREAM pavi) {
    const auto stream = lookUp<StreamObject>(pavi);
    if (!stream)
        return result("AVIStreamRelease", noHandle("stream", pavi));
    layer().handles.erase(pavi);
    return result("AVIStreamRelease", dropReference(*stream->file));
}

HRESULT AVIFileRelease(PAVIFILE pfile) {
    const auto file = lookUp<FileObject>(pfile);
    if (!file)
        return result("AVIFileRelease", noHandle("file", pfile));
    layer().handles.erase(pfile);
    return result("AVIFileRelease", dropReference(*file));
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

#pragma once

#include "avi/avi_result.h"

#include <QString>
#include <cstdint>
#include <functional>

class QObject;

// The AVIFile operations the program writes video through, with the classic names,
// records and result codes. Behind them: our own RIFF/OpenDML writer and the encoders
// of libavcodec.
//
// Handles are numbers handed out once and never reused, so a handle that was released
// (or never existed) is refused with AVIERR_BADHANDLE instead of touching freed memory.
//
// Every failure also says why: the reason goes to the logging category "picreel.avi" and
// stays readable through AVILastErrorText().
namespace mAVIDecs {

using PAVIFILE = std::uint32_t;
using PAVISTREAM = std::uint32_t;

struct RECT {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

struct AVI_STREAM_INFO {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t dwFlags = 0;
    std::uint32_t dwCaps = 0;
    std::uint16_t wPriority = 0;
    std::uint16_t wLanguage = 0;
    std::uint32_t dwScale = 0;
    std::uint32_t dwRate = 0;
    std::uint32_t dwStart = 0;
    std::uint32_t dwLength = 0;
    std::uint32_t dwInitialFrames = 0;
    std::uint32_t dwSuggestedBufferSize = 0;
    std::uint32_t dwQuality = 0;
    std::uint32_t dwSampleSize = 0;
    RECT rcFrame;
    std::uint32_t dwEditCount = 0;
    std::uint32_t dwFormatChangeCount = 0;
    char szName[64] = {};
};

// The compression options the dialog fills in and AVIMakeCompressedStream reads.
struct AVI_COMPRESS_OPTIONS {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;       // compressor; 0 or "DIB " for uncompressed frames
    std::uint32_t dwKeyFrameEvery = 0;  // with AVICOMPRESSF_KEYFRAMES
    std::uint32_t dwQuality = 0;        // 1..10000; 0 for the compressor's default
    std::uint32_t dwBytesPerSecond = 0; // with AVICOMPRESSF_DATARATE
    std::uint32_t dwFlags = 0;
    void* lpFormat = nullptr;
    std::uint32_t cbFormat = 0;
    void* lpParms = nullptr;
    std::uint32_t cbParms = 0;
    std::uint32_t dwInterleaveEvery = 0;
};

constexpr std::uint32_t AVICOMPRESSF_DATARATE = 0x2;
constexpr std::uint32_t AVICOMPRESSF_KEYFRAMES = 0x4;
constexpr std::uint32_t AVICOMPRESSF_VALID = 0x8;
// PICREEL's own option: a frame identical to the one before is stored as a zero-length
// chunk ("repeat the previous frame"). Smaller files; some players skip such frames.
constexpr std::uint32_t AVICOMPRESSF_NULLFRAMES = 0x10000;

// AVISaveOptions flags.
constexpr std::uint32_t ICMF_CHOOSE_KEYFRAME = 0x1;
constexpr std::uint32_t ICMF_CHOOSE_DATARATE = 0x2;

constexpr std::uint32_t OF_WRITE = 0x1;
constexpr std::uint32_t OF_CREATE = 0x1000;
constexpr std::uint32_t AVIIF_KEYFRAME = 0x10;

void AVIFileInit();
void AVIFileExit();

// mode OF_WRITE | OF_CREATE (4097) creates the file or replaces an existing one.
HRESULT AVIFileOpen(PAVIFILE* ppfile, const char* szFile, std::uint32_t uMode,
                    const void* lpHandler);
HRESULT AVIFileCreateStreamA(PAVIFILE pfile, PAVISTREAM* ppavi, const AVI_STREAM_INFO* psi);
// 1 when the user chose OK; 0 when the user cancelled, or when no dialog is installed
// (the record is then left as it was); a negative AVIERR code when the call itself is
// wrong: AVIERR_BADPARAM for other than one stream and one record, AVIERR_BADHANDLE for
// an unknown stream. So a caller tells a cancel (0) from a failure (< 0).
std::int32_t AVISaveOptions(QObject* owner, std::uint32_t uiFlags, std::int32_t nStreams,
                            const PAVISTREAM* ppavi, AVI_COMPRESS_OPTIONS** plpOptions);
HRESULT AVISaveOptionsFree(std::int32_t nStreams, AVI_COMPRESS_OPTIONS** plpOptions);
HRESULT AVIMakeCompressedStream(PAVISTREAM* ppsCompressed, PAVISTREAM psSource,
                                const AVI_COMPRESS_OPTIONS* lpOptions, const void* pclsidHandler);
HRESULT AVIStreamSetFormat(PAVISTREAM pavi, std::int32_t lPos, const void* lpFormat,
                           std::int32_t cbFormat);
HRESULT AVIStreamWrite(PAVISTREAM pavi, std::int32_t lStart, std::int32_t lSamples,
                       const void* lpBuffer, std::int32_t cbBuffer, std::uint32_t dwFlags,
                       std::int32_t* plSampWritten, std::int32_t* plBytesWritten);
// The file is complete once the file and every stream made on it are released; the
// release that completes it returns what completing it gave.
HRESULT AVIStreamRelease(PAVISTREAM pavi);
HRESULT AVIFileRelease(PAVIFILE pfile);

// Why the last call that failed failed, such as "Cinepak needs a width and height that
// are multiples of 4"; empty before any failure. A call that succeeds leaves it alone.
QString AVILastErrorText();

std::uint32_t mmioStringToFOURCCA(const char* sz, std::uint32_t uFlags);
bool SetRect(RECT* lprc, std::int32_t xLeft, std::int32_t yTop, std::int32_t xRight,
             std::int32_t yBottom);

// What the compression-options dialog is told about the picture.
struct SaveOptionsRequest {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0; // 0 when the stream does not know it yet
    std::uint32_t flags = 0;    // ICMF_CHOOSE_*
};

// The dialog behind AVISaveOptions: edits the options in place, returns 1 on OK and 0 on
// Cancel. owner is the window handed to AVISaveOptions.
using SaveOptionsDialog =
    std::function<std::int32_t(QObject* owner, const SaveOptionsRequest&, AVI_COMPRESS_OPTIONS&)>;
// Installs the dialog (none: AVISaveOptions answers 0); returns the one it replaces.
SaveOptionsDialog setSaveOptionsDialog(SaveOptionsDialog dialog);

// Limits of the files opened from now on. Tests lower the RIFF size to reach OpenDML
// with small files.
struct WriterLimits {
    std::uint64_t riffSize = 1u << 30;
    std::uint32_t superIndexSlots = 1024;
};
WriterLimits setWriterLimits(WriterLimits limits);

} // namespace mAVIDecs

#pragma once

#include "avi/mavidecs.h"

#include <QDialog>

class QCheckBox;
class QLabel;
class QListWidget;
class QSpinBox;

namespace mAVIDecs {

// "Video Compression": the dialog behind AVISaveOptions. It lists the compressors this
// machine has, uncompressed frames first, each marked lossless or lossy with a word on
// which players read it; compressors that cannot take the picture's size are shown
// greyed with the reason, so the job never finds out halfway.
class CompressionDialog : public QDialog {
    Q_OBJECT
public:
    CompressionDialog(const SaveOptionsRequest& request, const AVI_COMPRESS_OPTIONS& start,
                      QWidget* parent = nullptr);

    // The options as the controls stand.
    AVI_COMPRESS_OPTIONS options() const;

    // Shows the dialog modally over owner (a window, may be null); on OK writes the
    // chosen options into `options` and returns 1, on Cancel leaves them and returns 0.
    static std::int32_t run(QObject* owner, const SaveOptionsRequest& request,
                            AVI_COMPRESS_OPTIONS& options);

private:
    void compressorChanged();
    // At most the available area of the screen it shows on, the list scrolling if need be.
    void fitToScreen(const QWidget* over);

    SaveOptionsRequest request_;
    AVI_COMPRESS_OPTIONS start_;
    QListWidget* list_;
    QLabel* about_;
    QSpinBox* quality_;
    QCheckBox* keyFrames_;
    QSpinBox* keyFrameEvery_;
    QCheckBox* dataRate_;
    QSpinBox* dataRateValue_;
    QCheckBox* nullFrames_;
};

// Makes CompressionDialog the dialog of AVISaveOptions; the program calls it once at
// start-up.
void installCompressionDialog();

} // namespace mAVIDecs

#include "makeavi/compression_dialog.h"

#include "avi/compressors.h"
#include "platform/qt/window_frame.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>

namespace mAVIDecs {

namespace {

// Each entry keeps its compressor's FOURCC.
constexpr int fourccRole = Qt::UserRole;
constexpr int defaultQualityPercent = 75;
constexpr int defaultKiloBytesPerSecond = 300;

// `text` in lines of at most `width` pixels, broken between words.
QString wrapped(const QString& text, const QFontMetrics& metrics, int width) {
    QString result;
    QString line;
    for (const QString& word : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + u' ' + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            result += line + u'\n';
            line = word;
        } else {
            line = longer;
        }
    }
    return result + line;
}

const avi::Compressor* compressorOf(const QListWidgetItem* item) {
    return item ? avi::findCompressor(item->data(fourccRole).toUInt()) : nullptr;
}

} // namespace

CompressionDialog::CompressionDialog(const SaveOptionsRequest& request,
                                     const AVI_COMPRESS_OPTIONS& start, QWidget* parent)
    : QDialog(parent), request_(request), start_(start) {
    setWindowTitle(tr("Video Compression"));
    auto* layout = new QVBoxLayout(this);

    layout->addWidget(new QLabel(tr("Compressor:"), this));
    list_ = new QListWidget(this);
    list_->setObjectName("compressorList");
    const avi::Compressor* wanted = avi::findCompressor(start.fccHandler);
    // The notes wrap at a width that keeps the dialog within a small screen at a large scale.
    const QFontMetrics metrics = list_->fontMetrics();
    const int noteWidth = 52 * metrics.averageCharWidth();
    const auto note = [&](const QString& text) {
        return QStringLiteral("    ") + wrapped(text, metrics, noteWidth).replace(u'\n', "\n    ");
    };
    for (const avi::Compressor* c : avi::availableCompressors()) {
        QString text = QString::fromUtf8(c->name) + " — " +
                       (c->lossless ? tr("lossless") : tr("lossy")) + "\n" +
                       note(QString::fromStdString(avi::playerNote(*c, request.bitCount)));
        auto* item = new QListWidgetItem(list_);
        item->setData(fourccRole, c->fccHandler);
        const std::string problem = avi::sizeProblem(*c, request.width, request.height);
        if (!problem.empty()) {
            text += "\n" + note(tr("Cannot take this %1 × %2 picture: it %3.")
                                    .arg(request.width)
                                    .arg(request.height)
                                    .arg(QString::fromStdString(problem)));
            item->setFlags(item->flags() & ~(Qt::ItemIsEnabled | Qt::ItemIsSelectable));
            if (c == wanted)
                wanted = nullptr;
        }
        item->setText(text);
    }
    // Every entry readable at once, reasons included, where the screen has room for them all;
    // fitToScreen takes back what it has not.
    list_->setMinimumSize(list_->sizeHintForColumn(0) + 2 * list_->frameWidth() + 8, [this] {
        int h = 2 * list_->frameWidth() + 4;
        for (int i = 0; i < list_->count(); ++i)
            h += list_->sizeHintForRow(i);
        return h;
    }());
    layout->addWidget(list_);
    about_ = new QLabel(this);
    about_->setObjectName("aboutCompressor");
    about_->setWordWrap(true);
    layout->addWidget(about_);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(tr("Quality:"), this), 0, 0);
    quality_ = new QSpinBox(this);
    quality_->setObjectName("quality");
    quality_->setRange(1, 100);
    quality_->setSuffix(" %");
    quality_->setValue(start.dwQuality ? std::clamp(int(start.dwQuality / 100), 1, 100)
                                       : defaultQualityPercent);
    grid->addWidget(quality_, 0, 1);

    keyFrames_ = new QCheckBox(tr("Key frame every"), this);
    keyFrames_->setObjectName("keyFrames");
    keyFrames_->setChecked(start.dwFlags & AVICOMPRESSF_KEYFRAMES);
    keyFrameEvery_ = new QSpinBox(this);
    keyFrameEvery_->setObjectName("keyFrameEvery");
    keyFrameEvery_->setRange(1, 10000);
    keyFrameEvery_->setValue(start.dwKeyFrameEvery ? int(std::min(start.dwKeyFrameEvery, 10000u))
                                                   : 15);
    grid->addWidget(keyFrames_, 1, 0);
    grid->addWidget(keyFrameEvery_, 1, 1);
    grid->addWidget(new QLabel(tr("frames"), this), 1, 2);

    dataRate_ = new QCheckBox(tr("Data rate"), this);
    dataRate_->setObjectName("dataRate");
    dataRate_->setChecked(start.dwFlags & AVICOMPRESSF_DATARATE);
    dataRateValue_ = new QSpinBox(this);
    dataRateValue_->setObjectName("dataRateValue");
    dataRateValue_->setRange(1, 1000000);
    dataRateValue_->setValue(start.dwBytesPerSecond
                                 ? int(std::max(1u, start.dwBytesPerSecond / 1024))
                                 : defaultKiloBytesPerSecond);
    grid->addWidget(dataRate_, 2, 0);
    grid->addWidget(dataRateValue_, 2, 1);
    grid->addWidget(new QLabel(tr("KB/sec"), this), 2, 2);
    layout->addLayout(grid);

    nullFrames_ =
        new QCheckBox(tr("Repeat the previous frame: store a picture that stays on screen as empty "
                         "frames.\nMuch smaller files; some players skip such frames."),
                      this);
    nullFrames_->setObjectName("nullFrames");
    nullFrames_->setChecked(start.dwFlags & AVICOMPRESSF_NULLFRAMES);
    layout->addWidget(nullFrames_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)
        ->setDefault(true); // Enter confirms, whatever has the focus
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(list_, &QListWidget::currentRowChanged, this, [this] { compressorChanged(); });
    connect(keyFrames_, &QCheckBox::toggled, this, [this] { compressorChanged(); });
    connect(dataRate_, &QCheckBox::toggled, this, [this] { compressorChanged(); });
    if (wanted == nullptr)
        wanted = avi::findCompressor(0);
    for (int i = 0; i < list_->count(); ++i)
        if (compressorOf(list_->item(i)) == wanted)
            list_->setCurrentRow(i);
    compressorChanged();
    fitToScreen(parent);
}

void CompressionDialog::fitToScreen(const QWidget* over) {
    const QScreen* screen = over ? over->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    // The frame is not known before the dialog shows: room for a title bar and borders.
    const QSize room = screen->availableGeometry().size() - QSize(16, 48);
    const int excess = sizeHint().height() - room.height();
    if (excess > 0) {
        const int fewRows = 2 * 3 * list_->fontMetrics().lineSpacing();
        list_->setMinimumHeight(std::max(fewRows, list_->minimumHeight() - excess));
    }
    setMaximumSize(room);
    resize(sizeHint().boundedTo(room));
    platform::keepOnScreenOnceFramed(this);
}

void CompressionDialog::compressorChanged() {
    const avi::Compressor* c = compressorOf(list_->currentItem());
    if (c == nullptr)
        return;
    const bool keyChoice = (request_.flags & ICMF_CHOOSE_KEYFRAME) && c->takesKeyFrames;
    const bool rateChoice = (request_.flags & ICMF_CHOOSE_DATARATE) && c->takesDataRate;
    keyFrames_->setEnabled(keyChoice);
    keyFrameEvery_->setEnabled(keyChoice && keyFrames_->isChecked());
    dataRate_->setEnabled(rateChoice);
    dataRateValue_->setEnabled(rateChoice && dataRate_->isChecked());
    quality_->setEnabled(c->takesQuality && !(rateChoice && dataRate_->isChecked()));
    QString about = c->lossless ? tr("Lossless: every frame keeps the picture's exact pixels.")
                                : tr("Lossy: smaller files, pictures slightly changed.");
    if (c->encoder && !c->takesQuality)
        about += " " + tr("It has no quality setting.");
    about_->setText(about);
}

AVI_COMPRESS_OPTIONS CompressionDialog::options() const {
    AVI_COMPRESS_OPTIONS o = start_;
    const avi::Compressor* c = compressorOf(list_->currentItem());
    if (c == nullptr)
        c = avi::findCompressor(0);
    o.fccType = mmioStringToFOURCCA("vids", 0);
    o.fccHandler = c->fccHandler;
    o.dwQuality = std::uint32_t(quality_->value()) * 100;
    o.dwKeyFrameEvery = std::uint32_t(keyFrameEvery_->value());
    o.dwBytesPerSecond = std::uint32_t(dataRateValue_->value()) * 1024;
    o.dwFlags = AVICOMPRESSF_VALID;
    if (keyFrames_->isEnabled() && keyFrames_->isChecked())
        o.dwFlags |= AVICOMPRESSF_KEYFRAMES;
    if (dataRate_->isEnabled() && dataRate_->isChecked())
        o.dwFlags |= AVICOMPRESSF_DATARATE;
    if (nullFrames_->isChecked())
        o.dwFlags |= AVICOMPRESSF_NULLFRAMES;
    return o;
}

std::int32_t CompressionDialog::run(QObject* owner, const SaveOptionsRequest& request,
                                    AVI_COMPRESS_OPTIONS& options) {
    CompressionDialog dialog(request, options, qobject_cast<QWidget*>(owner));
    if (dialog.exec() != QDialog::Accepted)
        return 0;
    options = dialog.options();
    return 1;
}

void installCompressionDialog() {
    setSaveOptionsDialog(&CompressionDialog::run);
}

} // namespace mAVIDecs

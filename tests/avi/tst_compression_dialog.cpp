#include "avi/compression_dialog.h"

#include "avi_test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace mAVIDecs;

namespace {

QListWidgetItem* itemNamed(QListWidget* list, const QString& start) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text().startsWith(start))
            return list->item(i);
    return nullptr;
}

const SaveOptionsRequest oddWidth{33, 32, 24, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE};

} // namespace

class CompressionDialogTest : public QObject {
    Q_OBJECT

private slots:
    // It starts from an all-zero record on uncompressed frames, listed first; says lossless
    // or lossy and who plays each; greys the compressors that cannot take the size.
    void listsCompressorsAndSaysWhichCannotTakeThePicture() {
        CompressionDialog dialog(oddWidth, AVI_COMPRESS_OPTIONS{});
        if (qEnvironmentVariableIsSet("PICREEL_DIALOG_SHOT"))
            dialog.grab().save(qEnvironmentVariable("PICREEL_DIALOG_SHOT"));
        QCOMPARE(dialog.windowTitle(), QString("Video Compression"));
        auto* list = dialog.findChild<QListWidget*>("compressorList");
        QVERIFY(list->currentRow() == 0 &&
                list->item(0)->text().startsWith("Full Frames (Uncompressed)"));
        QCOMPARE(dialog.options().fccHandler, mmioStringToFOURCCA("DIB ", 0));
        QVERIFY(!(dialog.options().dwFlags & AVICOMPRESSF_NULLFRAMES));
        for (int i = 0; i < list->count(); ++i)
            QVERIFY(list->item(i)->text().contains(QRegularExpression(" — loss(less|y), ")));
        QVERIFY(itemNamed(list, "Motion JPEG")->text().contains("plays almost everywhere"));
        QVERIFY(itemNamed(list, "FFV1")->text().contains("FFmpeg-based player"));
        QVERIFY(itemNamed(list, "Motion JPEG")->flags() & Qt::ItemIsEnabled);
        for (const char* name : {"Cinepak", "H.264", "Microsoft Video 1"})
            if (QListWidgetItem* item = itemNamed(list, name)) // H.264: when the library has it
                QVERIFY(!(item->flags() & Qt::ItemIsEnabled) &&
                        item->text().contains("Cannot take this 33 × 32 picture"));
    }

    // The controls end up in the record; settings a compressor has no use for are off.
    void controlsFillTheOptionsRecord() {
        CompressionDialog dialog(oddWidth, AVI_COMPRESS_OPTIONS{});
        auto* list = dialog.findChild<QListWidget*>("compressorList");
        auto* keyFrames = dialog.findChild<QCheckBox*>("keyFrames");
        list->setCurrentItem(itemNamed(list, "Motion JPEG"));
        dialog.findChild<QSpinBox*>("quality")->setValue(60);
        QVERIFY(!keyFrames->isEnabled()); // every MJPEG frame is a key frame
        dialog.findChild<QCheckBox*>("dataRate")->setChecked(true);
        dialog.findChild<QSpinBox*>("dataRateValue")->setValue(500);
        dialog.findChild<QCheckBox*>("nullFrames")->setChecked(true);
        AVI_COMPRESS_OPTIONS o = dialog.options();
        QVERIFY(o.fccHandler == mmioStringToFOURCCA("MJPG", 0) && o.dwQuality == 6000 &&
                o.dwBytesPerSecond == 500 * 1024);
        QCOMPARE(o.dwFlags &
                     (AVICOMPRESSF_DATARATE | AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_NULLFRAMES),
                 AVICOMPRESSF_DATARATE | AVICOMPRESSF_NULLFRAMES);

        list->setCurrentItem(itemNamed(list, "MPEG-4"));
        keyFrames->setChecked(true);
        dialog.findChild<QSpinBox*>("keyFrameEvery")->setValue(10);
        o = dialog.options();
        QVERIFY(o.fccHandler == mmioStringToFOURCCA("XVID", 0) &&
                (o.dwFlags & AVICOMPRESSF_KEYFRAMES) && o.dwKeyFrameEvery == 10);

        // It starts from the record it is given; without the key-frame and data-rate
        // choices (flags 0) neither is offered.
        CompressionDialog again({32, 32, 24, 0}, o);
        QVERIFY(!again.findChild<QCheckBox*>("keyFrames")->isEnabled());
        QVERIFY(again.findChild<QCheckBox*>("nullFrames")->isChecked());
        QCOMPARE(again.options().fccHandler, mmioStringToFOURCCA("XVID", 0));
        QVERIFY(!(again.options().dwFlags & (AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_DATARATE)));
        // A compressor that cannot take the size is not where it starts.
        CompressionDialog odd(oddWidth, optionsFor("cvid"));
        QCOMPARE(odd.options().fccHandler, mmioStringToFOURCCA("DIB ", 0));
    }

    // Installed behind AVISaveOptions: 1 and the chosen options on OK, 0 and the record as
    // it was on Cancel.
    void okAndCancelThroughAviSaveOptions_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void okAndCancelThroughAviSaveOptions() {
        QFETCH(bool, ok);
        installCompressionDialog();
        AVI_COMPRESS_OPTIONS options = optionsFor("HFYU");
        AVI_COMPRESS_OPTIONS* list[1] = {&options};
        QTimer::singleShot(0, this, [ok] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            ok ? dialog->accept() : dialog->reject();
        });
        QTemporaryDir dir;
        PAVIFILE file = 0;
        PAVISTREAM stream = 0;
        QCOMPARE(openStream(dir.filePath("o.avi"), 33, 32, &file, &stream), 0);
        QCOMPARE(AVISaveOptions(nullptr, 3, 1, &stream, list), ok ? 1 : 0);
        QVERIFY(AVIStreamRelease(stream) == 0 && AVIFileRelease(file) == 0);
        QCOMPARE(options.fccHandler, mmioStringToFOURCCA("HFYU", 0));
        QCOMPARE(options.dwFlags, ok ? AVICOMPRESSF_VALID : 0u);
        setSaveOptionsDialog(nullptr);
    }
};

QTEST_MAIN(CompressionDialogTest)
#include "tst_compression_dialog.moc"

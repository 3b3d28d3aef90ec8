#include "avi/compression_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
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
    // It starts from an all-zero record on uncompressed frames, lists that first, says
    // lossless or lossy for each, and greys the compressors that cannot take the size.
    void listsCompressorsAndSaysWhichCannotTakeThePicture() {
        CompressionDialog dialog(oddWidth, AVI_COMPRESS_OPTIONS{});
        if (qEnvironmentVariableIsSet("PICREEL_DIALOG_SHOT"))
            dialog.grab().save(qEnvironmentVariable("PICREEL_DIALOG_SHOT"));
        QCOMPARE(dialog.windowTitle(), QString("Video Compression"));
        auto* list = dialog.findChild<QListWidget*>("compressorList");
        QVERIFY(list->item(0)->text().startsWith("Full Frames (Uncompressed)"));
        QCOMPARE(list->currentRow(), 0);
        QCOMPARE(dialog.options().fccHandler, mmioStringToFOURCCA("DIB ", 0));
        QVERIFY(!(dialog.options().dwFlags & AVICOMPRESSF_NULLFRAMES));
        for (int i = 0; i < list->count(); ++i)
            QVERIFY(list->item(i)->text().contains("lossless") ||
                    list->item(i)->text().contains("lossy"));
        QVERIFY(itemNamed(list, "Motion JPEG")->text().contains("plays almost everywhere"));
        QVERIFY(itemNamed(list, "FFV1")->text().contains("FFmpeg-based player"));
        for (const char* name : {"Cinepak", "H.264", "Microsoft Video 1"}) {
            QListWidgetItem* item = itemNamed(list, name);
            if (item == nullptr && QByteArray(name) == "H.264")
                continue; // a library without an H.264 encoder
            QVERIFY(!(item->flags() & Qt::ItemIsEnabled));
            QVERIFY(item->text().contains("Cannot take this 33 × 32 picture"));
        }
        QVERIFY(itemNamed(list, "Motion JPEG")->flags() & Qt::ItemIsEnabled);
    }

    // The controls end up in the record; settings a compressor has no use for are off.
    void controlsFillTheOptionsRecord() {
        CompressionDialog dialog(oddWidth, AVI_COMPRESS_OPTIONS{});
        auto* list = dialog.findChild<QListWidget*>("compressorList");
        auto* keyFrames = dialog.findChild<QCheckBox*>("keyFrames");
        auto* dataRate = dialog.findChild<QCheckBox*>("dataRate");
        list->setCurrentItem(itemNamed(list, "Motion JPEG"));
        dialog.findChild<QSpinBox*>("quality")->setValue(60);
        QVERIFY(!keyFrames->isEnabled()); // every MJPEG frame is a key frame
        dataRate->setChecked(true);
        dialog.findChild<QSpinBox*>("dataRateValue")->setValue(500);
        dialog.findChild<QCheckBox*>("nullFrames")->setChecked(true);
        AVI_COMPRESS_OPTIONS o = dialog.options();
        QCOMPARE(o.fccHandler, mmioStringToFOURCCA("MJPG", 0));
        QCOMPARE(o.dwQuality, 6000u);
        QCOMPARE(o.dwBytesPerSecond, 500u * 1024);
        QCOMPARE(o.dwFlags &
                     (AVICOMPRESSF_DATARATE | AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_NULLFRAMES),
                 AVICOMPRESSF_DATARATE | AVICOMPRESSF_NULLFRAMES);

        list->setCurrentItem(itemNamed(list, "MPEG-4"));
        keyFrames->setChecked(true);
        dialog.findChild<QSpinBox*>("keyFrameEvery")->setValue(10);
        o = dialog.options();
        QCOMPARE(o.fccHandler, mmioStringToFOURCCA("XVID", 0));
        QVERIFY(o.dwFlags & AVICOMPRESSF_KEYFRAMES);
        QCOMPARE(o.dwKeyFrameEvery, 10u);

        // Without the key-frame and data-rate choices (flags 0) neither is offered.
        CompressionDialog plain({32, 32, 24, 0}, o);
        QVERIFY(!plain.findChild<QCheckBox*>("keyFrames")->isEnabled());
        QVERIFY(!(plain.options().dwFlags & (AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_DATARATE)));
    }

    // It starts from the record it is given.
    void startsFromTheGivenRecord() {
        AVI_COMPRESS_OPTIONS start;
        start.fccHandler = mmioStringToFOURCCA("FFV1", 0);
        start.dwFlags = AVICOMPRESSF_NULLFRAMES;
        CompressionDialog dialog(oddWidth, start);
        QVERIFY(dialog.findChild<QListWidget*>("compressorList")
                    ->currentItem()
                    ->text()
                    .startsWith("FFV1"));
        QVERIFY(dialog.findChild<QCheckBox*>("nullFrames")->isChecked());
        // A compressor that cannot take the size is not where it starts.
        start.fccHandler = mmioStringToFOURCCA("cvid", 0);
        CompressionDialog odd(oddWidth, start);
        QCOMPARE(odd.options().fccHandler, mmioStringToFOURCCA("DIB ", 0));
    }

    // Through AVISaveOptions: 1 and the chosen options on OK, 0 and the record as it was
    // on Cancel.
    void okAndCancelThroughAviSaveOptions_data() {
        QTest::addColumn<bool>("ok");
        QTest::newRow("OK") << true;
        QTest::newRow("Cancel") << false;
    }
    void okAndCancelThroughAviSaveOptions() {
        QFETCH(bool, ok);
        installCompressionDialog();
        AVI_COMPRESS_OPTIONS options;
        options.fccHandler = mmioStringToFOURCCA("HFYU", 0);
        QTimer::singleShot(0, this, [ok] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            ok ? dialog->accept() : dialog->reject();
        });
        QTemporaryDir dir;
        PAVIFILE file = 0;
        PAVISTREAM stream = 0;
        QCOMPARE(AVIFileOpen(&file, qPrintable(dir.filePath("o.avi")), 4097, nullptr), 0);
        AVI_STREAM_INFO info;
        info.fccType = mmioStringToFOURCCA("vids", 0);
        info.dwScale = info.dwRate = 1;
        SetRect(&info.rcFrame, 0, 0, 33, 32);
        QCOMPARE(AVIFileCreateStreamA(file, &stream, &info), 0);
        AVI_COMPRESS_OPTIONS* list[1] = {&options};
        QCOMPARE(AVISaveOptions(nullptr, 3, 1, &stream, list), ok ? 1 : 0);
        QCOMPARE(AVIStreamRelease(stream), 0);
        QCOMPARE(AVIFileRelease(file), 0);
        QCOMPARE(options.fccHandler, mmioStringToFOURCCA("HFYU", 0));
        QCOMPARE(options.dwFlags, ok ? AVICOMPRESSF_VALID : 0u);
        setSaveOptionsDialog(nullptr);
    }
};

QTEST_MAIN(CompressionDialogTest)
#include "tst_compression_dialog.moc"

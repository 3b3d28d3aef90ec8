#include "avi/compression_dialog.h"

#include "avi_test_support.h"

#include <QApplication>
#include <QCheckBox>
#include <QListWidget>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>

static const SaveOptionsRequest oddWidth{33, 32, 24, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE};

class CompressionDialogTest : public QObject {
    Q_OBJECT

private slots:
    // It starts from an all-zero record on uncompressed frames, listed first; says lossless
    // or lossy and who plays each; greys the compressors that cannot take the size. The
    // controls end up in the record; settings a compressor has no use for are off.
    void listsCompressorsAndFillsTheOptionsRecord() {
        CompressionDialog dialog(oddWidth, AVI_COMPRESS_OPTIONS{});
        if (qEnvironmentVariableIsSet("PICREEL_DIALOG_SHOT"))
            dialog.grab().save(qEnvironmentVariable("PICREEL_DIALOG_SHOT"));
        auto* list = dialog.findChild<QListWidget*>("compressorList");
        const auto itemNamed = [list](const char* start) {
            return list->findItems(start, Qt::MatchStartsWith).value(0);
        };
        QVERIFY(list->currentRow() == 0 &&
                list->item(0)->text().startsWith("Full Frames (Uncompressed)"));
        QVERIFY(dialog.options().fccHandler == mmioStringToFOURCCA("DIB ", 0) &&
                !(dialog.options().dwFlags & AVICOMPRESSF_NULLFRAMES));
        for (int i = 0; i < list->count(); ++i)
            QVERIFY(list->item(i)->text().contains(QRegularExpression(" — loss(less|y), ")));
        QVERIFY(itemNamed("Motion JPEG")->text().contains("plays almost everywhere") &&
                itemNamed("FFV1")->text().contains("FFmpeg-based player"));
        for (const char* name : {"Cinepak", "H.264", "Microsoft Video 1"})
            if (QListWidgetItem* item = itemNamed(name)) // H.264: when the library has it
                QVERIFY(!(item->flags() & Qt::ItemIsEnabled) &&
                        item->text().contains("Cannot take this 33 × 32 picture"));

        auto* keyFrames = dialog.findChild<QCheckBox*>("keyFrames");
        list->setCurrentItem(itemNamed("Motion JPEG"));
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
        list->setCurrentItem(itemNamed("MPEG-4"));
        keyFrames->setChecked(true);
        dialog.findChild<QSpinBox*>("keyFrameEvery")->setValue(10);
        o = dialog.options();
        QVERIFY(o.fccHandler == mmioStringToFOURCCA("XVID", 0) &&
                (o.dwFlags & AVICOMPRESSF_KEYFRAMES) && o.dwKeyFrameEvery == 10);

        // It starts from the record given, but not on a compressor that cannot take the size;
        // without the key-frame and data-rate choices (flags 0) neither is offered.
        CompressionDialog again({32, 32, 24, 0}, o), odd(oddWidth, optionsFor("cvid"));
        QVERIFY(!again.findChild<QCheckBox*>("keyFrames")->isEnabled());
        QVERIFY(again.findChild<QCheckBox*>("nullFrames")->isChecked());
        QCOMPARE(again.options().fccHandler, mmioStringToFOURCCA("XVID", 0));
        QVERIFY(!(again.options().dwFlags & (AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_DATARATE)));
        QCOMPARE(odd.options().fccHandler, mmioStringToFOURCCA("DIB ", 0));
    }

    // AVISaveOptions answers 0 without a dialog and otherwise what the dialog says, telling
    // it the picture's size and depth; this one: 1 and the chosen options on OK, 0 and the
    // record as it was on Cancel. A file released without format or frames is valid.
    void behindAviSaveOptions() {
        QTemporaryDir dir;
        PAVIFILE file = 0;
        PAVISTREAM stream = 0;
        QCOMPARE(openStream(dir.filePath("o.avi"), 33, 32, &file, &stream, 5, 36 * 32), 0);
        AVI_COMPRESS_OPTIONS options;
        AVI_COMPRESS_OPTIONS* list[1] = {&options};
        setSaveOptionsDialog(nullptr);
        QCOMPARE(AVISaveOptions(nullptr, 3, 1, &stream, list), 0);
        SaveOptionsRequest seen;
        setSaveOptionsDialog([&](void*, const SaveOptionsRequest& r, AVI_COMPRESS_OPTIONS&) {
            seen = r;
            return 1;
        });
        QVERIFY(AVISaveOptions(nullptr, 3, 1, &stream, list) == 1 &&
                AVISaveOptions(nullptr, 3, 1, &file, list) != 1);
        QVERIFY(seen.width == 33 && seen.height == 32 && seen.bitCount == 8 && seen.flags == 3);
        installCompressionDialog();
        for (const bool ok : {true, false}) {
            QTimer::singleShot(0, this, [ok] {
                auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
                QVERIFY(dialog);
                ok ? dialog->accept() : dialog->reject();
            });
            options = optionsFor("HFYU");
            QCOMPARE(AVISaveOptions(nullptr, 3, 1, &stream, list), ok ? 1 : 0);
            QCOMPARE(options.fccHandler, mmioStringToFOURCCA("HFYU", 0));
            QCOMPARE(options.dwFlags, ok ? AVICOMPRESSF_VALID : 0u);
        }
        setSaveOptionsDialog(nullptr);
        QVERIFY(AVIStreamRelease(stream) == 0 && AVIFileRelease(file) == 0);
        QCOMPARE(probe(dir.filePath("o.avi"), "width height"), "33 32");
    }
};

QTEST_MAIN(CompressionDialogTest)
#include "tst_compression_dialog.moc"

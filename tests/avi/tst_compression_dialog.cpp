#include "avi/ui/compression_dialog.h"

#include "avi_test_support.h"

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

class CompressionDialogTest : public QObject {
    Q_OBJECT

private slots:
    // The dialog starts from the record given and gives it back, less the choices not offered
    // by the request or the compressor (MJPEG: only key frames). A compressor that cannot
    // take the picture's size is greyed with the reason and not chosen.
    void startsFromTheRecord_data() {
        // width, ICMF flags, record's FOURCC (-: all zero), chosen FOURCC and AVICOMPRESSF flags
        QTest::addColumn<QString>("row");
        for (const char* row : {"32 3 XVID XVID 1000e", "32 0 XVID XVID 10008",
                                "32 3 MJPG MJPG 1000a", "33 3 cvid DIB 10008", "33 3 - DIB 8"})
            QTest::newRow(row) << QString(row);
    }
    void startsFromTheRecord() {
        QFETCH(QString, row);
        const QStringList f = row.split(' ');
        CompressionDialog dialog({f[0].toInt(), 32, 24, f[1].toUInt()},
                                 f[2] == "-" ? AVI_COMPRESS_OPTIONS{}
                                             : optionsFor(f[2], 0x1000e, 6000, 10, 500 * 1024));
        const AVI_COMPRESS_OPTIONS o = dialog.options();
        QVERIFY(o.fccHandler == optionsFor(f[3]).fccHandler &&
                o.dwFlags == f[4].toUInt(nullptr, 16));
        QVERIFY(f[2] == "-" ||
                (o.dwQuality == 6000 && o.dwKeyFrameEvery == 10 && o.dwBytesPerSecond == 512000));
        for (const char* name : {"Cinepak", "H.264", "Microsoft Video 1"}) // H.264 if built
            for (const QListWidgetItem* item :
                 dialog.findChild<QListWidget*>()->findItems(name, Qt::MatchStartsWith))
                QCOMPARE(!(item->flags() & Qt::ItemIsEnabled) &&
                             item->text().contains("Cannot take this 33 × 32 picture"),
                         f[0] == "33");
    }

    // AVISaveOptions answers 0 without a dialog and otherwise what the dialog says, telling
    // it the picture's size and depth; this one: 1 and the chosen options on OK, 0 and the
    // record as it was on Cancel. A file released without format or frames is valid.
    void behindAviSaveOptions() {
        QTemporaryDir dir;
        PAVIFILE file = 0;
        PAVISTREAM stream = 0;
        QCOMPARE(openStream(dir.filePath("o.avi"), 33, 32, &file, &stream, 5, 36 * 32), 0);
        AVI_COMPRESS_OPTIONS options, *list[1] = {&options};
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
                QMetaObject::invokeMethod(QApplication::activeModalWidget(),
                                          ok ? "accept" : "reject");
            });
            options = optionsFor("HFYU");
            QCOMPARE(AVISaveOptions(nullptr, 3, 1, &stream, list), ok ? 1 : 0);
            QVERIFY(options.fccHandler == optionsFor("HFYU").fccHandler &&
                    options.dwFlags == (ok ? AVICOMPRESSF_VALID : 0u));
        }
        setSaveOptionsDialog(nullptr);
        QVERIFY(AVIStreamRelease(stream) == 0 && AVIFileRelease(file) == 0);
        QCOMPARE(probe(dir.filePath("o.avi"), "stream=width,height"), "33 32");
    }
};

QTEST_MAIN(CompressionDialogTest)
#include "tst_compression_dialog.moc"

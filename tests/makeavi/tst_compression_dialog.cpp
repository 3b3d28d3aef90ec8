#include "makeavi/compression_dialog.h"

#include "avi_test_support.h"

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>
#include <QTimer>

using namespace mAVIDecs;

namespace {

constexpr std::uint32_t everyChoice =
    AVICOMPRESSF_VALID | AVICOMPRESSF_KEYFRAMES | AVICOMPRESSF_DATARATE | AVICOMPRESSF_NULLFRAMES;

struct DialogRow {
    std::int32_t width;
    AVI_COMPRESS_OPTIONS start;
    AVI_COMPRESS_OPTIONS chosen;
    QStringList greyed = {}; // compressors that cannot take the picture's size
};

// The entries of the dialog's list that cannot be chosen, by compressor name.
QStringList greyedEntries(const CompressionDialog& dialog) {
    QStringList names;
    const auto* list = dialog.findChild<QListWidget*>();
    for (int i = 0; i < list->count(); ++i)
        if (!(list->item(i)->flags() & Qt::ItemIsEnabled))
            names.append(list->item(i)->text().section(" — ", 0, 0));
    return names;
}

} // namespace

class CompressionDialogTest : public QObject {
    Q_OBJECT

private slots:
    // The dialog starts from the record given and gives it back, less the choices the
    // compressor does not take (MJPEG: no key frames). The program's record starts empty:
    // the defaults, with the compressors that cannot take the picture's size greyed with the
    // reason.
    void startsFromTheRecord_data() {
        QTest::addColumn<DialogRow>("row");
        const std::uint32_t withDataRate =
            AVICOMPRESSF_VALID | AVICOMPRESSF_NULLFRAMES | AVICOMPRESSF_DATARATE;
        // A record of the user's with every choice made.
        const auto record = [](const char* fourcc, std::uint32_t flags) {
            return optionsFor(fourcc, flags, 6000, 10, 500 * 1024);
        };
        const auto mpeg4 = record("XVID", everyChoice);
        QTest::newRow("MPEG-4, every choice")
            << DialogRow{.width = 32, .start = mpeg4, .chosen = mpeg4};
        QTest::newRow("MJPEG takes no key-frame interval")
            << DialogRow{.width = 32,
                         .start = record("MJPG", everyChoice),
                         .chosen = record("MJPG", withDataRate)};
        QTest::newRow("an empty record: the defaults")
            << DialogRow{.width = 33,
                         .start = {},
                         .chosen = optionsFor("DIB", AVICOMPRESSF_VALID, 7500, 15, 307200),
                         .greyed = {"H.264 (x264)", "Cinepak", "Microsoft Video 1"}};
    }
    void startsFromTheRecord() {
        QFETCH(DialogRow, row);
        CompressionDialog dialog({row.width, 32, 24, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE},
                                 row.start);
        const AVI_COMPRESS_OPTIONS o = dialog.options();
        QCOMPARE(o.fccHandler, row.chosen.fccHandler);
        QCOMPARE(o.dwFlags, row.chosen.dwFlags);
        QCOMPARE(o.dwQuality, row.chosen.dwQuality);
        QCOMPARE(o.dwKeyFrameEvery, row.chosen.dwKeyFrameEvery);
        QCOMPARE(o.dwBytesPerSecond, row.chosen.dwBytesPerSecond);
        QCOMPARE(greyedEntries(dialog), row.greyed);
        for (const QListWidgetItem* item :
             dialog.findChild<QListWidget*>()->findItems("Cannot take this", Qt::MatchContains))
            QVERIFY2(item->text().contains(QString::fromUtf8("Cannot take this 33 × 32 picture")),
                     qPrintable(item->text()));
    }

    // AVISaveOptions answers what the dialog says, telling it the picture's size and depth;
    // this one: 1 and the chosen options on OK, 0 and the record as it was on Cancel.
    void behindAviSaveOptions() {
        QTemporaryDir dir;
        PAVIFILE file = 0;
        PAVISTREAM stream = 0;
        QCOMPARE(openStream(dir.filePath("o.avi"), 33, 32, &file, &stream, 5, 100 * 32), AVIERR_OK);
        AVI_COMPRESS_OPTIONS options, *list[1] = {&options};
        const std::uint32_t flags = ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE;
        SaveOptionsRequest seen;
        setSaveOptionsDialog([&](QObject*, const SaveOptionsRequest& r, AVI_COMPRESS_OPTIONS&) {
            seen = r;
            return 1;
        });
        QCOMPARE(AVISaveOptions(nullptr, flags, 1, &stream, list), 1);
        QCOMPARE(seen.width, 33);
        QCOMPARE(seen.height, 32);
        QCOMPARE(seen.bitCount, 24);
        QCOMPARE(seen.flags, flags);
        installCompressionDialog();
        for (const int answer : {1, 0}) {
            QTimer::singleShot(0, this, [answer] {
                QMetaObject::invokeMethod(QApplication::activeModalWidget(),
                                          answer == 1 ? "accept" : "reject");
            });
            options = optionsFor("HFYU");
            QCOMPARE(AVISaveOptions(nullptr, flags, 1, &stream, list), answer);
            QCOMPARE(options.fccHandler, optionsFor("HFYU").fccHandler);
            QCOMPARE(options.dwFlags, answer * AVICOMPRESSF_VALID);
        }
        setSaveOptionsDialog(nullptr);
        QCOMPARE(AVIStreamRelease(stream), AVIERR_OK);
        QCOMPARE(AVIFileRelease(file), AVIERR_OK);
    }
};

QTEST_MAIN(CompressionDialogTest)
#include "tst_compression_dialog.moc"

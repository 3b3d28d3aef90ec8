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
    std::uint32_t icmfFlags; // ICMF_CHOOSE_*: what the request lets the user choose
    AVI_COMPRESS_OPTIONS start;
    QString chosen; // FOURCC
    std::uint32_t flags;
    std::uint32_t quality, keyFrameEvery, bytesPerSecond;
    QStringList greyed; // compressors that cannot take the picture's size
};

struct PlayerRow {
    const char* fourcc;
    const char* listName;
    int bitCount;
    bool gstreamerPlays;
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
    // The dialog starts from the record given and gives it back, less the choices not offered
    // by the request or the compressor (MJPEG: no key frames). A compressor that cannot
    // take the picture's size is greyed with the reason and not chosen.
    void startsFromTheRecord_data() {
        QTest::addColumn<DialogRow>("row");
        const auto mpeg4 = optionsFor("XVID", everyChoice, 6000, 10, 500 * 1024);
        const auto mjpeg = optionsFor("MJPG", everyChoice, 6000, 10, 500 * 1024);
        const auto cinepak = optionsFor("cvid", everyChoice, 6000, 10, 500 * 1024);
        const QStringList sizeBound = {"H.264 (x264)", "Cinepak", "Microsoft Video 1"};
        const std::uint32_t both = ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE;
        const std::uint32_t validAndNulls = AVICOMPRESSF_VALID | AVICOMPRESSF_NULLFRAMES;
        const std::uint32_t withDataRate = validAndNulls | AVICOMPRESSF_DATARATE;
        // width, ICMF flags, record; chosen FOURCC, flags, quality, key frames, bytes per
        // second, greyed compressors
        QTest::newRow("MPEG-4, every choice offered")
            << DialogRow{32, both, mpeg4, "XVID", everyChoice, 6000, 10, 512000, {}};
        QTest::newRow("MPEG-4, no choice offered")
            << DialogRow{32, 0, mpeg4, "XVID", validAndNulls, 6000, 10, 512000, {}};
        QTest::newRow("MJPEG takes no key-frame interval")
            << DialogRow{32, both, mjpeg, "MJPG", withDataRate, 6000, 10, 512000, {}};
        QTest::newRow("Cinepak refuses 33 wide")
            << DialogRow{33, both, cinepak, "DIB", validAndNulls, 6000, 10, 512000, sizeBound};
        QTest::newRow("an empty record: the defaults")
            << DialogRow{33, both, {}, "DIB", AVICOMPRESSF_VALID, 7500, 15, 307200, sizeBound};
    }
    void startsFromTheRecord() {
        QFETCH(DialogRow, row);
        CompressionDialog dialog({row.width, 32, 24, row.icmfFlags}, row.start);
        const AVI_COMPRESS_OPTIONS o = dialog.options();
        QCOMPARE(o.fccHandler, optionsFor(row.chosen).fccHandler);
        QCOMPARE(o.dwFlags, row.flags);
        QCOMPARE(o.dwQuality, row.quality);
        QCOMPARE(o.dwKeyFrameEvery, row.keyFrameEvery);
        QCOMPARE(o.dwBytesPerSecond, row.bytesPerSecond);
        QCOMPARE(greyedEntries(dialog), row.greyed);
        for (const QListWidgetItem* item :
             dialog.findChild<QListWidget*>()->findItems("Cannot take this", Qt::MatchContains))
            QVERIFY2(item->text().contains(QString::fromUtf8("Cannot take this 33 × 32 picture")),
                     qPrintable(item->text()));
    }

    // The list tells which players read a compressor's files; GStreamer players (Totem
    // and the rest) have no decoder route where GStreamer's AVI reader does not know the
    // format, and the note must say so.
    void playerNotesHoldForGStreamer_data() {
        QTest::addColumn<PlayerRow>("row");
        QTest::newRow("Ut Video") << PlayerRow{"ULRG", "Ut Video", 24, false};
        QTest::newRow("uncompressed 16-bit")
            << PlayerRow{"DIB", "Full Frames (Uncompressed)", 16, false};
        QTest::newRow("uncompressed 4-bit")
            << PlayerRow{"DIB", "Full Frames (Uncompressed)", 4, false};
        QTest::newRow("uncompressed 24-bit")
            << PlayerRow{"DIB", "Full Frames (Uncompressed)", 24, true};
    }
    void playerNotesHoldForGStreamer() {
        QFETCH(PlayerRow, row);
        QTemporaryDir dir;
        const QString path = dir.filePath("player.avi");
        const Clip clip = makeClip(32, 24, row.bitCount, {0, 1});
        QCOMPARE(writeAvi(path, clip, optionsFor(row.fourcc)), AVIERR_OK);
        const QByteArray discovered = gstreamerDiscovers(path);
        QCOMPARE(!discovered.contains("video/x-avi-unknown"), row.gstreamerPlays);

        CompressionDialog dialog({32, 24, std::uint16_t(row.bitCount), 0}, {});
        const auto items =
            dialog.findChild<QListWidget*>()->findItems(row.listName, Qt::MatchStartsWith);
        QCOMPARE(items.size(), 1);
        QCOMPARE(!items[0]->text().contains("GStreamer players such as Totem cannot play"),
                 row.gstreamerPlays);
    }

    // AVISaveOptions answers 0 without a dialog, a negative AVIERR code for a call it cannot
    // take, and otherwise what the dialog says, telling it the picture's size and depth; this
    // one: 1 and the chosen options on OK, 0 and the record as it was on Cancel. A file
    // released without format or frames is valid.
    void behindAviSaveOptions() {
        QTemporaryDir dir;
        PAVIFILE file = 0;
        PAVISTREAM stream = 0;
        QCOMPARE(openStream(dir.filePath("o.avi"), 33, 32, &file, &stream, 5, 36 * 32), AVIERR_OK);
        AVI_COMPRESS_OPTIONS options, *list[1] = {&options};
        const std::uint32_t flags = ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE;
        setSaveOptionsDialog(nullptr);
        QCOMPARE(AVISaveOptions(nullptr, flags, 1, &stream, list), 0);
        SaveOptionsRequest seen;
        setSaveOptionsDialog([&](QObject*, const SaveOptionsRequest& r, AVI_COMPRESS_OPTIONS&) {
            seen = r;
            return 1;
        });
        QCOMPARE(AVISaveOptions(nullptr, flags, 1, &file, list), AVIERR_BADHANDLE);
        QCOMPARE(AVISaveOptions(nullptr, flags, 2, &stream, list), AVIERR_BADPARAM);
        QCOMPARE(AVISaveOptions(nullptr, flags, 1, &stream, list), 1);
        QCOMPARE(seen.width, 33);
        QCOMPARE(seen.height, 32);
        QCOMPARE(seen.bitCount, 8);
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
        QCOMPARE(probe(dir.filePath("o.avi"), "stream=width,height"), "33 32");
    }
};

QTEST_MAIN(CompressionDialogTest)
#include "tst_compression_dialog.moc"

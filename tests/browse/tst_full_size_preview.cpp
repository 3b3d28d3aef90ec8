#include "browse/preview_form.h"
#include "started_form.h"

#include <QApplication>
#include <QScreen>

class FullSizePreviewTest : public QObject, WithStartedForm {
    Q_OBJECT

private slots:
    void init() { started.emplace(); }
    void cleanup() { started.reset(); }

    void naturalSizeAndOneWindowReused() {
        QImage picture(300, 200, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        picture.setPixel(0, 0, qRgb(255, 0, 0));
        const QString first = started->path("first.bmp");
        QVERIFY(picture.save(first, "BMP"));
        const QString second =
            started->write({.name = "second.jpg", .size = {120, 90}, .format = "JPEG"});

        w().ShowFullSizePreview(first);
        PreviewForm* shown = window();
        QVERIFY(shown);
        QVERIFY(QTest::qWaitForWindowExposed(shown));
        QCOMPARE(shown->frameGeometry().size(), QSize(300, 225));
        QCOMPARE(shown->windowTitle(), " " + first);
        QCOMPARE(shown->grab().toImage().pixel(0, 0), qRgb(255, 0, 0)); // natural size, top-left
        QCOMPARE(shown->grab().toImage().pixel(1, 1), qRgb(0, 0, 255));
        QCOMPARE(ui().TempImage->Width(), 300);
        // Owned by the main window, and modeless.
        QCOMPARE(shown->parentWidget(), &w());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);

        w().ShowFullSizePreview(second);
        QCOMPARE(w().findChildren<PreviewForm*>().size(), 1);
        QCOMPARE(window(), shown);
        QCOMPARE(shown->frameGeometry().size(), QSize(120, 115));
        QCOMPARE(shown->windowTitle(), " " + second);
        QCOMPARE(shown->Picture().size(), QSize(120, 90));
    }

    void keyOrLeftPressClosesIt() {
        w().ShowFullSizePreview(started->write({.name = "p.bmp", .size = {50, 40}}));
        QVERIFY(QTest::qWaitForWindowActive(window()));
        QTest::keyClick(window(), Qt::Key_X);
        QVERIFY(!window()->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), &w());

        w().ShowFullSizePreview(started->path("p.bmp"));
        QVERIFY(QTest::qWaitForWindowActive(window()));
        QTest::mouseClick(window(), Qt::LeftButton);
        QVERIFY(!window()->isVisible());
        QTRY_COMPARE(QApplication::activeWindow(), &w());
        QVERIFY(desktop().boxes.isEmpty());
    }

    // One plain box, and the window keeps what it showed, or stays closed.
    void unloadablePictureLeavesTheWindowAsItWas() {
        const QString missing = started->path("gone.bmp");
        desktop().expectOkBoxes(1);
        w().ShowFullSizePreview(missing);
        QCOMPARE(desktop().boxes.size(), 1);
        QCOMPARE(desktop().boxes[0].title, QString("Full Size Preview"));
        QCOMPARE(desktop().boxes[0].prompt,
                 "Unable to show \"" + missing +
                     "\" at full size.\n\nThe file is missing, damaged or not a BMP, JPG or GIF "
                     "picture.");
        QCOMPARE(desktop().boxes[0].icon, platform::MsgIcon::Exclamation);
        QVERIFY(!window() || !window()->isVisible());

        const QString good = started->write({.name = "good.bmp", .size = {60, 30}});
        const QString damaged =
            writeBytes(started->path(""), "damaged.jpg", "\xFF\xD8\xFF not a JPEG");
        w().ShowFullSizePreview(good);
        desktop().expectOkBoxes(1);
        w().ShowFullSizePreview(damaged);
        QCOMPARE(desktop().boxes.size(), 2);
        QVERIFY(window()->isVisible());
        QCOMPARE(window()->windowTitle(), " " + good);
        QCOMPARE(window()->Picture().size(), QSize(60, 30));
        QCOMPARE(window()->frameGeometry().size(), QSize(60, 55));
        QCOMPARE(ui().TempImage->Width(), 60);
    }

    // Limited to the screen's available area, showing the picture's top-left part.
    void pictureLargerThanTheScreen() {
        const QSize screen = w().screen()->availableGeometry().size();
        const QString big =
            started->write({.name = "big.bmp", .size = {screen.width() + 200, screen.height()}});
        w().ShowFullSizePreview(big);
        QCOMPARE(window()->frameGeometry().size(), screen);
        QCOMPARE(window()->Picture().size(), QSize(screen.width() + 200, screen.height()));
    }

private:
    PreviewForm* window() { return w().findChild<PreviewForm*>(); }
};

QTEST_MAIN(FullSizePreviewTest)
#include "tst_full_size_preview.moc"

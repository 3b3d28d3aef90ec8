#include "browse/preview_form.h"
#include "controls/image_box.h"
#include "scripted_platform.h"
#include "started_form.h"

#include <QApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

class FullSizePreviewTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void naturalSizeAndOneWindowReused();
    void keyOrPressClosesIt_data();
    void keyOrPressClosesIt();
    void unloadablePictureLeavesTheWindowAsItWas();
    void pictureLargerThanTheScreen();

private:
    PreviewForm* window() const { return (*form)->findChild<PreviewForm*>(); }

    std::unique_ptr<ScriptedPlatform> desktop;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<StartedForm> form;
};

void FullSizePreviewTest::init() {
    desktop = std::make_unique<ScriptedPlatform>();
    folder = std::make_unique<QTemporaryDir>();
    form = std::make_unique<StartedForm>(folder->path());
}

void FullSizePreviewTest::cleanup() {
    form.reset();
    folder.reset();
    desktop.reset();
}

void FullSizePreviewTest::naturalSizeAndOneWindowReused() {
    QImage picture(300, 200, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    const QString first = folder->filePath("first.bmp");
    QVERIFY(picture.save(first, "BMP"));
    const QString second = writePicture(folder->path(), "second.jpg", QSize(120, 90), "JPEG");

    (*form)->ShowFullSizePreview(first);
    PreviewForm* w = window();
    QVERIFY(w);
    QVERIFY(QTest::qWaitForWindowExposed(w));
    QCOMPARE(w->frameGeometry().size(), QSize(300, 225));
    QCOMPARE(w->windowTitle(), " " + first);
    QCOMPARE(w->grab().toImage().pixel(0, 0), qRgb(255, 0, 0)); // natural size, top-left
    QCOMPARE(w->grab().toImage().pixel(1, 1), qRgb(0, 0, 255));
    QCOMPARE((*form)->TempImage->Width(), 300);
    // Owned, above the main window, no taskbar entry, no minimise or maximise, modeless.
    QCOMPARE(w->parentWidget(), &**form);
    QCOMPARE(w->windowType(), Qt::Tool);
    QVERIFY(!(w->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    QVERIFY(w->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!w->isModal());
    QCOMPARE(QApplication::activeModalWidget(), nullptr);

    (*form)->ShowFullSizePreview(second);
    QCOMPARE((*form)->findChildren<PreviewForm*>().size(), 1);
    QCOMPARE(window(), w);
    QCOMPARE(w->frameGeometry().size(), QSize(120, 115));
    QCOMPARE(w->windowTitle(), " " + second);
    QCOMPARE(w->Picture().size(), QSize(120, 90));
}

void FullSizePreviewTest::keyOrPressClosesIt_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("key") << "key";
    QTest::newRow("left press") << "left";
}

void FullSizePreviewTest::keyOrPressClosesIt() {
    QFETCH(QString, how);
    (*form)->ShowFullSizePreview(writePicture(folder->path(), "p.bmp", QSize(50, 40)));
    PreviewForm* w = window();
    QVERIFY(QTest::qWaitForWindowActive(w));
    if (how == "key")
        QTest::keyClick(w, Qt::Key_X);
    else
        QTest::mouseClick(w, Qt::LeftButton);
    QVERIFY(!w->isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), &**form);
    QVERIFY(desktop->boxes.isEmpty());
}

// One plain box, and the window keeps what it showed, or stays closed.
void FullSizePreviewTest::unloadablePictureLeavesTheWindowAsItWas() {
    const QString missing = folder->filePath("gone.bmp");
    desktop->expectOkBoxes(1);
    (*form)->ShowFullSizePreview(missing);
    QCOMPARE(desktop->boxes.size(), 1);
    QCOMPARE(desktop->boxes[0].title, QString("Full Size Preview"));
    QCOMPARE(desktop->boxes[0].prompt,
             "Unable to show \"" + missing +
                 "\" at full size.\n\nThe file is missing, damaged or not a BMP, JPG or GIF "
                 "picture.");
    QCOMPARE(desktop->boxes[0].icon, platform::MsgIcon::Exclamation);
    QVERIFY(!window() || !window()->isVisible());

    const QString good = writePicture(folder->path(), "good.bmp", QSize(60, 30));
    const QString damaged = writeBytes(folder->path(), "damaged.jpg", "\xFF\xD8\xFF not a JPEG");
    (*form)->ShowFullSizePreview(good);
    desktop->expectOkBoxes(1);
    (*form)->ShowFullSizePreview(damaged);
    QCOMPARE(desktop->boxes.size(), 2);
    QVERIFY(window()->isVisible());
    QCOMPARE(window()->windowTitle(), " " + good);
    QCOMPARE(window()->Picture().size(), QSize(60, 30));
    QCOMPARE(window()->frameGeometry().size(), QSize(60, 55));
    QCOMPARE((*form)->TempImage->Width(), 60);
}

// Limited to the screen's available area, showing the picture's top-left part.
void FullSizePreviewTest::pictureLargerThanTheScreen() {
    const QSize screen = (*form)->screen()->availableGeometry().size();
    const QString big =
        writePicture(folder->path(), "big.bmp", QSize(screen.width() + 200, screen.height()));
    (*form)->ShowFullSizePreview(big);
    QCOMPARE(window()->frameGeometry().size(), screen);
    QCOMPARE(window()->Picture().size(), QSize(screen.width() + 200, screen.height()));
}

QTEST_MAIN(FullSizePreviewTest)
#include "tst_full_size_preview.moc"

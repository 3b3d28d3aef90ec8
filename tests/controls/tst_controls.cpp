#include "controls/file_list.h"
#include "controls/image_box.h"
#include "controls/list_box.h"
#include "scripted_platform.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class ControlsTest : public QObject {
    Q_OBJECT

private slots:
    void fileListMatchesPatternInNaturalOrder();
    void listBoxKeepsSelectionOnTheSameEntry();
    void mouseDownCarriesTheClassicCodes_data();
    void mouseDownCarriesTheClassicCodes();
};

void ControlsTest::fileListMatchesPatternInNaturalOrder() {
    ScriptedPlatform desktop;
    QTemporaryDir dir;
    for (const char* name : {"img10.jpg", "img2.JPG", "Img1.bmp", "a.BMP", "b.Jpg", "c.gif",
                             "d.png", "e.xgif", "gif", "f.bmp.txt"}) {
        QFile f(dir.filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir(dir.path()).mkdir("folder.bmp")); // folders are never listed

    controls::FileList list;
    list.setPattern("*.bmp;*.jpg;*gif");
    QSignalSpy pathChanges(&list, &controls::FileList::PathChange);
    QVERIFY(list.setPath(dir.path()));
    QCOMPARE(pathChanges.count(), 1);
    QStringList shown;
    for (int i = 0; i < list.ListCount(); ++i)
        shown << list.List(i);
    QCOMPARE(shown, (QStringList{"a.BMP", "b.Jpg", "c.gif", "e.xgif", "gif", "Img1.bmp", "img2.JPG",
                                 "img10.jpg"}));
    QCOMPARE(list.ListIndex(), -1);
    QCOMPARE(list.List(99), QString());

    // Re-reading the same folder is not a change of folder.
    QVERIFY(list.Refresh());
    QCOMPARE(pathChanges.count(), 1);
    // A folder that does not exist changes nothing.
    QVERIFY(!list.setPath(dir.filePath("missing")));
    QCOMPARE(list.Path(), dir.path());
    QCOMPARE(list.ListCount(), 8);
}

void ControlsTest::listBoxKeepsSelectionOnTheSameEntry() {
    controls::ListBox list;
    QSignalSpy clicks(&list, &controls::ListBox::Click);
    for (const char* entry : {"a", "b", "c"})
        list.AddItem(entry);
    QCOMPARE(list.ListIndex(), -1);
    QCOMPARE(clicks.count(), 0);

    list.setListIndex(1);
    QCOMPARE(clicks.count(), 1);
    list.setListIndex(1); // every write raises Click, even an unchanged one
    QCOMPARE(clicks.count(), 2);
    QCOMPARE(list.Text(), QString("b"));

    list.AddItem("new", 1); // at the selection: the entry moves down and stays selected
    QCOMPARE(list.ListIndex(), 2);
    QCOMPARE(list.Text(), QString("b"));
    list.AddItem("end");
    QCOMPARE(list.ListIndex(), 2);
    list.RemoveItem(0); // before the selection
    QCOMPARE(list.ListIndex(), 1);
    QCOMPARE(list.Text(), QString("b"));
    list.RemoveItem(2); // after it
    QCOMPARE(list.ListIndex(), 1);
    list.RemoveItem(1); // the selected entry itself
    QCOMPARE(list.ListIndex(), -1);
    QCOMPARE(list.Text(), QString());
    QCOMPARE(clicks.count(), 2); // edits never raise Click

    list.setListIndex(-1);
    QCOMPARE(list.ListIndex(), -1);
    QCOMPARE(clicks.count(), 3);
}

void ControlsTest::mouseDownCarriesTheClassicCodes_data() {
    using controls::ShiftKey;
    using controls::ShiftState;
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<int>("classicButton");
    QTest::addColumn<ShiftState>("shift");
    QTest::addColumn<int>("classicShift");
    QTest::newRow("left, no keys")
        << Qt::LeftButton << Qt::KeyboardModifiers() << 1 << ShiftState() << 0;
    QTest::newRow("left with Ctrl") << Qt::LeftButton << Qt::KeyboardModifiers(Qt::ControlModifier)
                                    << 1 << ShiftState(ShiftKey::Ctrl) << 2;
    QTest::newRow("right with Shift and Alt")
        << Qt::RightButton << (Qt::ShiftModifier | Qt::AltModifier) << 2
        << (ShiftKey::Shift | ShiftKey::Alt) << 5;
}

// A real click on an image box: the button and the keys held come as the classic numbers.
void ControlsTest::mouseDownCarriesTheClassicCodes() {
    QFETCH(Qt::MouseButton, button);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(int, classicButton);
    QFETCH(controls::ShiftState, shift);
    QFETCH(int, classicShift);
    controls::ImageBox box(controls::ImageBox::Fit::Stretch);
    box.resize(40, 30);
    QList<controls::MouseArgs> downs;
    connect(&box, &controls::ImageBox::MouseDown, this,
            [&](const controls::MouseArgs& args) { downs.append(args); });
    QTest::mouseClick(&box, button, modifiers, QPoint(12, 7));
    QCOMPARE(downs.size(), 1);
    QCOMPARE(downs[0].Button, classicButton);
    QCOMPARE(downs[0].Shift, shift);
    QCOMPARE(downs[0].Shift.toInt(), classicShift);
    QCOMPARE(downs[0].X, 12.0f);
    QCOMPARE(downs[0].Y, 7.0f);
}

QTEST_MAIN(ControlsTest)
#include "tst_controls.moc"

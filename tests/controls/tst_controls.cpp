#include "controls/file_list.h"
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

QTEST_MAIN(ControlsTest)
#include "tst_controls.moc"

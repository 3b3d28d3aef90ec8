#include "controls/file_list.h"
#include "controls/image_box.h"
#include "controls/list_box.h"
#include "form_driving.h"
#include "scripted_platform.h"
#include "started_form.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

using platform::MsgAnswer;
using platform::MsgBoxRequest;

class ListCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void addWalksTheFolderAndEndsWithoutSelection();
    void insert_data();
    void insert();
    void remove();
    void noDuplicates_data();
    void noDuplicates();
    void shiftAtTheEndsChangesNothing();
    void clearAllAsksFirst();
    void keysReachCommandsNotControls();
    void menuOpenRulesRecomputedAtEachOpening();
    void busyWindowTurnsCommandsIntoAbortRequests();
    void dropOfFilesAndOfAFolder();

private:
    MyMainForm& w() const { return **form; }
    void setList(const QStringList& entries, int selected);
    void drop(const QStringList& paths, QWidget* on = nullptr);

    std::unique_ptr<ScriptedPlatform> desktop;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<StartedForm> form;
    QStringList pics; // p0.bmp .. p3.bmp, the file list's rows
};

void ListCommandsTest::init() {
    desktop = std::make_unique<ScriptedPlatform>();
    folder = std::make_unique<QTemporaryDir>();
    pics.clear();
    for (int i = 0; i < 4; ++i)
        pics << writePicture(folder->path(), QString("p%1.bmp").arg(i), QSize(20 + i, 10));
    form = std::make_unique<StartedForm>(folder->path());
}

void ListCommandsTest::cleanup() {
    form.reset();
    folder.reset();
    desktop.reset();
}

void ListCommandsTest::setList(const QStringList& entries, int selected) {
    for (const QString& e : entries)
        w().BMPlist->AddItem(e);
    w().BMPlist->setListIndex(selected);
    // Play enabled with a status: the play reset is visible when it happens.
    w().PlayAVIbutton->setEnabled(true);
    w().lblStatus->setText("done");
}

void ListCommandsTest::drop(const QStringList& paths, QWidget* on) {
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& p : paths)
        urls << QUrl::fromLocalFile(p);
    data.setUrls(urls);
    QWidget* target = on ? on : w().BMPlist->viewport();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &enter);
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(target, &dropped);
    QCoreApplication::processEvents();
}

void ListCommandsTest::addWalksTheFolderAndEndsWithoutSelection() {
    setList({}, -1);
    clickRow(w().File1, 2);
    QTest::mouseClick(w().Add_button, Qt::LeftButton);
    QCOMPARE(rows(w().BMPlist), QStringList{pics[2]});
    QCOMPARE(w().File1->ListIndex(), 3);
    QCOMPARE(w().CurrentPicturePath, pics[3]);
    QVERIFY(!w().PlayAVIbutton->isEnabled());

    QTest::mouseClick(w().Add_button, Qt::LeftButton);
    QCOMPARE(w().File1->ListIndex(), -1);
    QTest::mouseClick(w().Add_button, Qt::LeftButton);
    QCOMPARE(rows(w().BMPlist), QStringList({pics[2], pics[3]}));
    QCOMPARE(w().BMPlist->ListIndex(), 1);
}

void ListCommandsTest::insert_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("selectedAfter");

    QTest::newRow("third selected: it moves on") << 2 << QStringList{"a", "b", "p3", "c"} << 3;
}

void ListCommandsTest::insert() {
    QFETCH(int, selected);
    QFETCH(QStringList, after);
    QFETCH(int, selectedAfter);
    setList({"a", "b", "c"}, selected);
    clickRow(w().File1, 3);
    QTest::mouseClick(w().Insert_button, Qt::LeftButton);
    after.replace(after.indexOf("p3"), pics[3]);
    QCOMPARE(rows(w().BMPlist), after);
    QCOMPARE(w().BMPlist->ListIndex(), selectedAfter);
    QVERIFY(!w().PlayAVIbutton->isEnabled());
}

// The removed picture goes into the preview, and Insert puts it back. Where the selection
// goes for each place in the list is the list rules' own test; this is the last entry.
void ListCommandsTest::remove() {
    setList(pics.mid(0, 3), 2);
    clickRow(w().File1, 3);
    QTest::mouseClick(w().Remove_button, Qt::LeftButton);

    QCOMPARE(rows(w().BMPlist), pics.mid(0, 2));
    QCOMPARE(w().BMPlist->ListIndex(), 1);
    QCOMPARE(w().File1->ListIndex(), -1);
    QCOMPARE(w().CurrentPicturePath, pics[2]);
    QCOMPARE(w().Preview_filename_label->text(), QString("p2.bmp"));
    QCOMPARE(w().PreviewSize_label->text(), QString("W22 x H10"));
    QVERIFY(!w().PlayAVIbutton->isEnabled());

    QTest::mouseClick(w().Insert_button, Qt::LeftButton);
    QCOMPARE(w().BMPlist->ListCount(), 3);
}

void ListCommandsTest::noDuplicates_data() {
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<int>("selectedAfter");
    QTest::addColumn<bool>("playReset");

    QTest::newRow("a b a c b, a copy selected")
        << QStringList{"a", "b", "a", "c", "b"} << 2 << QStringList{"a", "b", "c"} << -1 << true;
    QTest::newRow("one entry") << QStringList{"a"} << 0 << QStringList{"a"} << 0 << false;
}

void ListCommandsTest::noDuplicates() {
    QFETCH(QStringList, entries);
    QFETCH(int, selected);
    QFETCH(QStringList, after);
    QFETCH(int, selectedAfter);
    QFETCH(bool, playReset);
    setList(entries, selected);
    w().No_duplicates_button_Click();
    QCOMPARE(rows(w().BMPlist), after);
    QCOMPARE(w().BMPlist->ListIndex(), selectedAfter);
    QCOMPARE(w().PlayAVIbutton->isEnabled(), !playReset);
    QCOMPARE(w().lblStatus->text(), playReset ? "" : "done");
}

// Which shifts cannot move is the list rules' own test; a shift that cannot move leaves the
// list and the last video alone.
void ListCommandsTest::shiftAtTheEndsChangesNothing() {
    setList({"a", "b", "c"}, 0);
    w().UpButton_Click();
    QCOMPARE(rows(w().BMPlist), QStringList({"a", "b", "c"}));
    QVERIFY(w().PlayAVIbutton->isEnabled());

    w().BMPlist->setListIndex(1);
    w().UpButton_Click();
    QCOMPARE(rows(w().BMPlist), QStringList({"b", "a", "c"}));
    QCOMPARE(w().BMPlist->ListIndex(), 0);
    QVERIFY(!w().PlayAVIbutton->isEnabled());
}

void ListCommandsTest::clearAllAsksFirst() {
    setList({"a", "b"}, 0);
    desktop->answerNextBox(MsgAnswer::No);
    w().ClearALLmenu->trigger();
    QCOMPARE(desktop->takeBoxes(),
             QList<MsgBoxRequest>({{"Are you Sure ?", platform::MsgButtons::YesNo,
                                    platform::MsgIcon::None, "Clear All pictures from list"}}));
    QCOMPARE(w().BMPlist->ListCount(), 2);

    desktop->answerNextBox(MsgAnswer::Yes);
    w().ClearALLmenu->trigger();
    QCOMPARE(w().BMPlist->ListCount(), 0);
    QVERIFY(w().PlayAVIbutton->isEnabled()); // Clear all has no play reset
}

void ListCommandsTest::keysReachCommandsNotControls() {
    w().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w()));
    QLineEdit* fps = w().txtFPS;
    fps->setFocus();
    QTest::keyClick(fps, Qt::Key_Space); // nothing previewed
    QTest::keyClicks(fps, "xyzXYZ25.");
    QTest::keyClick(fps, Qt::Key_Home);
    QTest::keyClick(fps, Qt::Key_Delete); // Remove is disabled: still consumed
    QCOMPARE(fps->text(), "125.");
    QCOMPARE(w().BMPlist->ListCount(), 0);

    QTest::keyClick(fps, 'a'); // Add ALL
    QCOMPARE(rows(w().BMPlist), pics);

    w().BMPlist->setListIndex(-1);
    desktop->answerNextBox(MsgAnswer::No);
    QTest::keyClick(fps, 'c'); // asks even with no entry selected
    QCOMPARE(desktop->takeBoxes().size(), 1);

    clickRow(w().File1, 1);
    QTest::keyClick(w().File1, 'v');
    QCOMPARE(fullSizePreviewed(w()), pics[1]);
    w().findChild<PreviewForm*>()->hide();
    w().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w()));

    QTest::keyClick(w().File1, Qt::Key_Insert, Qt::ControlModifier);
    QCOMPARE(w().BMPlist->List(0), pics[1]);

    desktop->answerNextFileDialog(std::nullopt);
    QTest::keyClick(&w(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(desktop->fileDialogs.size(), 1);
}

void ListCommandsTest::menuOpenRulesRecomputedAtEachOpening() {
    setList({"a", "b"}, 1);
    w().BitmapMenu->popup(QPoint());
    const QList<QAction*> disabled = {w().AddBMPmenu, w().InsertMenu};
    const QList<QAction*> enabled = {w().RemoveMenu, w().SHiftUpMenu, w().ClearALLmenu,
                                     w().PreviewMenu, w().AddAllMenu};
    for (QAction* a : disabled)
        QVERIFY2(!a->isEnabled(), qPrintable(a->objectName()));
    for (QAction* a : enabled)
        QVERIFY2(a->isEnabled(), qPrintable(a->objectName()));
    w().BitmapMenu->hide();

    w().BMPlist->setListIndex(-1);
    QVERIFY(w().ClearALLmenu->isEnabled()); // not kept up to date in between
    w().BitmapMenu->popup(QPoint());
    QVERIFY(!w().ClearALLmenu->isEnabled());
    w().BitmapMenu->hide();

    w().FileMenu->popup(QPoint());
    QVERIFY(w().SaveMenu->isEnabled());
    w().FileMenu->hide();
    w().AVImenu->popup(QPoint());
    QVERIFY(w().MakeAVImenu->isEnabled());
    QVERIFY(w().PlayAVImenu->isEnabled());
    w().AVImenu->hide();
}

// Every busy-aware command only requests the abort; Clear all, Shift up and down still act.
void ListCommandsTest::busyWindowTurnsCommandsIntoAbortRequests() {
    setList({"a", "b", "a"}, 1);
    clickRow(w().File1, 0);
    w().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&w()));
    w().setBusy(true);
    // Keys go to the focused control, after the window has seen them.
    const auto fps = [&] {
        w().txtFPS->setFocus();
        return w().txtFPS;
    };
    const std::pair<const char*, std::function<void()>> requests[] = {
        {"Add", [&] { QTest::mouseClick(w().Add_button, Qt::LeftButton); }},
        {"Insert", [&] { QTest::mouseClick(w().Insert_button, Qt::LeftButton); }},
        {"Remove", [&] { QTest::mouseClick(w().Remove_button, Qt::LeftButton); }},
        {"No duplicates", [&] { w().NoDuplicatesMenu->trigger(); }},
        {"Add ALL", [&] { w().AddAllMenu->trigger(); }},
        {"Save", [&] { w().SaveMenu->trigger(); }},
        {"double click on a file", [&] { w().File1_DblClick(); }},
        {"space", [&] { QTest::keyClick(fps(), Qt::Key_Space); }},
        {"digit", [&] { QTest::keyClick(fps(), '7'); }},
        {"key up", [&] { QTest::keyRelease(fps(), Qt::Key_Shift); }},
        {"drop", [&] { drop({pics[3]}); }},
    };
    for (const auto& [name, request] : requests) {
        w().AbortRequested = false;
        request();
        QVERIFY2(w().AbortRequested, name);
        QCOMPARE(rows(w().BMPlist), QStringList({"a", "b", "a"}));
    }
    QCOMPARE(w().txtFPS->text(), "1");

    w().AbortRequested = false;
    w().SHiftUpMenu->trigger();
    QCOMPARE(rows(w().BMPlist), QStringList({"b", "a", "a"}));
    w().ShiftDownMenu->trigger();
    QCOMPARE(rows(w().BMPlist), QStringList({"a", "b", "a"}));
    desktop->answerNextBox(MsgAnswer::Yes);
    w().ClearALLmenu->trigger();
    QCOMPARE(w().BMPlist->ListCount(), 0);
    QVERIFY(!w().AbortRequested);
}

void ListCommandsTest::dropOfFilesAndOfAFolder() {
    QTemporaryDir other;
    const QString damaged = writeBytes(other.path(), "bad.bmp", "BM broken");
    setList({"x"}, 0);

    desktop->expectOkBoxes(1);
    drop({pics[2], damaged, pics[0]});
    QCOMPARE(desktop->takeBoxes(),
             QList<MsgBoxRequest>(
                 {{"File (2 of 3) is not a valid picture format", platform::MsgButtons::OK,
                   platform::MsgIcon::Exclamation, "Unable to Add: bad.bmp"}}));
    QCOMPARE(rows(w().BMPlist), QStringList({"x", pics[2], pics[0]}));
    QCOMPARE(w().BMPlist->ListIndex(), 2);
    QVERIFY(!w().PlayAVIbutton->isEnabled());

    drop({folder->path()});
    QCOMPARE(rows(w().BMPlist).mid(3), pics);
    QCOMPARE(w().BMPlist->ListIndex(), 6);

    drop({pics[1]}, w().File1->viewport()); // only the picture list takes drops
    QCOMPARE(w().BMPlist->ListCount(), 7);
}

QTEST_MAIN(ListCommandsTest)
#include "tst_list_commands.moc"

#include "form_driving.h"
#include "started_form.h"

#include <QClipboard>
#include <QDrag>
#include <QGuiApplication>
#include <QMimeData>
#include <QStyledItemDelegate>
#include <QTimer>
#include <QUrl>

#include <functional>

using platform::MousePointer;
using platform::MsgAnswer;
using platform::MsgBoxRequest;

namespace {

enum class Outcome { AbortRequest, Acts, Nothing };

struct DuringAJobRow {
    std::function<void()> give = {};
    Outcome outcome = Outcome::AbortRequest;
    QStringList listAfter = {"a", "b", "a"};
    int selectedAfter = 1;
};

// Records the rows a list draws in each of its paints, "01" for rows 0 and 1.
class PaintedRows : public QStyledItemDelegate {
public:
    explicit PaintedRows(QListWidget* list) : QStyledItemDelegate(list) {
        list->setItemDelegate(this);
        list->viewport()->installEventFilter(this);
    }
    mutable QStringList seen;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        seen.last() += QString::number(index.row());
        QStyledItemDelegate::paint(painter, option, index);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            seen << QString();
        return false;
    }
};

} // namespace

class ListCommandsTest : public QObject, WithStartedForm {
    Q_OBJECT

private slots:
    // p0.bmp .. p3.bmp, the file list's rows.
    void init() {
        started.emplace(Setting{.pictures = {{.name = "p0.bmp", .size = {20, 10}},
                                             {.name = "p1.bmp", .size = {21, 10}},
                                             {.name = "p2.bmp", .size = {22, 10}},
                                             {.name = "p3.bmp", .size = {23, 10}}}});
    }
    void cleanup() { started.reset(); }

    void addWalksTheFolderAndEndsWithoutSelection() {
        setList({}, -1);
        clickRow(ui().File1, 2);
        QTest::mouseClick(ui().Add_button, Qt::LeftButton);
        QCOMPARE(rows(ui().BMPlist), QStringList{pic(2)});
        QCOMPARE(ui().File1->ListIndex(), 3);
        QCOMPARE(w().currentPicturePath(), pic(3));
        QVERIFY(!ui().PlayAVIbutton->isEnabled());

        QTest::mouseClick(ui().Add_button, Qt::LeftButton);
        QCOMPARE(ui().File1->ListIndex(), -1);
        QTest::mouseClick(ui().Add_button, Qt::LeftButton);
        QCOMPARE(rows(ui().BMPlist), QStringList({pic(2), pic(3)}));
        QCOMPARE(ui().BMPlist->ListIndex(), 1);
    }

    // The removed picture goes into the preview, and Insert puts it back at the selected entry,
    // which moves on. Where the selection goes after removing from the middle is the list
    // rules' own test; this is the last entry.
    void remove() {
        setList(started->paths.mid(0, 3), 2);
        clickRow(ui().File1, 3);
        QTest::mouseClick(ui().Remove_button, Qt::LeftButton);

        QCOMPARE(rows(ui().BMPlist), started->paths.mid(0, 2));
        QCOMPARE(ui().BMPlist->ListIndex(), 1);
        QCOMPARE(ui().File1->ListIndex(), -1);
        QCOMPARE(w().currentPicturePath(), pic(2));
        QCOMPARE(ui().Preview_filename_label->text(), "p2.bmp");
        QCOMPARE(ui().PreviewSize_label->text(), "W22 x H10");
        QVERIFY(!ui().PlayAVIbutton->isEnabled());

        w().setPlayable(started->path("earlier.avi"));
        QTest::mouseClick(ui().Insert_button, Qt::LeftButton);
        QCOMPARE(rows(ui().BMPlist), QStringList({pic(0), pic(2), pic(1)}));
        QCOMPARE(ui().BMPlist->ListIndex(), 2);
        QVERIFY(!ui().PlayAVIbutton->isEnabled());
    }

    // Nothing to remove leaves the last video playable; removing copies resets Play and drops
    // the selection, which may have been on a copy.
    void noDuplicates() {
        setList({"a"}, 0);
        w().No_duplicates_button_Click();
        QCOMPARE(rows(ui().BMPlist), QStringList{"a"});
        QCOMPARE(ui().BMPlist->ListIndex(), 0);
        QVERIFY(ui().PlayAVIbutton->isEnabled());
        QCOMPARE(ui().lblStatus->text(), "done");

        setList({"b", "a", "c", "b"}, 2);
        w().No_duplicates_button_Click();
        QCOMPARE(rows(ui().BMPlist), QStringList({"a", "b", "c"}));
        QCOMPARE(ui().BMPlist->ListIndex(), -1);
        QVERIFY(!ui().PlayAVIbutton->isEnabled());
        QCOMPARE(ui().lblStatus->text(), "");
    }

    // Shift up cannot move the first entry (Shift down's ends are the list rules' own test); a
    // shift that cannot move leaves the list and the last video alone.
    void shiftAtTheEndsChangesNothing() {
        setList({"a", "b", "c"}, 0);
        w().UpButton_Click();
        QCOMPARE(rows(ui().BMPlist), QStringList({"a", "b", "c"}));
        QVERIFY(ui().PlayAVIbutton->isEnabled());

        ui().BMPlist->setListIndex(1);
        w().UpButton_Click();
        QCOMPARE(rows(ui().BMPlist), QStringList({"b", "a", "c"}));
        QCOMPARE(ui().BMPlist->ListIndex(), 0);
        QVERIFY(!ui().PlayAVIbutton->isEnabled());
    }

    void clearAllAsksFirst() {
        setList({"a", "b"}, 0);
        desktop().answerNextBox(MsgAnswer::No);
        ui().item("ClearALLmenu")->trigger();
        QCOMPARE(desktop().takeBoxes(),
                 QList<MsgBoxRequest>({{"Are you Sure ?", platform::MsgButtons::YesNo,
                                        platform::MsgIcon::None, "Clear All pictures from list"}}));
        QCOMPARE(ui().BMPlist->ListCount(), 2);

        desktop().answerNextBox(MsgAnswer::Yes);
        ui().item("ClearALLmenu")->trigger();
        QCOMPARE(ui().BMPlist->ListCount(), 0);
        QVERIFY(ui().PlayAVIbutton->isEnabled()); // Clear all has no play reset
    }

    void keysReachCommandsNotControls() {
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        QLineEdit* fps = ui().txtFPS;
        fps->setFocus();
        QTest::keyClick(fps, Qt::Key_Space); // nothing previewed
        QTest::keyClicks(fps, "xyzXYZ25.");
        QTest::keyClick(fps, Qt::Key_Home);
        QTest::keyClick(fps, Qt::Key_Delete); // Remove is disabled: still consumed
        QCOMPARE(fps->text(), "125.");
        QCOMPARE(ui().BMPlist->ListCount(), 0);

        QTest::keyClick(fps, 'a'); // Add ALL
        QCOMPARE(rows(ui().BMPlist), started->paths);

        ui().BMPlist->setListIndex(-1);
        desktop().answerNextBox(MsgAnswer::No);
        QTest::keyClick(fps, 'c'); // asks even with no entry selected: the No must be taken

        clickRow(ui().File1, 1);
        QTest::keyClick(ui().File1, 'v');
        QCOMPARE(fullSizePreviewed(w()), pic(1));
        w().findChild<PreviewForm*>()->hide();
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));

        QTest::keyClick(ui().File1, Qt::Key_Insert, Qt::ControlModifier);
        QCOMPARE(ui().BMPlist->List(0), pic(1));

        desktop().answerNextFileDialog(std::nullopt);
        QTest::keyClick(&w(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(desktop().fileDialogs.size(), 1);
    }

    // Alt with a letter types nothing, so that letter's command does not run; the menus'
    // shortcuts win over a text box's own, and the box keeps the keys no menu names.
    void altLettersAndMenuShortcutsInATextBox() {
        QTest::mouseClick(ui().All_button, Qt::LeftButton); // Make enabled
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        QLineEdit* box = ui().duration_txtbox;
        box->setFocus();
        QTest::keyClick(box, Qt::Key_M, Qt::AltModifier); // a save dialog would fail the test
        QTest::keyClick(box, Qt::Key_C, Qt::AltModifier); // so would the Clear all question
        QCOMPARE(box->text(), "1");
        QCOMPARE(ui().BMPlist->ListCount(), 4);

        QGuiApplication::clipboard()->setText("7");
        box->selectAll();
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_V, QString(QChar(22)), Qt::ControlModifier);
        QCOMPARE(box->text(), "7");
        box->selectAll();
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_X, QString(QChar(24)), Qt::ControlModifier);
        QVERIFY(!w().isVisible()); // Exit, not Cut
        QCOMPARE(box->text(), "7");
    }

    // Each menu sets its items from the buttons as it opens, and only then.
    void menuOpenRulesRecomputedAtEachOpening() {
        const auto openMenus = [this] {
            for (const char* name : {"FileMenu", "BitmapMenu", "AVImenu"}) {
                ui().menu(name)->popup(QPoint());
                ui().menu(name)->hide();
            }
        };
        openMenus(); // nothing listed, nothing made
        for (const char* name :
             {"SaveMenu", "RemoveMenu", "ClearALLmenu", "MakeAVImenu", "PlayAVImenu", "AddBMPmenu"})
            QVERIFY2(!ui().item(name)->isEnabled(), name);

        setList({"a", "b"}, 1);
        QVERIFY(!ui().item("ClearALLmenu")->isEnabled()); // not kept up to date in between
        openMenus();
        for (const char* name : {"SaveMenu", "RemoveMenu", "SHiftUpMenu", "ClearALLmenu",
                                 "AddAllMenu", "MakeAVImenu", "PlayAVImenu"})
            QVERIFY2(ui().item(name)->isEnabled(), name);
        QVERIFY(!ui().item("AddBMPmenu")->isEnabled()); // nothing previewed
    }

    // While a job runs, a command that would change the list, the preview or the video asks the
    // job to stop instead, and does nothing else; Shift up and Clear all still act, as Shift
    // down does in the Make test. The list reads a, b, a with b selected, and p0.bmp is
    // previewed.
    void commandsDuringAJob_data() {
        QTest::addColumn<DuringAJobRow>("row");
        const auto row = [](const char* command, const DuringAJobRow& r) {
            QTest::newRow(command) << r;
        };
        const auto press = [this](auto control, Qt::MouseButton button) {
            return [=, this] { QTest::mouseClick(ui().*control, button); };
        };
        // Keys go to the focused control after the window has seen them.
        const auto key = [this](auto control, Qt::Key key) {
            return [=, this] {
                (ui().*control)->setFocus();
                QTest::keyClick(ui().*control, key);
            };
        };
        const auto menu = [this](const char* item) {
            return [=, this] { ui().item(item)->trigger(); };
        };
        using C = FormControls;

        row("Add", {.give = press(&C::Add_button, Qt::LeftButton)});
        row("Insert", {.give = press(&C::Insert_button, Qt::LeftButton)});
        row("Remove", {.give = press(&C::Remove_button, Qt::LeftButton)});
        row("No duplicates", {.give = menu("NoDuplicatesMenu")});
        row("Add ALL", {.give = menu("AddAllMenu")});
        row("Save", {.give = menu("SaveMenu")});
        row("Open", {.give = menu("OpenMenu")});
        row("space", {.give = key(&C::txtFPS, Qt::Key_Space)});
        row("Delete on the list", {.give = key(&C::BMPlist, Qt::Key_Delete)});
        // A key goes up as a request when it went down during the job, as one the user holds
        // while answering No does.
        row("key held over a No", {.give = [this] {
                ui().txtFPS->setFocus();
                QTest::keyPress(ui().txtFPS, Qt::Key_Shift);
                w().withdrawAbortRequest();
                QTest::keyRelease(ui().txtFPS, Qt::Key_Shift);
            }});
        // Such as the Enter that confirmed a dialog and started the job.
        row("release of a key pressed before the job", {.give =
                                                            [this] {
                                                                ui().txtFPS->setFocus();
                                                                QTest::keyRelease(ui().txtFPS,
                                                                                  Qt::Key_Return);
                                                            },
                                                        .outcome = Outcome::Nothing});
        row("Cyrillic letter", {.give = [this] {
                ui().duration_txtbox->setFocus();
                QTest::sendKeyEvent(QTest::Click, ui().duration_txtbox, Qt::Key(0x416),
                                    QString(QChar(0x416)), {});
            }});
        row("Menu key", {.give = key(&C::txtFPS, Qt::Key_Menu)});
        row("drop", {.give = [this] { drop({pic(3)}); }});
        row("click on another file", {.give = [this] { clickRow(ui().File1, 1); }});
        row("double click on a file", {.give = [this] { doubleClickRow(ui().File1, 0); }});
        row("right press on a file",
            {.give = [this] { clickRow(ui().File1, 0, Qt::RightButton); }});
        row("right press on the preview", {.give = press(&C::imgPreview, Qt::RightButton)});
        row("left press on the previous picture",
            {.give = press(&C::Previous_image, Qt::LeftButton)});
        row("right press on the selected picture",
            {.give = press(&C::Selected_Image, Qt::RightButton)});
        row("left press on the next picture", {.give = press(&C::Next_image, Qt::LeftButton)});
        row("Shift up", {.give = menu("SHiftUpMenu"),
                         .outcome = Outcome::Acts,
                         .listAfter = {"b", "a", "a"},
                         .selectedAfter = 0});
        row("Clear all", {.give =
                              [this] {
                                  desktop().answerNextBox(MsgAnswer::Yes);
                                  ui().item("ClearALLmenu")->trigger();
                              },
                          .outcome = Outcome::Acts,
                          .listAfter = {},
                          .selectedAfter = -1});
    }

    void commandsDuringAJob() {
        QFETCH(DuringAJobRow, row);
        setList({"a", "b", "a"}, 1);
        clickRow(ui().File1, 0);
        w().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w()));
        w().setBusy(true);
        const KeyLog reached({ui().txtFPS, ui().duration_txtbox, ui().BMPlist});

        row.give(); // a box or a file dialog nobody answers fails the test

        QCOMPARE(w().abortRequested(), row.outcome == Outcome::AbortRequest);
        QCOMPARE(reached.keys, QStringList()); // a busy window takes every key
        QCOMPARE(ui().duration_txtbox->text(), "1");
        QCOMPARE(rows(ui().BMPlist), row.listAfter);
        QCOMPARE(ui().BMPlist->ListIndex(), row.selectedAfter);
        QCOMPARE(w().currentPicturePath(), pic(0));
        QCOMPARE(fullSizePreviewed(w()), "");
    }

    void dropOfFilesAndOfAFolder() {
        setList({"x"}, 0);
        drop({pic(2), pic(0)});
        QCOMPARE(rows(ui().BMPlist), QStringList({"x", pic(2), pic(0)}));
        QCOMPARE(ui().BMPlist->ListIndex(), 2);
        QVERIFY(!ui().PlayAVIbutton->isEnabled());

        drop({started->path("")});
        QCOMPARE(rows(ui().BMPlist).mid(3), started->paths);
        QCOMPARE(ui().BMPlist->ListIndex(), 6);

        drop({pic(1)}, ui().File1->viewport()); // only the picture list takes drops
        QCOMPARE(ui().BMPlist->ListCount(), 7);
    }

    // A file dragged out of the file list goes as a file manager's drag does, to be copied by its
    // address; dropped on the picture list it is added as such a drop is.
    void dragFromTheFileList() {
        // Under a window manager the drag runs the window system's own loop, which only the
        // pointer's real release ends: synthesised events would leave the test waiting.
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            QSKIP("a real drag needs the real pointer; this one runs offscreen");
        setList({"x"}, 0);
        QWidget* rowsArea = ui().File1->viewport();
        const auto at = [&](int row) {
            return ui().File1->visualItemRect(ui().File1->item(row)).center();
        };
        QTest::mousePress(rowsArea, Qt::LeftButton, {}, at(1));
        QTest::mouseMove(rowsArea, at(2));
        QTest::mouseMove(rowsArea, at(3));
        const QDrag* drag = ui().File1->findChild<QDrag*>();
        QTest::mouseRelease(rowsArea, Qt::LeftButton, {}, at(3));

        QVERIFY(drag);
        QCOMPARE(drag->mimeData()->urls(), QList{QUrl::fromLocalFile(pic(1))});
        QCOMPARE(drag->supportedActions(), Qt::DropActions(Qt::CopyAction));
        QCOMPARE(ui().File1->ListIndex(), 1);
        drop(*drag->mimeData());
        QCOMPARE(rows(ui().BMPlist), QStringList({"x", pic(1)}));
        QCOMPARE(ui().BMPlist->ListIndex(), 1);
    }

    // The user sees each added file counted as it comes, the damaged one in a box of its own,
    // and the whole run happens without the window handling any other event.
    void damagedFileIsReportedAndSkipped() {
        started.emplace(Setting{
            .pictures = {{.name = "a.bmp"}, {.name = "c.jpg", .format = "JPEG"}},
            .arrange = [](StartedForm& s) { writeBytes(s.path(""), "b.bmp", "BM not a bitmap"); }});
        setList({}, -1);
        desktop().pointerHistory.clear();
        QVERIFY(QTest::qWaitForWindowExposed(&w())); // only a window on screen paints
        PaintLog status(ui().lblStatus, [&] { return ui().lblStatus->text(); });
        PaintedRows listPaints(ui().BMPlist);
        bool otherEventRan = false;
        QTimer::singleShot(0, [&] { otherEventRan = true; });
        desktop().expectOkBoxes(1);

        w().All_button_Click();

        QCOMPARE(status.seen, (QStringList{"Adding 1 of 3", "Adding 3 of 3", ""}));
        // The refresh after the run paints the list again.
        QCOMPARE(listPaints.seen.mid(0, 2), (QStringList{"0", "01"}));
        QCOMPARE(desktop().boxes,
                 QList<platform::MsgBoxRequest>(
                     {{"File (2 of 3) is not a valid picture format", platform::MsgButtons::OK,
                       platform::MsgIcon::Exclamation, "Unable to Add: b.bmp"}}));
        QCOMPARE(rows(ui().BMPlist), started->paths);
        QCOMPARE(ui().BMPlist->ListIndex(), 1);
        QVERIFY(ui().MakeAVI_button->isEnabled());
        // Hourglass for the run, default after it, then the list's click under its own.
        QCOMPARE(desktop().pointerHistory, (QList{MousePointer::Hourglass, MousePointer::Default,
                                                  MousePointer::Hourglass, MousePointer::Default}));
        QCOMPARE(desktop().doEventsCalls, 0);
        QVERIFY(!otherEventRan);
        settleFilmstrip();
        QCOMPARE(ui().bmplist_filename_label->text(), "c.jpg");
    }

private:
    QString pic(int i) const { return started->paths[i]; }
    // Lists `entries` with one selected, after a video that Play can still show.
    void setList(const QStringList& entries, int selected) {
        for (const QString& e : entries)
            ui().BMPlist->AddItem(e);
        ui().BMPlist->setListIndex(selected);
        w().setPlayable(started->path("earlier.avi"));
        ui().lblStatus->setText("done");
    }

    void drop(const QStringList& paths, QWidget* on = nullptr) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString& p : paths)
            urls << QUrl::fromLocalFile(p);
        data.setUrls(urls);
        drop(data, on);
    }

    void drop(const QMimeData& data, QWidget* on = nullptr) {
        QWidget* target = on ? on : ui().BMPlist->viewport();
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &dropped);
        QCoreApplication::processEvents();
    }
};

QTEST_MAIN(ListCommandsTest)
#include "tst_list_commands.moc"

#include "mainwindow/artwork.h"
#include "started_form.h"

#include <QMenuBar>

namespace {

QStringList namesOf(const QList<QAction*>& actions) {
    QStringList names;
    for (const QAction* a : actions)
        names << a->objectName();
    return names;
}

} // namespace

class MainWindowTest : public QObject, WithStartedForm {
    Q_OBJECT

private slots:
    void cleanup() { started.reset(); }

    // The rest of the program, and a user's tools, reach controls and menu items by name; each
    // menu lists its items in the designed order.
    void controlsAndMenuItemsByName() {
        started.emplace();
        for (const char* name : {"Label1", "lblfps", "Duration_label", "Previous_image_label",
                                 "Selected_image_label", "Next_image_label", "Line1"})
            controlOf<QWidget>(w(), name); // the rest are looked up by every FormControls

        QCOMPARE(namesOf(w().menuBar()->actions()),
                 (QStringList{"FileMenu", "BitmapMenu", "AVImenu", "HelpMenu"}));
        QCOMPARE(namesOf(ui().menu("FileMenu")->actions()),
                 (QStringList{"OpenMenu", "SaveMenu", "MenuLineBreak1", "DeskTopMenuItem",
                              "MenuLineBreak2", "ExitMenu"}));
        QCOMPARE(namesOf(ui().menu("BitmapMenu")->actions()),
                 (QStringList{"AddBMPmenu", "InsertMenu", "AddAllMenu", "LineBreak1Menu",
                              "RemoveMenu", "NoDuplicatesMenu", "ClearALLmenu", "LineBreak2Menu",
                              "SHiftUpMenu", "ShiftDownMenu", "LineBreak3Menu", "PreviewMenu"}));
        QCOMPARE(namesOf(ui().menu("AVImenu")->actions()),
                 (QStringList{"MakeAVImenu", "PlayAVImenu"}));
        QCOMPARE(namesOf(ui().menu("HelpMenu")->actions()),
                 (QStringList{"TipsMenu", "FernquillMenu", "AboutMenu"}));
    }

    // The arrows sit on the button's own face, not on a square of the nearest classic colour.
    void arrowsSitOnTheButtonFace() {
        started.emplace();
        const QColor face = ui().UpButton->palette().color(QPalette::Button);
        for (const QImage& arrow : {artwork::upArrow(), artwork::downArrow()}) {
            QCOMPARE_LE(arrow.colorCount(), 16);
            QCOMPARE(arrow.pixelColor(0, 0), face);
            QCOMPARE(arrow.pixelColor(15, 14), face);
            QCOMPARE(arrow.pixelColor(8, 7), QColor(Qt::black));
        }
    }

    // Started in a folder without pictures: nothing to add, nothing listed, nothing previewed.
    void startupStates() {
        started.emplace(Setting{
            .arrange = [](StartedForm& s) { writeBytes(s.path(""), "notes.txt", "notes"); }});
        QVERIFY(w().isVisible());
        for (QPushButton* b : {ui().All_button, ui().UpButton, ui().DownButton,
                               ui().No_duplicates_button, ui().Remove_button, ui().MakeAVI_button,
                               ui().Add_button, ui().Insert_button, ui().PlayAVIbutton})
            QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
        QCOMPARE(ui().bmplist_filename_label->text(), "Picture List - Empty");
        QCOMPARE(ui().bmp_size_label->text(), "");
        QCOMPARE(ui().Preview_filename_label->text(), "No File");
        QCOMPARE(ui().PlayAVIbutton->toolTip(), "Play AVI file");
    }

    // A close request during a job (by the title bar or by Exit) is refused and becomes an abort
    // request; when idle the window closes at once, taking the program's other windows along.
    void closeRefusedWhileBusyAndAcceptedWhenIdle() {
        started.emplace();
        QWidget other;
        other.show();

        w().setBusy(true);
        QCOMPARE(ui().MakeAVI_button->text(), "RUNNING");
        QVERIFY(!w().close());
        QVERIFY(w().abortRequested());
        w().withdrawAbortRequest();
        ui().item("ExitMenu")->trigger();
        QVERIFY(w().isVisible());
        QVERIFY(other.isVisible());
        QVERIFY(w().abortRequested());
        QVERIFY(desktop().boxes.isEmpty()); // the running job asks; closing itself asks nothing

        w().setBusy(false);
        QCOMPARE(ui().MakeAVI_button->text(), "Make AVI File");
        w().withdrawAbortRequest();
        ui().item("ExitMenu")->trigger();
        QVERIFY(!w().isVisible());
        QVERIFY(!other.isVisible());
        QVERIFY(!w().abortRequested());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"

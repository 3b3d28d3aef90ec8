#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "controls/image_box.h"
#include "controls/list_box.h"
#include "mainwindow/artwork.h"
#include "mainwindow/my_main_form.h"
#include "scripted_platform.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class MainWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlsAsDesigned_data();
    void controlsAsDesigned();
    void menusAsDesigned_data();
    void menusAsDesigned();
    void windowAndArtwork();
    void arrowsSitOnTheButtonFace();

    void startupStates_data();
    void startupStates();
    void outputProposedBesideProgram_data();
    void outputProposedBesideProgram();
    void closeRefusedWhileBusyAndAcceptedWhenIdle();
    void filmstripFollowsTheSelection();

private:
    std::unique_ptr<MyMainForm> makeForm(const QString& folder);

    std::unique_ptr<ScriptedPlatform> desktop;
    QTemporaryDir folder;
    QString previousCurrent;
};

void MainWindowTest::init() {
    desktop = std::make_unique<ScriptedPlatform>();
    previousCurrent = QDir::currentPath();
}

void MainWindowTest::cleanup() {
    QDir::setCurrent(previousCurrent);
    desktop.reset();
}

std::unique_ptr<MyMainForm> MainWindowTest::makeForm(const QString& where) {
    QDir::setCurrent(where);
    return std::make_unique<MyMainForm>();
}

// Every control other parts of the program reach by name, as the window is designed,
// before start-up has run.
void MainWindowTest::controlsAsDesigned_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tooltip");
    QTest::addColumn<bool>("enabled");

    const auto row = [](const char* name, const char* kind, QRect g, const char* text,
                        const char* tip, bool enabled = true) {
        QTest::newRow(name) << kind << g << QString::fromUtf8(text) << QString::fromUtf8(tip)
                            << enabled;
    };
    row("Label1", "QLabel", {16, 8, 121, 17}, "Select Source Folder", "");
    row("Drive1", "controls::DriveList", {8, 24, 129, 21}, nullptr, "Select Drive");
    row("Dir1", "controls::DirList", {8, 48, 129, 141}, nullptr, "Select Folder");
    row("DesktopButton", "QPushButton", {40, 192, 65, 17}, "Desktop", "Select your Desktop");
    row("File1", "controls::FileList", {8, 211, 129, 188}, nullptr,
        "Select picture file for preview (BMP,JPG,GIF)");
    row("No_duplicates_button", "QPushButton", {144, 24, 97, 25}, "No Duplicates",
        "Remove any duplicate pictures from list");
    row("lblfps", "QLabel", {144, 56, 104, 13}, "Frames/sec (1 - 30)", "");
    row("txtFPS", "QLineEdit", {173, 72, 39, 19}, "1",
        "Enter number of frames/second for AVI file");
    row("Duration_label", "QLabel", {136, 96, 113, 17}, "Duration(sec)/picture", "");
    row("duration_txtbox", "QLineEdit", {173, 112, 41, 19}, "1",
        "Enter number of seconds per picture in AVI file");
    row("Remove_button", "QPushButton", {144, 144, 97, 25}, "Remove Picture",
        "Remove picture from list into preview window");
    row("Preview_filename_label", "QLabel", {144, 176, 105, 17}, "Filename", "");
    row("imgPreview", "controls::ImageBox", {144, 192, 97, 73}, nullptr,
        "Right-click for full size preview");
    row("PreviewSize_label", "QLabel", {144, 266, 97, 17}, "Size", "");
    row("Insert_button", "QPushButton", {144, 288, 97, 25}, "Insert Picture",
        "Insert preview picture into list at selection");
    row("Add_button", "QPushButton", {144, 320, 97, 25}, "Add Picture",
        "Add preview picture to end of list");
    row("All_button", "QPushButton", {144, 352, 97, 25}, nullptr,
        "Add all pictures in current folder to list");
    row("UpButton", "QPushButton", {248, 7, 18, 18}, "", "Shift selected UP", false);
    row("bmplist_filename_label", "QLabel", {280, 8, 177, 17}, "Filename", "");
    row("BMPlist", "controls::ListBox", {248, 24, 209, 290}, nullptr,
        "List of pictures for AVI file");
    row("DownButton", "QPushButton", {248, 313, 18, 18}, "", "Shift Selected Down", false);
    row("bmp_size_label", "QLabel", {368, 312, 89, 17}, "Size", "");
    row("MakeAVI_button", "QPushButton", {280, 328, 97, 32}, "Make AVI File",
        "Write all pictures in list to an AVI file");
    row("PlayAVIbutton", "QPushButton", {384, 328, 57, 33}, "Play AVI", "", false);
    row("lblStatus", "QLabel", {280, 368, 163, 21}, "", "Status report for AVI file");
    row("FilmImage", "controls::ImageBox", {464, -10, 165, 420}, nullptr, "");
    row("Previous_image_label", "QLabel", {512, 24, 113, 17}, "Previous Picture", "");
    row("Previous_image", "controls::ImageBox", {490, 40, 113, 81}, nullptr,
        "Click to go backwards");
    row("Selected_image_label", "QLabel", {511, 136, 113, 17}, "Selected Picture", "");
    row("Selected_Image", "controls::ImageBox", {484, 152, 125, 91}, nullptr,
        "Selected picture in list");
    row("Next_image_label", "QLabel", {517, 256, 113, 17}, "Next Picture", "");
    row("Next_image", "controls::ImageBox", {490, 272, 113, 81}, nullptr, "Click to go forwards");
    row("TempImage", "controls::ImageBox", {64, 392, 17, 17}, nullptr, "", false);
    row("Line1", "QFrame", {0, 0, 633, 1}, nullptr, "");
}

void MainWindowTest::controlsAsDesigned() {
    QFETCH(QString, kind);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, tooltip);
    QFETCH(bool, enabled);
    auto form = makeForm(folder.path());
    auto* w = form->findChild<QWidget*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY2(w, QTest::currentDataTag());
    QCOMPARE(QString::fromLatin1(w->metaObject()->className()), kind);
    QCOMPARE(w->geometry(), geometry);
    QCOMPARE(w->toolTip(), tooltip);
    QCOMPARE(w->isEnabled(), enabled);
    if (!text.isNull()) {
        if (auto* l = qobject_cast<QLabel*>(w))
            QCOMPARE(l->text(), text);
        else if (auto* b = qobject_cast<QPushButton*>(w))
            QCOMPARE(b->text(), text);
        else if (auto* e = qobject_cast<QLineEdit*>(w))
            QCOMPARE(e->text(), text);
    }
    if (auto* e = qobject_cast<QLineEdit*>(w))
        QCOMPARE(e->maxLength(), 6);
}

namespace {
enum class Item { Command, Separator };
}

void MainWindowTest::menusAsDesigned_data() {
    QTest::addColumn<QString>("menu");
    QTest::addColumn<Item>("kind");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QKeySequence>("shortcut");

    const auto row = [](const char* menu, const char* name, QString caption,
                        QKeySequence key = {}) {
        QTest::newRow(name) << menu << Item::Command << caption << key;
    };
    // A plain line: a text on a separator would show beside it.
    const auto line = [](const char* menu, const char* name) {
        QTest::newRow(name) << menu << Item::Separator << QString() << QKeySequence();
    };
    const auto spaced = [](const char* left, int spaces, const char* right) {
        return QString::fromLatin1(left) + QString(spaces, u' ') + QString::fromLatin1(right);
    };
    row("FileMenu", "OpenMenu", "&Open", QKeySequence(Qt::CTRL | Qt::Key_O));
    row("FileMenu", "SaveMenu", "&Save", QKeySequence(Qt::CTRL | Qt::Key_S));
    line("FileMenu", "MenuLineBreak1");
    row("FileMenu", "DeskTopMenuItem", "Desktop", QKeySequence(Qt::CTRL | Qt::Key_D));
    line("FileMenu", "MenuLineBreak2");
    row("FileMenu", "ExitMenu", "&Exit", QKeySequence(Qt::CTRL | Qt::Key_X));
    row("BitmapMenu", "AddBMPmenu", spaced("A&dd", 19, "Space"));
    row("BitmapMenu", "InsertMenu", spaced("&Insert", 19, "Ins"));
    row("BitmapMenu", "AddAllMenu", spaced("&Add All", 18, "A"));
    line("BitmapMenu", "LineBreak1Menu");
    row("BitmapMenu", "RemoveMenu", spaced("&Remove", 15, "Del"));
    row("BitmapMenu", "NoDuplicatesMenu", spaced("&No Duplicates", 8, "N"));
    row("BitmapMenu", "ClearALLmenu", spaced("&Clear All", 17, "C"));
    line("BitmapMenu", "LineBreak2Menu");
    row("BitmapMenu", "SHiftUpMenu", spaced("Shift &Up", 18, "U"));
    row("BitmapMenu", "ShiftDownMenu", spaced("SHift &Down", 13, "D"));
    line("BitmapMenu", "LineBreak3Menu");
    row("BitmapMenu", "PreviewMenu", spaced("Pre&view", 10, "Right-Click"));
    row("AVImenu", "MakeAVImenu", spaced("&Make", 11, "M"));
    row("AVImenu", "PlayAVImenu", spaced("&Play", 13, "P"));
    row("HelpMenu", "TipsMenu", "Tips", QKeySequence(Qt::Key_F1));
    row("HelpMenu", "FernquillMenu", "&Visit Fernquill", QKeySequence(Qt::CTRL | Qt::Key_F1));
    row("HelpMenu", "AboutMenu", "&About");
}

// Items stand in their menus in the designed order, with exact captions and real shortcuts.
void MainWindowTest::menusAsDesigned() {
    QFETCH(QString, menu);
    QFETCH(Item, kind);
    QFETCH(QString, caption);
    QFETCH(QKeySequence, shortcut);
    auto form = makeForm(folder.path());

    const QList<QAction*> tops = form->menuBar()->actions();
    QCOMPARE(tops.size(), 4);
    const QStringList topCaptions = {tops[0]->text(), tops[1]->text(), tops[2]->text(),
                                     tops[3]->text()};
    QCOMPARE(topCaptions, (QStringList{"&File", "&Picture", "&AVI", "&Help"}));

    auto* m = form->findChild<QMenu*>(menu);
    QVERIFY2(m, qPrintable(menu));
    const QString name = QString::fromLatin1(QTest::currentDataTag());
    QAction* action = nullptr;
    for (QAction* a : m->actions())
        if (a->objectName() == name)
            action = a;
    QVERIFY2(action, qPrintable(name + " is not in " + menu));
    QCOMPARE(action->isSeparator(), kind == Item::Separator);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->shortcut(), shortcut);
    QVERIFY(action->isEnabled());
}

void MainWindowTest::windowAndArtwork() {
    auto form = makeForm(folder.path());
    QCOMPARE(form->windowTitle(), QString("PICREEL"));
    QCOMPARE(form->centralWidget()->size(), QSize(635, 403));
    QCOMPARE(form->minimumSize(), form->maximumSize()); // fixed border
    QVERIFY(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
    QCOMPARE(form->MakeAVI_button->font().pointSizeF(), 9.75);
    QCOMPARE(form->MakeAVI_button->font().family(), QString("MS Sans Serif"));

    // Tab order as designed.
    const QStringList order = {"Drive1",
                               "Dir1",
                               "DesktopButton",
                               "File1",
                               "No_duplicates_button",
                               "txtFPS",
                               "duration_txtbox",
                               "Remove_button",
                               "Insert_button",
                               "Add_button",
                               "All_button",
                               "BMPlist",
                               "MakeAVI_button",
                               "PlayAVIbutton",
                               "UpButton",
                               "DownButton"};
    for (qsizetype i = 0; i + 1 < order.size(); ++i) {
        QWidget* next = form->findChild<QWidget*>(order[i])->nextInFocusChain();
        while (!order.contains(next->objectName())) // inner parts, such as a list's viewport
            next = next->nextInFocusChain();
        QCOMPARE(next->objectName(), order[i + 1]);
    }

    QCOMPARE(artwork::programIconImage().size(), QSize(32, 32));
    const QImage film = artwork::filmStrip();
    QCOMPARE(film.size(), QSize(165, 420));
    QCOMPARE(film.depth(), 24);
    QCOMPARE(form->FilmImage->Picture().size(), QSize(165, 420));
}

// The arrows sit on the button's own face, not on a square of the nearest classic colour.
void MainWindowTest::arrowsSitOnTheButtonFace() {
    auto form = makeForm(folder.path());
    const QColor face = form->UpButton->palette().color(QPalette::Button);
    for (const QImage& arrow : {artwork::upArrow(), artwork::downArrow()}) {
        QCOMPARE(arrow.size(), QSize(16, 15));
        QCOMPARE_LE(arrow.colorCount(), 16);
        QCOMPARE(arrow.pixelColor(0, 0), face);
        QCOMPARE(arrow.pixelColor(15, 14), face);
        QCOMPARE(arrow.pixelColor(8, 7), QColor(Qt::black));
    }
}

void MainWindowTest::startupStates_data() {
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("allCaption");
    QTest::addColumn<bool>("allEnabled");
    QTest::newRow("no pictures") << QStringList{"notes.txt"} << "Add ALL" << false;
    // Listed by the pattern: two extensions in any case, and anything ending in "gif".
    QTest::newRow("pictures") << QStringList{"a.BMP", "b.Jpg", "c.xgif", "d.png", "e.txt"}
                              << "Add ALL [3]" << true;
}

void MainWindowTest::startupStates() {
    QFETCH(QStringList, files);
    QFETCH(QString, allCaption);
    QFETCH(bool, allEnabled);
    QImage picture(8, 6, QImage::Format_RGB32);
    picture.fill(Qt::red);
    for (const QString& name : files)
        QVERIFY(picture.save(folder.filePath(name), "BMP"));
    auto form = makeForm(folder.path());
    form->Form_Load();

    QVERIFY(form->isVisible());
    QCOMPARE(form->All_button->text(), allCaption);
    QCOMPARE(form->All_button->isEnabled(), allEnabled);
    for (QPushButton* b :
         {form->UpButton, form->DownButton, form->No_duplicates_button, form->Remove_button,
          form->MakeAVI_button, form->Add_button, form->Insert_button, form->PlayAVIbutton})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    QCOMPARE(form->bmplist_filename_label->text(), QString("Picture List - Empty"));
    QCOMPARE(form->bmp_size_label->text(), QString());
    QCOMPARE(form->Preview_filename_label->text(), QString("No File"));
    QCOMPARE(form->PlayAVIbutton->toolTip(), QString("Play AVI file"));
    QCOMPARE(form->lblStatus->text(), QString());
    QCOMPARE(form->CurrentPicturePath, QString());
    QCOMPARE(form->AbortRequested, false);
    QCOMPARE(form->isBusy(), false);
    QCOMPARE(form->MakeAVI_button->text(), QString("Make AVI File"));
}

void MainWindowTest::outputProposedBesideProgram_data() {
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("expected");
    QTest::newRow("volume root") << "/"
                                 << "/PICREEL.avi";
    QTest::newRow("folder") << "/opt/picreel"
                            << "/opt/picreel/PICREEL.avi";
    QTest::newRow("folder with separator") << "/opt/picreel/"
                                           << "/opt/picreel/PICREEL.avi";
}

void MainWindowTest::outputProposedBesideProgram() {
    QFETCH(QString, programFolder);
    QFETCH(QString, expected);
    desktop->programDir = programFolder;
    auto form = makeForm(folder.path());
    form->Form_Load();
    QCOMPARE(form->AviFilePath, expected);
}

// A close request during a job (by the title bar or by Exit) is refused and becomes an abort
// request; when idle the window closes at once, taking the program's other windows along.
void MainWindowTest::closeRefusedWhileBusyAndAcceptedWhenIdle() {
    auto form = makeForm(folder.path());
    form->Form_Load();
    QWidget other;
    other.show();

    form->setBusy(true);
    QCOMPARE(form->MakeAVI_button->text(), QString("RUNNING"));
    QVERIFY(!form->close());
    QVERIFY(form->AbortRequested);
    form->AbortRequested = false;
    form->ExitMenu->trigger();
    QVERIFY(form->isVisible());
    QVERIFY(other.isVisible());
    QVERIFY(form->AbortRequested);
    QVERIFY(desktop->boxes.isEmpty()); // the running job asks; closing itself asks nothing

    form->setBusy(false);
    QCOMPARE(form->MakeAVI_button->text(), QString("Make AVI File"));
    form->AbortRequested = false;
    form->ExitMenu->trigger();
    QVERIFY(!form->isVisible());
    QVERIFY(!other.isVisible());
    QVERIFY(!form->AbortRequested);
}

void MainWindowTest::filmstripFollowsTheSelection() {
    QStringList paths;
    for (int i = 0; i < 3; ++i) {
        QImage picture(640 + i, 480, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        paths << folder.filePath(QString("p%1.bmp").arg(i));
        QVERIFY(picture.save(paths.last(), "BMP"));
    }
    auto form = makeForm(folder.path());
    form->Form_Load();
    for (const QString& p : paths)
        form->BMPlist->AddItem(p);

    // No selection: only the next thumbnail shows, the first picture.
    form->RefreshFilmstrip();
    form->RefreshCommandStates();
    QVERIFY(form->Previous_image->Picture().isNull());
    QVERIFY(form->Selected_Image->Picture().isNull());
    QCOMPARE(form->Next_image->Picture().width(), 640);
    QCOMPARE(form->bmplist_filename_label->text(), QString("Picture List - Empty"));
    QVERIFY(form->MakeAVI_button->isEnabled());
    QVERIFY(!form->Remove_button->isEnabled());

    // Selecting raises the list's click, which refreshes everything under the hourglass
    // and then puts back the pointer it found.
    desktop->setMousePointer(platform::MousePointer::Hourglass);
    desktop->pointerHistory.clear();
    form->BMPlist->setListIndex(1);
    QCOMPARE(desktop->mousePointer(), platform::MousePointer::Hourglass);
    QCOMPARE(form->Previous_image->Picture().width(), 640);
    QCOMPARE(form->Selected_Image->Picture().width(), 641);
    QCOMPARE(form->Next_image->Picture().width(), 642);
    QCOMPARE(form->bmplist_filename_label->text(), QString("p1.bmp"));
    QCOMPARE(form->bmp_size_label->text(), QString("W641 x H480"));
    QVERIFY(form->UpButton->isEnabled());

    // A listed picture that has gone since shows as an empty frame with empty labels.
    QVERIFY(QFile::remove(paths[2]));
    form->BMPlist->setListIndex(2);
    QVERIFY(form->Selected_Image->Picture().isNull());
    QVERIFY(form->Next_image->Picture().isNull());
    QCOMPARE(form->bmplist_filename_label->text(), QString());
    QCOMPARE(form->bmp_size_label->text(), QString());
}

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"

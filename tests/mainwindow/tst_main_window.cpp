#include "controls/image_box.h"
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

    void startupStates();
    void outputProposedBesideProgram_data();
    void outputProposedBesideProgram();
    void closeRefusedWhileBusyAndAcceptedWhenIdle();

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

// Every control other parts of the program reach by name, with its texts, before start-up.
void MainWindowTest::controlsAsDesigned_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tooltip");

    const auto row = [](const char* name, const char* text, const char* tip) {
        QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(tip);
    };
    row("Label1", "Select Source Folder", "");
    row("Drive1", nullptr, "Select Drive");
    row("Dir1", nullptr, "Select Folder");
    row("DesktopButton", "Desktop", "Select your Desktop");
    row("File1", nullptr, "Select picture file for preview (BMP,JPG,GIF)");
    row("No_duplicates_button", "No Duplicates", "Remove any duplicate pictures from list");
    row("lblfps", "Frames/sec (1 - 30)", "");
    row("txtFPS", "1", "Enter number of frames/second for AVI file");
    row("Duration_label", "Duration(sec)/picture", "");
    row("duration_txtbox", "1", "Enter number of seconds per picture in AVI file");
    row("Remove_button", "Remove Picture", "Remove picture from list into preview window");
    row("Preview_filename_label", "Filename", "");
    row("imgPreview", nullptr, "Right-click for full size preview");
    row("PreviewSize_label", "Size", "");
    row("Insert_button", "Insert Picture", "Insert preview picture into list at selection");
    row("Add_button", "Add Picture", "Add preview picture to end of list");
    row("All_button", nullptr, "Add all pictures in current folder to list");
    row("UpButton", "", "Shift selected UP");
    row("bmplist_filename_label", "Filename", "");
    row("BMPlist", nullptr, "List of pictures for AVI file");
    row("DownButton", "", "Shift Selected Down");
    row("bmp_size_label", "Size", "");
    row("MakeAVI_button", "Make AVI File", "Write all pictures in list to an AVI file");
    row("PlayAVIbutton", "Play AVI", "Play AVI file");
    row("lblStatus", "", "Status report for AVI file");
    row("Previous_image_label", "Previous Picture", "");
    row("Previous_image", nullptr, "Click to go backwards");
    row("Selected_image_label", "Selected Picture", "");
    row("Selected_Image", nullptr, "Selected picture in list");
    row("Next_image_label", "Next Picture", "");
    row("Next_image", nullptr, "Click to go forwards");
}

void MainWindowTest::controlsAsDesigned() {
    QFETCH(QString, text);
    QFETCH(QString, tooltip);
    auto form = makeForm(folder.path());
    auto* w = form->findChild<QWidget*>(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY2(w, QTest::currentDataTag());
    QCOMPARE(w->toolTip(), tooltip);
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
}

void MainWindowTest::windowAndArtwork() {
    auto form = makeForm(folder.path());
    QCOMPARE(form->windowTitle(), QString("PICREEL"));
    QCOMPARE(form->centralWidget()->size(), QSize(635, 403));
    QCOMPARE(form->minimumSize(), form->maximumSize()); // fixed border
    QVERIFY(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));

    QCOMPARE(artwork::programIconImage().size(), QSize(32, 32));
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

// Started in a folder without pictures: nothing to add, nothing listed, nothing previewed.
void MainWindowTest::startupStates() {
    QFile notes(folder.filePath("notes.txt"));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    auto form = makeForm(folder.path());
    form->Form_Load();

    QVERIFY(form->isVisible());
    QVERIFY(!form->All_button->isEnabled());
    for (QPushButton* b :
         {form->UpButton, form->DownButton, form->No_duplicates_button, form->Remove_button,
          form->MakeAVI_button, form->Add_button, form->Insert_button, form->PlayAVIbutton})
        QVERIFY2(!b->isEnabled(), qPrintable(b->objectName()));
    QCOMPARE(form->bmplist_filename_label->text(), QString("Picture List - Empty"));
    QCOMPARE(form->bmp_size_label->text(), QString());
    QCOMPARE(form->Preview_filename_label->text(), QString("No File"));
    QCOMPARE(form->PlayAVIbutton->toolTip(), QString("Play AVI file"));
}

void MainWindowTest::outputProposedBesideProgram_data() {
    QTest::addColumn<QString>("programFolder");
    QTest::addColumn<QString>("expected");
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

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"

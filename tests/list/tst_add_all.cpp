#include "controls/file_list.h"
#include "controls/list_box.h"
#include "scripted_platform.h"
#include "started_form.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

using platform::MousePointer;

// Records what a widget showed each time it was really painted.
class PaintLog : public QObject {
public:
    PaintLog(QWidget* watched, std::function<QString()> shown) : shown_(std::move(shown)) {
        watched->installEventFilter(this);
    }
    QStringList seen;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            seen << shown_();
        return false;
    }

private:
    std::function<QString()> shown_;
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

class AddAllTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void damagedFileIsReportedAndSkipped();
    void appendsAfterWhatIsListedEveryTime();
    void emptyFolderDoesNothingAtAll();

private:
    // The main window started in the folder; `listed` entries already in its list.
    StartedForm& start(int listed = 0);

    std::unique_ptr<ScriptedPlatform> desktop;
    std::unique_ptr<QTemporaryDir> folder;
    std::unique_ptr<QTemporaryDir> elsewhere;
    std::unique_ptr<StartedForm> form;
};

void AddAllTest::init() {
    desktop = std::make_unique<ScriptedPlatform>();
    folder = std::make_unique<QTemporaryDir>();
    elsewhere = std::make_unique<QTemporaryDir>();
}

void AddAllTest::cleanup() {
    form.reset();
    folder.reset();
    elsewhere.reset();
    desktop.reset();
}

StartedForm& AddAllTest::start(int listed) {
    form = std::make_unique<StartedForm>(folder->path());
    for (int i = 0; i < listed; ++i)
        (*form)->BMPlist->AddItem(
            writePicture(elsewhere->path(), QString("old%1.bmp").arg(i), QSize(4, 4)));
    // Left from an earlier job: the play reset takes it back.
    (*form)->PlayAVIbutton->setEnabled(true);
    (*form)->PlayAVIbutton->setToolTip("/tmp/earlier.avi");
    desktop->pointerHistory.clear();
    return *form;
}

// The user sees each added file counted as it comes, the damaged one in a box of its own,
// and the whole run happens without the window handling any other event.
void AddAllTest::damagedFileIsReportedAndSkipped() {
    const QString a = writePicture(folder->path(), "a.bmp", QSize(8, 6));
    writeBytes(folder->path(), "b.bmp", "BM not really a bitmap");
    const QString c = writePicture(folder->path(), "c.jpg", QSize(8, 6), "JPEG");
    MyMainForm& f = *start();
    QVERIFY(QTest::qWaitForWindowExposed(&f)); // only a window on screen paints
    PaintLog status(f.lblStatus, [&] { return f.lblStatus->text(); });
    PaintedRows rows(f.BMPlist);
    bool otherEventRan = false;
    QTimer::singleShot(0, [&] { otherEventRan = true; });
    desktop->expectOkBoxes(1);

    f.All_button_Click();

    QCOMPARE(status.seen, (QStringList{"Adding 1 of 3", "Adding 3 of 3", ""}));
    // The refresh after the run paints the list again.
    QCOMPARE(rows.seen.mid(0, 2), (QStringList{"0", "01"}));
    QCOMPARE(desktop->boxes,
             QList<platform::MsgBoxRequest>(
                 {{"File (2 of 3) is not a valid picture format", platform::MsgButtons::OK,
                   platform::MsgIcon::Exclamation, "Unable to Add: b.bmp"}}));
    QCOMPARE(f.BMPlist->ListCount(), 2);
    QCOMPARE(f.BMPlist->List(0), a);
    QCOMPARE(f.BMPlist->List(1), c);
    QCOMPARE(f.BMPlist->ListIndex(), 1);
    QCOMPARE(f.bmplist_filename_label->text(), QString("c.jpg"));
    QCOMPARE(f.lblStatus->text(), QString());
    QVERIFY(!f.PlayAVIbutton->isEnabled());
    QCOMPARE(f.PlayAVIbutton->toolTip(), QString("Play AVI file"));
    QVERIFY(f.MakeAVI_button->isEnabled());
    // Hourglass for the run, default after it, then the list's click under its own.
    QCOMPARE(desktop->pointerHistory, (QList{MousePointer::Hourglass, MousePointer::Default,
                                             MousePointer::Hourglass, MousePointer::Default}));
    QCOMPARE(desktop->doEventsCalls, 0);
    QVERIFY(!otherEventRan);
}

void AddAllTest::appendsAfterWhatIsListedEveryTime() {
    const QString a = writePicture(folder->path(), "a.bmp", QSize(8, 6));
    const QString b = writePicture(folder->path(), "b.bmp", QSize(8, 6));
    MyMainForm& f = *start(5);
    f.BMPlist->setListIndex(0);
    QTest::mouseClick(f.All_button, Qt::LeftButton);
    f.All_button_Click();
    QCOMPARE(f.BMPlist->ListCount(), 9);
    QCOMPARE(f.BMPlist->List(4), QDir(elsewhere->path()).filePath("old4.bmp"));
    QCOMPARE(f.BMPlist->List(5), a);
    QCOMPARE(f.BMPlist->List(6), b);
    QCOMPARE(f.BMPlist->List(7), a);
    QCOMPARE(f.BMPlist->List(8), b);
    QCOMPARE(f.BMPlist->ListIndex(), 8);
}

void AddAllTest::emptyFolderDoesNothingAtAll() {
    MyMainForm& f = *start(2);
    f.BMPlist->setListIndex(0);
    f.lblStatus->setText("Earlier status");
    desktop->pointerHistory.clear();
    QCOMPARE(f.All_button->text(), QString("Add ALL"));
    f.All_button_Click();
    QCOMPARE(f.BMPlist->ListCount(), 2);
    QCOMPARE(f.BMPlist->ListIndex(), 0);
    QVERIFY(f.PlayAVIbutton->isEnabled());
    QCOMPARE(f.lblStatus->text(), QString("Earlier status"));
    QVERIFY(desktop->pointerHistory.isEmpty());
}

QTEST_MAIN(AddAllTest)
#include "tst_add_all.moc"

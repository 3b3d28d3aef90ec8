#include "started_form.h"

#include <QStyledItemDelegate>
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

class AddAllTest : public QObject, WithStartedForm {
    Q_OBJECT

private slots:
    void cleanup() { started.reset(); }

    // The user sees each added file counted as it comes, the damaged one in a box of its own,
    // and the whole run happens without the window handling any other event.
    void damagedFileIsReportedAndSkipped() {
        start(Setting{
            .pictures = {{.name = "a.bmp"}, {.name = "c.jpg", .format = "JPEG"}},
            .arrange = [](StartedForm& s) { writeBytes(s.path(""), "b.bmp", "BM not a bitmap"); }});
        const QString a = started->paths[0], c = started->paths[1];
        QVERIFY(QTest::qWaitForWindowExposed(&w())); // only a window on screen paints
        PaintLog status(ui().lblStatus, [&] { return ui().lblStatus->text(); });
        PaintedRows rows(ui().BMPlist);
        bool otherEventRan = false;
        QTimer::singleShot(0, [&] { otherEventRan = true; });
        desktop().expectOkBoxes(1);

        w().All_button_Click();

        QCOMPARE(status.seen, (QStringList{"Adding 1 of 3", "Adding 3 of 3", ""}));
        // The refresh after the run paints the list again.
        QCOMPARE(rows.seen.mid(0, 2), (QStringList{"0", "01"}));
        QCOMPARE(desktop().boxes,
                 QList<platform::MsgBoxRequest>(
                     {{"File (2 of 3) is not a valid picture format", platform::MsgButtons::OK,
                       platform::MsgIcon::Exclamation, "Unable to Add: b.bmp"}}));
        QCOMPARE(ui().BMPlist->ListCount(), 2);
        QCOMPARE(ui().BMPlist->List(0), a);
        QCOMPARE(ui().BMPlist->List(1), c);
        QCOMPARE(ui().BMPlist->ListIndex(), 1);
        QCOMPARE(ui().bmplist_filename_label->text(), "c.jpg");
        QCOMPARE(ui().lblStatus->text(), QString());
        QVERIFY(!ui().PlayAVIbutton->isEnabled());
        QCOMPARE(ui().PlayAVIbutton->toolTip(), "Play AVI file");
        QVERIFY(ui().MakeAVI_button->isEnabled());
        // Hourglass for the run, default after it, then the list's click under its own.
        QCOMPARE(desktop().pointerHistory, (QList{MousePointer::Hourglass, MousePointer::Default,
                                                  MousePointer::Hourglass, MousePointer::Default}));
        QCOMPARE(desktop().doEventsCalls, 0);
        QVERIFY(!otherEventRan);
    }

    void appendsAfterWhatIsListedEveryTime() {
        start(Setting{.pictures = {{.name = "a.bmp"}, {.name = "b.bmp"}}}, 5);
        const QString a = started->paths[0], b = started->paths[1];
        ui().BMPlist->setListIndex(0);
        QTest::mouseClick(ui().All_button, Qt::LeftButton);
        w().All_button_Click();
        QCOMPARE(ui().BMPlist->ListCount(), 9);
        QCOMPARE(ui().BMPlist->List(4), started->path("old/old4.bmp"));
        QCOMPARE(ui().BMPlist->List(5), a);
        QCOMPARE(ui().BMPlist->List(6), b);
        QCOMPARE(ui().BMPlist->List(7), a);
        QCOMPARE(ui().BMPlist->List(8), b);
        QCOMPARE(ui().BMPlist->ListIndex(), 8);
    }

    void emptyFolderDoesNothingAtAll() {
        start(Setting{}, 2);
        ui().BMPlist->setListIndex(0);
        ui().lblStatus->setText("Earlier status");
        desktop().pointerHistory.clear();
        QCOMPARE(ui().All_button->text(), "Add ALL");
        w().All_button_Click();
        QCOMPARE(ui().BMPlist->ListCount(), 2);
        QCOMPARE(ui().BMPlist->ListIndex(), 0);
        QVERIFY(ui().PlayAVIbutton->isEnabled());
        QCOMPARE(ui().lblStatus->text(), "Earlier status");
        QVERIFY(desktop().pointerHistory.isEmpty());
    }

private:
    // The window started on `setting`, with `listed` pictures of another folder in its list
    // and an earlier video to play.
    void start(const Setting& setting, int listed = 0) {
        started.emplace(setting);
        for (int i = 0; i < listed; ++i)
            ui().BMPlist->AddItem(started->write({.name = QString("old/old%1.bmp").arg(i)}));
        w().setPlayable(started->path("earlier.avi"));
        desktop().pointerHistory.clear();
    }
};

QTEST_MAIN(AddAllTest)
#include "tst_add_all.moc"

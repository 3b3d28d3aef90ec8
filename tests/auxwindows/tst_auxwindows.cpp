#include "auxwindows/frm_about.h"
#include "form_driving.h"
#include "started_form.h"

#include <QApplication>
#include <QTimer>

#include <functional>

using platform::StoredValue;

namespace {

const QString programKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString folderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
const QString unavailable = "System Information Is Unavailable At This Time";

StoredValue text(const QString& value) {
    return {platform::REG_SZ, value.toLocal8Bit() + '\0'};
}

const platform::MsgBoxRequest unavailableBox{unavailable, platform::MsgButtons::OK,
                                             platform::MsgIcon::None, "picreel"};

// "<dir>" stands for a folder the test makes, holding MSINFO32.EXE.
struct SysInfoRow {
    QString first = {};  // the program entry
    QString second = {}; // the folder entry
    bool startWorks = true;
    QStringList started = {};
    QList<platform::MsgBoxRequest> boxes = {};
};

// Runs `act` on the modal window that `open` brings up, and closes it after a while if the
// test did not, so that a fault fails the test instead of hanging it.
void whileModal(const std::function<void()>& open, const std::function<void(QWidget*)>& act) {
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget())
            act(modal);
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        QTest::qFail("modal window left open", __FILE__, __LINE__);
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
    });
    guard.start(5000);
    open();
}

} // namespace

class AuxWindowsTest : public QObject {
    Q_OBJECT

private slots:
    void sysInfoStartsWhatTheEntriesName_data() {
        QTest::addColumn<SysInfoRow>("row");
        QTest::newRow("program entry")
            << SysInfoRow{.first = "/opt/info", .started = {"/opt/info"}};
        QTest::newRow("folder entry")
            << SysInfoRow{.second = "<dir>", .started = {"<dir>/MSINFO32.EXE"}};
        QTest::newRow("first names a missing program") << SysInfoRow{.first = "/no/such",
                                                                     .startWorks = false,
                                                                     .started = {"/no/such"},
                                                                     .boxes = {unavailableBox}};
        QTest::newRow("neither entry") << SysInfoRow{.boxes = {unavailableBox}};
        // The registry call's buffer holds 1,024 bytes.
        QTest::newRow("program entry longer than the buffer")
            << SysInfoRow{.first = QString(1100, 'a'), .boxes = {unavailableBox}};
    }

    // The scripted store opens keys for reading only, so every row also checks that the reader
    // asks for no more.
    void sysInfoStartsWhatTheEntriesName() {
        QFETCH(SysInfoRow, row);
        QTemporaryDir dir;
        writeBytes(dir.path(), "MSINFO32.EXE", "");
        ScriptedPlatform desktop;
        if (!row.first.isEmpty())
            desktop.keyValues[{programKey, "PATH"}] = text(row.first);
        if (!row.second.isEmpty())
            desktop.keyValues[{folderKey, "MSINFO"}] =
                text(row.second.replace("<dir>", dir.path()));
        desktop.startProgramResult = row.startWorks;
        desktop.expectOkBoxes(int(row.boxes.size()));

        frmAbout about(nullptr);
        about.show();
        QTest::mouseClick(about.cmdSysInfo, Qt::LeftButton);

        QCOMPARE(desktop.startedPrograms, row.started.replaceInStrings("<dir>", dir.path()));
        QCOMPARE(desktop.boxes, row.boxes);
        QVERIFY(about.isVisible());
    }

    // No separator between minor version and revision, nor padding: 1.0.12 shows as 1.012.
    void aboutShowsTheProgramVersion() {
        ScriptedPlatform desktop;
        frmAbout about(nullptr, {1, 0, 12});
        about.Form_Load();
        QCOMPARE(about.lblVersion->text(), "Version 1.012");
    }

    void aboutOpensModalAndCloses_data() {
        QTest::addColumn<Qt::Key>("key");
        QTest::newRow("Enter") << Qt::Key_Return;
        QTest::newRow("Esc") << Qt::Key_Escape;
    }

    // The About window does not look at the busy marker either: it opens during a job, modal
    // over the centre of the main window.
    void aboutOpensModalAndCloses() {
        QFETCH(Qt::Key, key);
        StartedForm form;
        QTRY_VERIFY(framed(form.w())); // as the user sees it
        form.w().setBusy(true);
        QString opened;
        QPoint centre;
        bool appModal = false;
        whileModal([&] { form.ui().item("AboutMenu")->trigger(); },
                   [&](QWidget* modal) {
                       opened = modal->objectName();
                       // Where it settles once the window manager has framed it; the
                       // comparison below tells if it never does.
                       (void)QTest::qWaitFor([&] { return framed(*modal); }, 2000);
                       (void)QTest::qWaitFor(
                           [&] {
                               const QPoint off = outerGeometry(*modal).center() -
                                                  outerGeometry(form.w()).center();
                               return off.manhattanLength() <= 2;
                           },
                           2000);
                       centre = outerGeometry(*modal).center();
                       appModal = modal->windowModality() == Qt::ApplicationModal;
                       QWidget* focus = modal->focusWidget() ? modal->focusWidget() : modal;
                       QTest::keyClick(focus, key);
                   });
        QCOMPARE(opened, "frmAbout");
        QVERIFY(appModal);
        QCOMPARE_LE((centre - outerGeometry(form.w()).center()).manhattanLength(), 2);
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QVERIFY(!form.w().abortRequested());
    }

    // Neither command looks at the busy marker: both act during a job and ask for no abort; a
    // missing browser is not reported (a box nobody answers fails the test).
    void tipsAndWebSiteWorkDuringAJob() {
        StartedForm form;
        form.w().setBusy(true);

        form.desktop.expectOkBoxes(1);
        form.ui().item("TipsMenu")->trigger();
        const QList<platform::MsgBoxRequest> boxes = form.desktop.takeBoxes();
        QCOMPARE(boxes.size(), 1);
        QCOMPARE(boxes[0].title, "Help - Tips");

        form.desktop.openDocumentResult = false;
        form.ui().item("FernquillMenu")->trigger();
        QCOMPARE(form.desktop.openedDocuments, QStringList{"https://www.fernquill.example/"});
        QVERIFY(!form.w().abortRequested());
        QVERIFY(form.w().isBusy());
    }
};

QTEST_MAIN(AuxWindowsTest)
#include "tst_auxwindows.moc"

// Times the whole Make command on the real window (offscreen), check included, with the save
// dialog and the compression dialog answered by script. Prints milliseconds and frames.
// Usage: job_bench OUT.avi FPS DURATION FOURCC(DIB|MJPG) NULLFRAMES(0|1) PICTURE...
#include "avi/mavidecs.h"
#include "controls/list_box.h"
#include "form_controls.h"
#include "mainwindow/my_main_form.h"
#include "picture/picture_memory.h"
#include "scripted_platform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <cstdio>

int main(int argc, char** argv) {
    picture::KeepPictureBuffersInTheHeap();
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 7) {
        std::fprintf(stderr, "usage: job_bench OUT FPS DURATION FOURCC NULLFRAMES PICTURE...\n");
        return 2;
    }
    ScriptedPlatform desktop;
    desktop.onDoEvents = [] { QCoreApplication::processEvents(); };
    MyMainForm form;
    const FormControls ui(form);
    form.Form_Load();
    for (const QString& p : args.mid(6))
        ui.BMPlist->AddItem(p);
    form.RefreshCommandStates();
    ui.txtFPS->setText(args[2]);
    ui.duration_txtbox->setText(args[3]);

    mAVIDecs::AVI_COMPRESS_OPTIONS chosen{};
    chosen.fccHandler = mAVIDecs::mmioStringToFOURCCA(qPrintable(args[4].leftJustified(4)), 0);
    if (args[5] == QLatin1String("1"))
        chosen.dwFlags |= mAVIDecs::AVICOMPRESSF_NULLFRAMES;
    mAVIDecs::setSaveOptionsDialog(
        [&](QObject*, const mAVIDecs::SaveOptionsRequest&, mAVIDecs::AVI_COMPRESS_OPTIONS& o) {
            o = chosen;
            return 1;
        });
    QFile::remove(args[1]);
    desktop.answerNextFileDialog(args[1]);

    QElapsedTimer clock;
    clock.start();
    form.MakeAVI_button_Click();
    const qint64 ms = clock.elapsed();
    std::printf("%lld %s\n", static_cast<long long>(ms), qPrintable(ui.lblStatus->text()));
    return ui.lblStatus->text() == QLatin1String(" AVI File - Completed") ? 0 : 1;
}

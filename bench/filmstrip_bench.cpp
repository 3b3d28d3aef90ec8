// Times what a user waits for in the filmstrip and Add ALL, in one run with their peers:
//   filmstrip_bench BIG_FOLDER SMALL_FOLDER [ROUNDS]
// BIG_FOLDER holds a few camera-sized JPEGs; SMALL_FOLDER many small pictures. Prints
//   refresh_median refresh_max refresh_cpu_median whole_decode_median addall addall_cpu qt_load
//   seen_before_median
// in milliseconds: a selection change (list click and filmstrip refresh) in a list of the
// big pictures, as wall time until the workers' thumbnails are painted and as the window
// thread's processor time; the same three pictures
// decoded whole; Add ALL on the small folder (wall and processor time); loading every small
// picture once with QImage (the faster of a run before and one after Add ALL); a selection
// change back to pictures just shown.
#include "bench_timing.h"
#include "controls/file_list.h"
#include "controls/list_box.h"
#include "form_controls.h"
#include "mainwindow/my_main_form.h"
#include "picture/picture_loader.h"
#include "picture/work_ahead.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

// Until the thumbnails the workers are making have arrived and been painted.
void painted() {
    for (int round = 0; round < 3; ++round) {
        picture::AheadPool().waitForDone();
        QCoreApplication::processEvents();
    }
}

// The processor time this thread has used: on a shared machine it shows the work itself,
// whatever else runs beside it.
double cpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

QStringList filesOf(const QString& folder) {
    QStringList paths;
    const QDir dir(folder);
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
        paths << dir.filePath(name);
    return paths;
}

// Reads every file once so that both sides of a comparison start from a warm cache.
void warm(const QStringList& paths) {
    for (const QString& p : paths) {
        QFile f(p);
        if (f.open(QIODevice::ReadOnly))
            f.readAll();
    }
}

double qtLoadAll(const QStringList& paths) {
    QElapsedTimer t;
    t.start();
    int loaded = 0;
    for (const QString& p : paths)
        loaded += QImage(p).isNull() ? 0 : 1;
    if (loaded != paths.size())
        std::fprintf(stderr, "Qt loaded %d of %d pictures\n", loaded, int(paths.size()));
    return msSince(t);
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: filmstrip_bench BIG_FOLDER SMALL_FOLDER [ROUNDS]\n");
        return 2;
    }
    const QString bigFolder = QString::fromLocal8Bit(argv[1]);
    const QString smallFolder = QString::fromLocal8Bit(argv[2]);
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    platform::QtPlatform desktop;
    platform::install(&desktop);

    const QStringList big = filesOf(bigFolder);
    warm(big);
    QDir::setCurrent(bigFolder);
    MyMainForm form;
    const FormControls ui(form);
    form.Form_Load();
    for (const QString& p : big)
        ui.BMPlist->AddItem(p);

    QList<double> refresh, refreshCpu, whole, seenBefore;
    for (int r = 0; r < rounds; ++r) {
        for (int i = 0; i < big.size(); ++i) {
            const int first = std::max(0, i - 1), last = std::min(int(big.size()) - 1, i + 1);
            // First sight: pictures the filmstrip has not kept or read ahead, as if changed.
            for (int j = first; j <= last; ++j)
                ::utimensat(AT_FDCWD, QFile::encodeName(big[j]).constData(), nullptr, 0);
            QElapsedTimer t;
            t.start();
            const double cpu = cpuMs();
            ui.BMPlist->setListIndex(i);
            refreshCpu << cpuMs() - cpu;
            painted();
            refresh << msSince(t);

            // Back and forth over pictures just shown.
            ui.BMPlist->setListIndex(std::max(0, i - 1));
            painted();
            t.restart();
            ui.BMPlist->setListIndex(i);
            painted();
            seenBefore << msSince(t);

            // The peer: the same pictures decoded whole, as a refresh did before.
            t.restart();
            for (int j = first; j <= last; ++j)
                picture::LoadPicture(big[j]);
            whole << msSince(t);
        }
    }

    const QStringList small = filesOf(smallFolder);
    warm(small);
    const double qtBefore = qtLoadAll(small);
    QDir::setCurrent(smallFolder);
    MyMainForm adder;
    const FormControls adderUi(adder);
    adder.Form_Load();
    QElapsedTimer t;
    t.start();
    const double cpu = cpuMs();
    adder.All_button_Click();
    const double addAll = msSince(t);
    const double addAllCpu = cpuMs() - cpu;
    const double qtAfter = qtLoadAll(small);
    if (adderUi.BMPlist->ListCount() != small.size()) {
        std::fprintf(stderr, "Add ALL listed %d of %d pictures\n", adderUi.BMPlist->ListCount(),
                     int(small.size()));
        return 1;
    }

    std::printf("%.1f %.1f %.1f %.1f %.1f %.1f %.1f %.1f\n", median(refresh),
                *std::max_element(refresh.begin(), refresh.end()), median(refreshCpu),
                median(whole), addAll, addAllCpu, std::min(qtBefore, qtAfter), median(seenBefore));
    return 0;
}

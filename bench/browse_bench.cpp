// Times a folder change into a big folder, in one run with its peer:
//   browse_bench BIG_FOLDER OTHER_FOLDER [ROUNDS]
// Prints   change_median change_max listing_median   in milliseconds: opening BIG_FOLDER in
// the folder list until the file list, the Add ALL caption and the command states are up to
// date and the window has handled what the change posted; and listing the same folder's
// names with QDir alone. Each round first opens OTHER_FOLDER so that every change is real.
#include "bench_timing.h"
#include "controls/dir_list.h"
#include "controls/file_list.h"
#include "form_controls.h"
#include "mainwindow/my_main_form.h"
#include "platform/qt/qt_platform.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: browse_bench BIG_FOLDER OTHER_FOLDER [ROUNDS]\n");
        return 2;
    }
    const QString big = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QString other = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;

    platform::QtPlatform desktop;
    platform::install(&desktop);
    QDir::setCurrent(other);
    MyMainForm form;
    const FormControls ui(form);
    form.Form_Load();
    QCoreApplication::processEvents();

    QList<double> change, listing;
    for (int r = 0; r < rounds; ++r) {
        ui.Dir1->setPath(other);
        QCoreApplication::processEvents();

        QElapsedTimer t;
        t.start();
        ui.Dir1->setPath(big);
        QCoreApplication::processEvents();
        change << msSince(t);
        if (!ui.All_button->text().startsWith(QLatin1String("Add ALL [")))
            return 1;

        t.restart();
        const QStringList names = QDir(big).entryList(QDir::Files | QDir::NoDotAndDotDot);
        listing << msSince(t);
        if (names.isEmpty())
            return 1;
    }
    std::printf("%.1f %.1f %.1f\n", median(change), *std::max_element(change.begin(), change.end()),
                median(listing));
    return 0;
}

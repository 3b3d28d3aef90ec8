#include "mainwindow/my_main_form.h"
#include "makeavi/compression_dialog.h"
#include "picture/picture_memory.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/termination_signals.h"
#include "platform/windows_directory.h"

#include <QApplication>

int main(int argc, char** argv) {
    picture::KeepPictureBuffersInTheHeap();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("picreel"));
    platform::QtPlatform desktop;
    platform::install(&desktop);
    platform::CheckWindowsDirectory();
    mAVIDecs::installCompressionDialog();

    MyMainForm form;
    platform::TerminationSignals ending;
    QObject::connect(&ending, &platform::TerminationSignals::requested, &form,
                     &MyMainForm::endByRequest);
    form.Form_Load();
    return app.exec();
}

#include "mainwindow/my_main_form.h"
#include "makeavi/compression_dialog.h"
#include "picture/picture_memory.h"
#include "platform/program_version.h"
#include "platform/qt/qt_platform.h"
#include "platform/qt/termination_signals.h"
#include "platform/windows_directory.h"

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>

namespace {

// The folder or picture to start in, "" for the current folder. Help, the version and a
// wrong command line are answered before any window is made, so that they work on a
// terminal without a display too; they end the program.
QString startArgument(int argc, char** argv) {
    const QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("picreel"));
    QCoreApplication::setApplicationVersion(platform::versionText(platform::programVersion()));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Turns an ordered list of still pictures (BMP, JPEG, GIF) into one AVI "
                       "video. For scripts and batches, use picreel-make."));
    parser.addHelpOption();
    parser.addVersionOption();
    // Qt's own window options (-platform offscreen, -style Fusion, ...) are left to the
    // application object made afterwards.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "display",
                             "geometry", "qwindowgeometry", "title", "qwindowtitle", "qwindowicon",
                             "style", "stylesheet", "session"}) {
        QCommandLineOption qtOption(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        qtOption.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtOption);
    }
    for (const char* name : {"reverse", "nograb", "dograb", "sync", "widgetcount"}) {
        QCommandLineOption qtFlag(QString::fromLatin1(name));
        qtFlag.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(qtFlag);
    }
    parser.addPositionalArgument(
        QStringLiteral("FOLDER|PICTURE"),
        QStringLiteral("The folder to browse first, or a picture: its folder, with the picture "
                       "selected and previewed. Without one, the current folder."),
        QStringLiteral("[FOLDER|PICTURE]"));
    parser.process(app);
    const QStringList given = parser.positionalArguments();
    if (given.size() > 1) {
        std::fputs("picreel: give one folder or picture at most\n", stderr);
        parser.showHelp(1);
    }
    return given.value(0);
}

} // namespace

int main(int argc, char** argv) {
    picture::KeepPictureBuffersInTheHeap();
    const QString startIn = startArgument(argc, argv);
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
    if (!startIn.isEmpty())
        form.startIn(startIn);
    return app.exec();
}

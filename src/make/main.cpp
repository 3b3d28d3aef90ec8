// picreel-make: the Make-AVI job of PICREEL from the command line.
#include "make/byte_names.h"
#include "make/exit_status.h"
#include "make/interrupt.h"
#include "make/make_options.h"
#include "make/run_make.h"
#include "make/version_text.h"
#include "picture/picture_memory.h"

#include <QCoreApplication>
#include <QLoggingCategory>
#include <cstdio>

int main(int argc, char* argv[]) {
    picture::KeepPictureBuffersInTheHeap();
    make::catchInterrupts();
    QCoreApplication app(argc, argv);
    // The AVI layer's reasons reach the user once, in this program's own line; its log
    // stays available through QT_LOGGING_RULES.
    QLoggingCategory::setFilterRules(QStringLiteral("picreel.avi.warning=false"));
    QCoreApplication::setApplicationName(QStringLiteral("picreel-make"));
    QCoreApplication::setApplicationVersion(make::programVersionText());

    // Qt's text would turn such a name into another one.
    if (const auto name = make::firstUncarriedArgument(argc, argv)) {
        std::fprintf(stderr, "picreel-make: %s\n", qPrintable(make::notCarriedReason(*name)));
        return make::ExitPictureUnreadable;
    }
    const make::ParsedCommandLine parsed = make::parseCommandLine(app.arguments());
    using Action = make::ParsedCommandLine::Action;
    switch (parsed.action) {
    case Action::ShowHelp:
        std::fputs(qPrintable(parsed.text), stdout);
        return make::ExitDone;
    case Action::ShowVersion:
        std::printf("picreel-make %s\n", qPrintable(make::programVersionText()));
        return make::ExitDone;
    case Action::ListCompressors:
        std::fputs(qPrintable(make::compressorTable()), stdout);
        return make::ExitDone;
    case Action::Usage:
        std::fprintf(stderr, "picreel-make: %s\nTry 'picreel-make --help' for more.\n",
                     qPrintable(parsed.text));
        return make::ExitUsage;
    case Action::Run:
        break;
    }
    return make::runMake(parsed.options, stdin, stderr);
}

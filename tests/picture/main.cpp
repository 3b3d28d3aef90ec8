#include "console_platform.h"
#include "picture/dib.h"

#include <QGuiApplication>
#include <QTest>
#include <cstdio>

int runDibTests(int argc, char** argv);
int runConversionTests(int argc, char** argv);

namespace {

// Run as `picture_test --probe-load FILE` in a child process under another user: loads FILE
// and prints each box as "icon|prompt" and then the result.
int probeLoad(const char* file) {
    ConsolePlatform probe(true);
    platform::install(&probe);
    picture::cDIB dib;
    const bool loaded = dib.CreateFromFile(QString::fromLocal8Bit(file));
    std::printf("result=%d\n", int(loaded));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--probe-load") == 0)
        return probeLoad(argv[2]);
    QGuiApplication app(argc, argv);
    return runDibTests(argc, argv) | runConversionTests(argc, argv);
}

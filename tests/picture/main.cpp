#include "picture/dib.h"
#include "platform/platform.h"

#include <QGuiApplication>
#include <QTest>
#include <cstdio>

int runDibTests(int argc, char** argv);
int runConversionTests(int argc, char** argv);

namespace {

// Run as `picture_test --probe-load FILE` in a child process under another user: loads FILE
// and prints each box as "icon|prompt" and then the result.
class ProbePlatform final : public platform::Platform {
public:
    platform::MsgAnswer messageBox(const platform::MsgBoxRequest& r) override {
        std::printf("%d|%s\n", int(r.icon), qPrintable(r.prompt));
        return platform::MsgAnswer::OK;
    }
    bool fileDialog(platform::FileDialogMode, platform::CommonDialog&) override { return false; }
    void beep() override {}
    platform::MousePointer mousePointer() const override { return {}; }
    void setMousePointer(platform::MousePointer) override {}
    void doEvents() override {}
    bool openDocument(const QString&) override { return false; }
    bool startProgram(const QString&) override { return false; }
    QString programFolder() const override { return {}; }
    QString windowsDirectory() const override { return {}; }
    QString desktopFolder() const override { return {}; }
    QList<platform::Volume> volumes() const override { return {}; }
    std::optional<QString> keyValue(const QString&, const QString&) const override { return {}; }
};

int probeLoad(const char* file) {
    ProbePlatform probe;
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

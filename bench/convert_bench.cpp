// Times the road from a JPEG to a cDIB (load, save as the temporary Bitmap, read it back),
// whole and stage by stage. Used by bench/convert, which sets it against ffmpeg.
// Usage: picture_convert_bench JPEG FRAMES
#include "console_platform.h"
#include "picture/bitmap_saver.h"
#include "picture/picture_conversion.h"
#include "picture/picture_loader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Median of `frames` runs, in milliseconds.
double median(int frames, const std::function<void()>& run) {
    std::vector<double> times;
    for (int i = 0; i < frames; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3)
        return 2;
    const QString jpeg = QString::fromLocal8Bit(argv[1]);
    const int frames = std::max(1, atoi(argv[2]));
    // Where the program keeps it: the per-user runtime folder when there is one.
    const QString base = qEnvironmentVariable("XDG_RUNTIME_DIR", QDir::tempPath());
    QTemporaryDir windows(base + QStringLiteral("/picreel-bench-XXXXXX"));
    QDir(windows.path()).mkdir(QStringLiteral("TEMP"));
    ConsolePlatform platform(true, windows.path());
    platform::install(&platform);

    picture::cDIB dib;
    QImage holder;
    const double whole = median(frames, [&] { picture::LoadPictureAsDib(jpeg, dib, holder); });
    const QString temp = picture::TempBitmapPath();
    const double load = median(frames, [&] { holder = picture::LoadPicture(jpeg); });
    const double save = median(frames, [&] { picture::SavePicture(holder, temp); });
    const double read = median(frames, [&] { dib.CreateFromFile(temp); });
    std::printf("%.3f %.3f %.3f %.3f %d %d %d\n", whole, load, save, read, dib.Width(),
                dib.Height(), dib.BitCount());
    return 0;
}

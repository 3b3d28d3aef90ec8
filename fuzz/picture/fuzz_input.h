#pragma once

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

// The code under test reads files by name: each input is written to one file in a private
// folder, which also serves as the Windows-directory stand-in (with its TEMP subfolder).
class FuzzFolder {
public:
    FuzzFolder() {
        if (!dir_.isValid() || !QDir(dir_.path()).mkdir(QStringLiteral("TEMP")))
            std::abort();
    }
    QString path() const { return dir_.path(); }
    QString write(const std::uint8_t* data, std::size_t size) {
        const QString name = dir_.filePath(QStringLiteral("input"));
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
            std::abort();
        return name;
    }

private:
    QTemporaryDir dir_;
};

// Decoders complain about damaged input on the message log; here that is only noise.
inline void silenceQtMessages() {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
}

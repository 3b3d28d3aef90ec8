#pragma once

#include <QFile>
#include <QProcess>
#include <QTest>

// The files and programs of the tests. A failure fails the running test, naming what failed.

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        QTest::qFail(qPrintable("cannot write " + path), __FILE__, __LINE__);
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        QTest::qFail(qPrintable("cannot read " + path), __FILE__, __LINE__);
    return file.readAll();
}

// Runs a program and returns its standard output; it must exit 0.
inline QByteArray run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        QTest::qFail(qPrintable(program + " " + args.join(' ') +
                                " failed: " + QString::fromLocal8Bit(p.readAllStandardError())),
                     __FILE__, __LINE__);
    return p.readAllStandardOutput();
}

#pragma once
// Runs the real quellin program without a display and collects what it
// prints.

#include <QByteArray>
#include <QProcess>
#include <QStringList>

struct TRun {
    int Status = -1;
    QByteArray Out;
    QByteArray Err;
};

inline TRun RunQuellin(const QStringList& args) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KELDRA_QUELLIN), args);
    TRun run;
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.Status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.Out = process.readAllStandardOutput();
    run.Err = process.readAllStandardError();
    return run;
}

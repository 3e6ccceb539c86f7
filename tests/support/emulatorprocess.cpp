#include "emulatorprocess.h"

#include <QCoreApplication>
#include <QFile>

#include <csignal>

EmulatorProcess::EmulatorProcess(const QStringList &options)
{
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const QString testProcess = QString::number(QCoreApplication::applicationPid());
    process.start(QStringLiteral(TX48_EMULATOR_PATH),
                  options + QStringList{"--log", logPath(), "--exit-with-parent", testProcess});
    if (!process.waitForStarted(5000))
        return;
    while (!process.canReadLine() && process.waitForReadyRead(5000)) {
    }
    if (process.canReadLine())
        path = QString::fromLocal8Bit(process.readLine()).trimmed();
}

EmulatorProcess::~EmulatorProcess()
{
    stop();
}

void EmulatorProcess::stop()
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished(3000);
    }
}

bool EmulatorProcess::swapModule()
{
    ::kill(pid_t(process.processId()), SIGUSR1);
    while (!process.canReadLine() && process.waitForReadyRead(5000)) {
    }
    return process.readLine().trimmed() == "swapped";
}

bool EmulatorProcess::isRunning() const
{
    return process.state() == QProcess::Running && !path.isEmpty();
}

QString EmulatorProcess::portPath() const
{
    return path;
}

QStringList EmulatorProcess::commands() const
{
    QFile log(logPath());
    if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromLatin1(log.readAll()).split('\n', Qt::SkipEmptyParts);
}

QString EmulatorProcess::logPath() const
{
    return logFolder.filePath(QStringLiteral("commands.log"));
}

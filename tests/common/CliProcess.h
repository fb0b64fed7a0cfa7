// Runs the built tarn-cli as a real process (its path comes from TARN_CLI_PATH, which the
// test's CMakeLists defines) and collects what it printed.
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace tarn::testing {

struct CliRun {
    int exitCode = -1;  // -1 when the program did not finish normally
    QString out;
    QString err;
};

// TARN_PORTS is removed (or set to `tarnPorts` when given), so only the ports a test names
// exist. The user's data folder (where backups go) is `dataHome`, by default one inside the
// working directory, so no test touches the real one.
inline CliRun runCli(const QStringList& arguments, const QString& workingDirectory,
                     const QString& tarnPorts = QString(), const QString& dataHome = QString())
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TARN_PORTS"));
    if (!tarnPorts.isEmpty())
        environment.insert(QStringLiteral("TARN_PORTS"), tarnPorts);
    environment.insert(QStringLiteral("XDG_DATA_HOME"),
                       dataHome.isEmpty() ? workingDirectory + QStringLiteral("/.data") : dataHome);
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TARN_CLI_PATH), arguments);
    CliRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

}  // namespace tarn::testing

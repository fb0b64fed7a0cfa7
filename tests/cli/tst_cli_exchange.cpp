// tarn-cli's exports, printout and imports as a real process where files misbehave: a full
// device and a file size limit (RLIMIT_FSIZE, set in the child) leave an old output byte for
// byte, a folder that takes no new file gets an overwrite in place with a warning, and inputs
// that are not files are refused at once instead of hanging or aborting.
#include "tests/common/CliProcess.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace tarn;
using testing::CliRun;

namespace {

constexpr uid_t Nobody = 65534;

struct ChildSetup {
    qint64 fileSizeLimit = -1;   // RLIMIT_FSIZE in bytes (-1: none)
    bool unprivileged = false;   // run as nobody when the test runs as root
    QString standardOutput;      // a file for standard output instead of a pipe
};

CliRun runCliWith(const QStringList& arguments, const QString& workingDirectory, const ChildSetup& setup)
{
    QProcess process;
    process.setWorkingDirectory(workingDirectory);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TARN_PORTS"));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), workingDirectory + QStringLiteral("/.data"));
    process.setProcessEnvironment(environment);
    if (!setup.standardOutput.isEmpty())
        process.setStandardOutputFile(setup.standardOutput);
    const qint64 limit = setup.fileSizeLimit;
    const bool drop = setup.unprivileged;
    process.setChildProcessModifier([limit, drop] {
        if (limit >= 0) {
            // A write past the limit then fails with EFBIG instead of ending the process.
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit small{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
            setrlimit(RLIMIT_FSIZE, &small);
        }
        if (drop && geteuid() == 0 && (setgid(Nobody) != 0 || setuid(Nobody) != 0))
            _exit(125);
    });
    process.start(QStringLiteral(TARN_CLI_PATH), arguments);
    CliRun run;
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

// A configuration with a few channels in a folder of its own.
QString configuration(const QTemporaryDir& dir)
{
    RadioImage image;
    image.resetToDefaults();
    const QString path = dir.filePath(QStringLiteral("a.tw"));
    if (saveConfiguration(path.toStdString(), image).outcome != FileOutcome::Saved)
        qFatal("cannot save %s", qPrintable(path));
    return path;
}

}  // namespace

class CliExchangeTest : public QObject {
    Q_OBJECT

private slots:
    void outputThatCannotBeWrittenFailsAndKeepsTheOldFile_data()
    {
        QTest::addColumn<QStringList>("arguments");  // OUT stands for the output
        QTest::addColumn<QString>("out");            // a device, a file name in the folder, or "" for stdout
        QTest::addColumn<qint64>("sizeLimit");
        QTest::addColumn<QString>("reason");
        const QString full = QStringLiteral("No space left on device");
        const QString tooLarge = QStringLiteral("File too large");
        QTest::newRow("PDF to a full device") << QStringList{"print", "a.tw", "--pdf", "OUT"} << "/dev/full"
                                              << qint64(-1) << full;
        QTest::newRow("CSV to a full device") << QStringList{"export-csv", "a.tw", "OUT"} << "/dev/full"
                                              << qint64(-1) << full;
        QTest::newRow("text form to a full device") << QStringList{"export", "a.tw", "OUT"} << "/dev/full"
                                                    << qint64(-1) << full;
        QTest::newRow("PDF to a full standard output") << QStringList{"print", "a.tw", "--pdf", "-"} << ""
                                                       << qint64(-1) << full;
        QTest::newRow("CSV to a full standard output") << QStringList{"export-csv", "a.tw"} << "" << qint64(-1)
                                                       << full;
        QTest::newRow("PDF over an old one") << QStringList{"print", "a.tw", "--pdf", "OUT"} << "old.pdf"
                                             << qint64(4096) << tooLarge;
        QTest::newRow("CSV over an old one") << QStringList{"export-csv", "a.tw", "OUT"} << "old.csv"
                                             << qint64(64) << tooLarge;
        QTest::newRow("text form over an old one") << QStringList{"export", "a.tw", "OUT"} << "old.yaml"
                                                   << qint64(1024) << tooLarge;
    }
    void outputThatCannotBeWrittenFailsAndKeepsTheOldFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        QFETCH(qint64, sizeLimit);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        configuration(dir);
        const QByteArray old = "the old export, which must stay\n";
        const bool file = !out.isEmpty() && !out.startsWith('/');
        if (file)
            put(dir.filePath(out), old);
        arguments.replaceInStrings(QStringLiteral("OUT"), out);
        ChildSetup setup;
        setup.fileSizeLimit = sizeLimit;
        if (out.isEmpty())
            setup.standardOutput = QStringLiteral("/dev/full");

        const CliRun run = runCliWith(arguments, dir.path(), setup);

        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(reason), qPrintable(run.err));
        QVERIFY2(!run.out.contains(QStringLiteral("Wrote")) && !run.out.contains(QStringLiteral("exported")),
                 qPrintable(run.out));
        if (file) {
            QCOMPARE(contents(dir.filePath(out)), old);
            const QStringList left = QDir(dir.path()).entryList(QDir::Files | QDir::Hidden);
            QCOMPARE(left, (QStringList{"a.tw", out}));
        }
    }

    void pdfOnStandardOutputLeavesTheCountToStandardError()
    {
        QTemporaryDir dir;
        configuration(dir);
        const CliRun run = runCliWith({"print", "a.tw", "--pdf", "-"}, dir.path(), {});
        QCOMPARE(run.exitCode, 0);
        QVERIFY(run.out.startsWith(QStringLiteral("%PDF")));
        QVERIFY2(run.err.contains(QStringLiteral("pages to standard output")), qPrintable(run.err));
    }

    void folderThatTakesNoNewFileGetsAnOverwriteInPlace_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("target");
        QTest::newRow("CSV export") << QStringList{"export-csv", "a.tw", "kept/out.csv"} << "out.csv";
        QTest::newRow("configuration from CSV")
            << QStringList{"import-csv", "a.tw", "in.csv", "--into", "kept/out.tw"} << "out.tw";
    }
    void folderThatTakesNoNewFileGetsAnOverwriteInPlace()
    {
#ifdef Q_OS_UNIX
        QFETCH(QStringList, arguments);
        QFETCH(QString, target);
        QTemporaryDir dir;
        const QString a = configuration(dir);
        put(dir.filePath(QStringLiteral("in.csv")), "Location,Frequency\n7,145.5\n");
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("kept")));
        const QString path = dir.filePath(QStringLiteral("kept/") + target);
        put(path, QByteArray(20000, 'x'));  // longer than the new contents: the rest must go
        const QString folder = dir.filePath(QStringLiteral("kept"));
        // Root passes every permission check, so the program then runs as nobody, who owns
        // the file but may not add to the folder.
        const bool root = geteuid() == 0;
        if (root) {
            QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
            for (const QString& readable : {a, dir.filePath(QStringLiteral("in.csv"))})
                QCOMPARE(::chmod(QFile::encodeName(readable).constData(), 0644), 0);
            QCOMPARE(::chown(QFile::encodeName(folder).constData(), Nobody, Nobody), 0);
            QCOMPARE(::chown(QFile::encodeName(path).constData(), Nobody, Nobody), 0);
        }
        QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
        QCOMPARE(::chmod(QFile::encodeName(folder).constData(), 0555), 0);
        ChildSetup setup;
        setup.unprivileged = root;

        const CliRun run = runCliWith(arguments, dir.path(), setup);
        ::chmod(QFile::encodeName(folder).constData(), 0755);

        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(QStringLiteral("overwritten in place, not atomically")), qPrintable(run.err));
        QCOMPARE(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{target});
        struct stat kept {};
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &kept), 0);
        QCOMPARE(kept.st_mode & 07777, mode_t(0640));
        // The file now holds exactly what a fresh write gives.
        const QString fresh = dir.filePath(QStringLiteral("fresh.") + QFileInfo(target).suffix());
        QStringList again = arguments;
        again.replaceInStrings(QStringLiteral("kept/") + target, fresh);
        QCOMPARE(runCliWith(again, dir.path(), {}).exitCode, 0);
        QCOMPARE(contents(path), contents(fresh));
#else
        QSKIP("folder permissions are a Unix test");
#endif
    }

    void inputThatIsNotAFileIsRefusedAtOnce_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("reason");
        QTest::newRow("CSV from a folder") << QStringList{"import-csv", "a.tw", "folder"} << "Is a directory";
        QTest::newRow("CSV from a FIFO") << QStringList{"import-csv", "a.tw", "fifo"} << "FIFO";
        QTest::newRow("text form from an endless device") << QStringList{"import", "/dev/zero", "b.tw"} << "device";
        QTest::newRow("text form over 16 MB") << QStringList{"import", "big.yaml", "b.tw"} << "16 MB";
        QTest::newRow("base from a FIFO") << QStringList{"import", "small.yaml", "b.tw", "--base", "fifo"} << "FIFO";
    }
    void inputThatIsNotAFileIsRefusedAtOnce()
    {
#ifdef Q_OS_UNIX
        QFETCH(QStringList, arguments);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString a = configuration(dir);
        const QByteArray before = contents(a);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
        put(dir.filePath(QStringLiteral("small.yaml")), "port: 2\n");
        {
            QFile big(dir.filePath(QStringLiteral("big.yaml")));
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(17 * 1024 * 1024));  // sparse: no disk space taken
        }

        const CliRun run = runCliWith(arguments, dir.path(), {});

        QCOMPARE(run.exitCode, 2);
        QVERIFY2(run.err.contains(reason), qPrintable(run.err));
        QCOMPARE(contents(a), before);
        QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("b.tw"))));
#else
        QSKIP("FIFOs are a Unix test");
#endif
    }
};

QTEST_GUILESS_MAIN(CliExchangeTest)
#include "tst_cli_exchange.moc"

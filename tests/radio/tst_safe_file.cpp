// The one reader and writer of files: what the reader refuses before it reads (anything but a
// regular file, anything over the size bound) and how a write to a device or a FIFO ends.
#include "radio/SafeFile.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using namespace tarn;

class SafeFileTest : public QObject {
    Q_OBJECT

private slots:
    void inputIsCheckedBeforeItIsRead_data()
    {
        QTest::addColumn<QString>("name");  // in the test's folder, or an absolute path
        QTest::addColumn<QString>("reason");  // empty: read
        QTest::newRow("a regular file") << "small.csv" << "";
        QTest::newRow("a folder") << "folder" << "Is a directory";
        QTest::newRow("a FIFO nobody writes") << "fifo" << "FIFO";
        QTest::newRow("an endless device") << "/dev/zero" << "device";
        QTest::newRow("a file over 16 MB") << "big.csv" << "17.0 MB";
    }
    void inputIsCheckedBeforeItIsRead()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
        {
            QFile small(dir.filePath(QStringLiteral("small.csv")));
            QVERIFY(small.open(QIODevice::WriteOnly));
            small.write("Location,Frequency\n");
            QFile big(dir.filePath(QStringLiteral("big.csv")));
            QVERIFY(big.open(QIODevice::WriteOnly));
            QVERIFY(big.resize(17 * 1024 * 1024));  // sparse: no disk space taken
        }
        const QString path = name.startsWith('/') ? name : dir.filePath(name);

        const ReadResult read = readInputFile(QFile::encodeName(path).toStdString());

        QCOMPARE(read.ok, reason.isEmpty());
        if (read.ok) {
            QCOMPARE(QByteArray::fromStdString(read.bytes), QByteArray("Location,Frequency\n"));
        } else {
            QVERIFY2(QString::fromStdString(read.reason).contains(reason), read.reason.c_str());
            QVERIFY(read.bytes.empty());
        }
        QCOMPARE(read.tooLarge != 0, name == QLatin1String("big.csv"));
    }

    void outputToADeviceOrAFifoIsWrittenThroughOrRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("reason");  // empty: written
        QTest::newRow("a device that takes it") << "/dev/null" << "";
        QTest::newRow("a full device") << "/dev/full" << "No space left on device";
        QTest::newRow("a FIFO nobody reads") << "fifo" << "no program reads from the FIFO";
        QTest::newRow("a folder") << "folder" << "Is a directory";
    }
    void outputToADeviceOrAFifoIsWrittenThroughOrRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
        QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("fifo"))).constData(), 0600), 0);
        const QString path = name.startsWith('/') ? name : dir.filePath(name);

        const WriteResult written = writeOutput(QFile::encodeName(path).toStdString(), "a PDF, a CSV or a text form");

        QCOMPARE(written.written, reason.isEmpty());
        QVERIFY2(QString::fromStdString(written.reason).contains(reason), written.reason.c_str());
        QVERIFY(!written.inPlace);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
                 (QStringList{"fifo", "folder"}));
    }
};

QTEST_APPLESS_MAIN(SafeFileTest)
#include "tst_safe_file.moc"

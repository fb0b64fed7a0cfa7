// The configuration file: the ".tw" rule, the saved bytes, loading (magic, short files,
// the scratch block and tail left alone) and saves that fail without harming the old file.
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <QtTest>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tarn;

Q_DECLARE_METATYPE(tarn::FileOutcome)

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray imageBytes(const RadioImage& image)
{
    return QByteArray(reinterpret_cast<const char*>(image.data()), RadioImage::Size);
}

// An image whose every byte differs from a new image's, so a load shows what it replaced.
RadioImage patternedImage(std::uint8_t seed)
{
    RadioImage image;
    for (int i = 0; i < RadioImage::Size; ++i)
        image.data()[i] = static_cast<std::uint8_t>(seed + i * 7);
    return image;
}

}  // namespace

class TestConfigFile : public QObject {
    Q_OBJECT

private slots:
    void twExtensionRule_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("used");
        QTest::newRow("no .tw gets it") << "radio" << "radio.tw";
        QTest::newRow("other extension") << "radio.bin" << "radio.bin.tw";
        QTest::newRow(".tw kept") << "radio.tw" << "radio.tw";
        QTest::newRow("upper-case .TW still gets .tw") << "radio.TW" << "radio.TW.tw";
        QTest::newRow(".tw in a folder name") << "/home/a.tw/radio" << "/home/a.tw/radio";
        QTest::newRow(".two counts") << "radio.two" << "radio.two";
        QTest::newRow(".tw in the middle") << "my.twin" << "my.twin";
    }
    void twExtensionRule()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, used);
        QCOMPARE(QString::fromStdString(withTwExtension(chosen.toStdString())), used);
    }

    void savedFileIsMagicThenTheWholeImage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("radio.tw");
        RadioImage image;
        image.setPortNumber(5);
        image.channelSlot(0)[0] = 0x00;
        const FileResult result = saveConfiguration(path.toStdString(), image);
        QCOMPARE(result.outcome, FileOutcome::Saved);
        const QByteArray bytes = readAll(path);
        QCOMPARE(bytes.size(), 5289);
        QCOMPARE(bytes.left(5), QByteArray("TZ318"));
        QCOMPARE(bytes.mid(5), imageBytes(image));
    }

    void saveReplacesALongerOldFileCompletely()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("radio.tw");
        writeAll(path, QByteArray(9000, 'x'));
        QCOMPARE(saveConfiguration(path.toStdString(), RadioImage()).outcome, FileOutcome::Saved);
        QCOMPARE(readAll(path).size(), 5289);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void saveKeepsTheOldFilesAccessRights()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("private.tw");
        writeAll(path, "old");
        const auto rights = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
        QVERIFY(QFile::setPermissions(path, rights));
        QCOMPARE(saveConfiguration(path.toStdString(), RadioImage()).outcome, FileOutcome::Saved);
        QCOMPARE(QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser), rights);
    }

    void saveThroughALinkUpdatesTheLinkedFile()
    {
        QTemporaryDir dir;
        const QString real = dir.filePath("real.tw");
        const QString link = dir.filePath("link.tw");
        writeAll(real, "old");
        QVERIFY(QFile::link(real, link));
        QCOMPARE(saveConfiguration(link.toStdString(), RadioImage()).outcome, FileOutcome::Saved);
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readAll(real).size(), 5289);
    }

    void saveRefusesWhatIsNotAWritableFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("read-only file") << "0444";
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("link to a device") << "device";
        QTest::newRow("dangling link") << "dangling";
    }
    void saveRefusesWhatIsNotAWritableFile()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        const QString path = dir.filePath("radio.tw");
        const QByteArray old = "TZ318" + imageBytes(patternedImage(5));
        if (kind == "0444") {
            writeAll(path, old);
            QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
        } else if (kind == "fifo") {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        } else {
            QVERIFY(QFile::link(kind == "device" ? "/dev/null" : dir.filePath("gone.tw"), path));
        }
        const FileResult result = saveConfiguration(path.toStdString(), RadioImage());
        QCOMPARE(result.outcome, FileOutcome::CannotWrite);
        QVERIFY(!result.reason.empty());
        QCOMPARE(QString::fromStdString(saveTargetProblem(path.toStdString())),
                 QString::fromStdString(result.reason));
        if (kind == "0444")
            QCOMPARE(readAll(path), old);
        if (kind == "fifo")
            QVERIFY(QFileInfo(path).exists() && !QFileInfo(path).isFile());
        if (kind == "dangling")
            QVERIFY(!QFileInfo::exists(dir.filePath("gone.tw")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Hidden | QDir::System | QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"radio.tw"});
    }

    void saveUnderANameAtTheLengthLimit()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString(251, QLatin1Char('n')) + ".tw");
        QCOMPARE(saveConfiguration(path.toStdString(), patternedImage(3)).outcome, FileOutcome::Saved);
        QCOMPARE(readAll(path).size(), ConfigFileSize);
    }

    void loadRefusesFifoAndDeviceAtOnce_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO without a writer") << "fifo";
        QTest::newRow("device") << "device";
    }
    void loadRefusesFifoAndDeviceAtOnce()
    {
        QFETCH(QString, kind);
        QTemporaryDir dir;
        QString path = "/dev/zero";
        if (kind == "fifo") {
            path = dir.filePath("fifo.tw");
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        }
        RadioImage target = patternedImage(1);
        const RadioImage before = target;
        // The old open of a FIFO waited for a writer forever.
        const FileResult result = loadConfiguration(path.toStdString(), target);
        QCOMPARE(result.outcome, FileOutcome::CannotOpen);
        QVERIFY(!result.reason.empty());
        QVERIFY(target == before);
    }

    void loadRestoresPortNumberAndBody()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("radio.tw");
        RadioImage saved = patternedImage(3);
        saved.setPortNumber(9);
        QCOMPARE(saveConfiguration(path.toStdString(), saved).outcome, FileOutcome::Saved);

        RadioImage loaded;
        const FileResult result = loadConfiguration(path.toStdString(), loaded);
        QCOMPARE(result.outcome, FileOutcome::Loaded);
        QCOMPARE(loaded.portNumber(), 9);
        QCOMPARE(imageBytes(loaded).left(4624), imageBytes(saved).left(4624));
    }

    void loadLeavesScratchAndTailAlone()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("radio.tw");
        QCOMPARE(saveConfiguration(path.toStdString(), patternedImage(1)).outcome, FileOutcome::Saved);

        RadioImage target = patternedImage(100);
        const QByteArray before = imageBytes(target);
        QCOMPARE(loadConfiguration(path.toStdString(), target).outcome, FileOutcome::Loaded);
        QCOMPARE(imageBytes(target).mid(4624), before.mid(4624));
        QCOMPARE(imageBytes(target).left(4624), imageBytes(patternedImage(1)).left(4624));
    }

    void shortFileLoadsAsFarAsItGoes_data()
    {
        QTest::addColumn<int>("bodyBytes");
        QTest::newRow("magic only") << 0;
        QTest::newRow("half the port number") << 2;
        QTest::newRow("into the channel region") << 1000;
        QTest::newRow("into the extension region") << 3000;
        QTest::newRow("up to the scratch block") << 4624;
        QTest::newRow("into the tail") << 5000;
    }
    void shortFileLoadsAsFarAsItGoes()
    {
        QFETCH(int, bodyBytes);
        QTemporaryDir dir;
        const QString path = dir.filePath("short.tw");
        const QByteArray body = imageBytes(patternedImage(50)).left(bodyBytes);
        writeAll(path, "TZ318" + body);

        RadioImage target = patternedImage(200);
        const QByteArray before = imageBytes(target);
        QCOMPARE(loadConfiguration(path.toStdString(), target).outcome, FileOutcome::Loaded);
        const int filled = std::min(bodyBytes, 4624);
        QCOMPARE(imageBytes(target).left(filled), body.left(filled));
        QCOMPARE(imageBytes(target).mid(filled), before.mid(filled));
    }

    void foreignFileIsRefusedAndImageKept_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("other magic") << QByteArray("TZ319") + QByteArray(5284, '\0');
        QTest::newRow("lower case") << QByteArray("tz318") + QByteArray(5284, '\0');
        QTest::newRow("four characters then a zero byte") << QByteArray("TZ31\0" "8", 6) + QByteArray(5284, '\0');
        QTest::newRow("shorter than the magic") << QByteArray("TZ3");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("text file") << QByteArray("hello world\n");
    }
    void foreignFileIsRefusedAndImageKept()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("foreign.tw");
        writeAll(path, content);
        RadioImage target = patternedImage(9);
        const QByteArray before = imageBytes(target);
        QCOMPARE(loadConfiguration(path.toStdString(), target).outcome, FileOutcome::NotTarnFile);
        QCOMPARE(imageBytes(target), before);
    }

    void missingFileCannotBeOpened()
    {
        QTemporaryDir dir;
        RadioImage target;
        const FileResult result = loadConfiguration(dir.filePath("absent.tw").toStdString(), target);
        QCOMPARE(result.outcome, FileOutcome::CannotOpen);
        QVERIFY(!result.reason.empty());
        QVERIFY(target == RadioImage());
    }

    void directoryCannotBeOpened()
    {
        QTemporaryDir dir;
        RadioImage target;
        const FileResult result = loadConfiguration(dir.path().toStdString(), target);
        QCOMPARE(result.outcome, FileOutcome::CannotOpen);
        QVERIFY(!result.reason.empty());
    }

    void saveOntoADirectoryFailsAndLeavesIt()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("folder.tw"));
        const QString path = dir.filePath("folder.tw");
        writeAll(path + "/inside", "keep");
        const FileResult result = saveConfiguration(path.toStdString(), RadioImage());
        QCOMPARE(result.outcome, FileOutcome::CannotWrite);
        QVERIFY(!result.reason.empty());
        QVERIFY(QFileInfo(path).isDir());
        QCOMPARE(readAll(path + "/inside"), QByteArray("keep"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{"folder.tw"});
    }

    void saveIntoAMissingFolderFails()
    {
        QTemporaryDir dir;
        const FileResult result = saveConfiguration(dir.filePath("no/such/radio.tw").toStdString(), RadioImage());
        QCOMPARE(result.outcome, FileOutcome::CannotWrite);
        QVERIFY(!result.reason.empty());
    }

    void saveIntoAFolderThatTakesNoNewFile_data()
    {
        QTest::addColumn<bool>("fileWritable");
        QTest::newRow("a writable file is overwritten in place") << true;
        QTest::newRow("a read-only file is kept") << false;
    }
    void saveIntoAFolderThatTakesNoNewFile()
    {
        QFETCH(bool, fileWritable);
        QTemporaryDir dir;
        const QString path = dir.filePath("radio.tw");
        const QByteArray old = "TZ318" + imageBytes(patternedImage(77)) + QByteArray(100, 'x');
        writeAll(path, old);
        if (!fileWritable)
            QFile::setPermissions(path, QFileDevice::ReadOwner);
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        const bool folderWritable = ::access(QFile::encodeName(dir.path()).constData(), W_OK) == 0;
        FileResult result{FileOutcome::Saved, {}};
        if (!folderWritable)
            result = saveConfiguration(path.toStdString(), patternedImage(5));
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        if (folderWritable)
            QSKIP("running with rights that ignore folder permissions (tst_cli_exchange runs this as nobody)");
        if (fileWritable) {
            QCOMPARE(result.outcome, FileOutcome::Saved);
            QVERIFY(result.inPlace);
            QCOMPARE(readAll(path), "TZ318" + imageBytes(patternedImage(5)));
        } else {
            QCOMPARE(result.outcome, FileOutcome::CannotWrite);
            QVERIFY(!result.reason.empty());
            QCOMPARE(readAll(path), old);
        }
    }

    void saveThatRunsOutOfSpaceKeepsOldFile()
    {
        // A file size limit makes the write fail midway, as a full disk would.
        QTemporaryDir dir;
        const QString path = dir.filePath("radio.tw");
        const QByteArray old = "TZ318" + imageBytes(patternedImage(31));
        writeAll(path, old);

        rlimit previous{};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &previous), 0);
        void (*previousHandler)(int) = std::signal(SIGXFSZ, SIG_IGN);
        rlimit small = previous;
        small.rlim_cur = 1000;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        const FileResult result = saveConfiguration(path.toStdString(), RadioImage());
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);

        QCOMPARE(result.outcome, FileOutcome::CannotWrite);
        QVERIFY(!result.reason.empty());
        QCOMPARE(readAll(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"radio.tw"});
    }
};

QTEST_APPLESS_MAIN(TestConfigFile)
#include "tst_config_file.moc"

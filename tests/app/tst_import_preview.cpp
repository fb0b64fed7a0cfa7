// Every import in the window goes through the preview: a CSV file's bad rows are listed by
// line, the channels go after the last programmed one unless the user places them, the
// programmed channels a placement would replace must be confirmed, and the import is one
// step of the history; the stock sets sit beside "From a file..."; a configuration's
// channels arrive whole.
#include "AppFixture.h"

#include "app/DocumentCommands.h"
#include "app/ImportPreviewDialog.h"
#include "exchange/ExchangeRules.h"
#include "link/MessageDialog.h"
#include "radio/ChannelOps.h"
#include "radio/ChannelRecord.h"
#include "radio/ConfigFile.h"

#include <QMenu>
#include <QTableWidget>
#include <QUndoStack>

using namespace tarn;

namespace {

// Channels 1-3 programmed (CH1-CH3), saved as `name` in the fixture's folder.
QString threeChannels(AppFixture& f, const QString& name)
{
    const ChannelWords& words = ExchangeWords();
    RadioImage image;
    image.resetToDefaults();
    for (int i = 0; i < 3; ++i) {
        ChannelRow row;
        row[ColRxFrequency] = QString::number(145.5 + i * 0.025, 'f', 5).toStdString();
        ApplyFrequencyEdit(row, FrequencyEditMode::NewChannel, words);
        row[ColName] = "CH" + std::to_string(i + 1);
        StoreChannelRow(image, i, row, words);
    }
    const QString path = f.dir.filePath(name);
    if (saveConfiguration(QFile::encodeName(path).toStdString(), image).outcome != FileOutcome::Saved)
        qFatal("cannot save %s", qPrintable(path));
    return path;
}

}  // namespace

class TestImportPreview : public QObject {
    Q_OBJECT
private slots:
    void init() { MessageDialog::setTestHook([](const MessageDialog&) { return 1; }); }
    void cleanup()
    {
        MessageDialog::setTestHook({});
        ImportPreviewDialog::setTestHook({});
    }

    void aFileIsPreviewedPlacedConfirmedAndOneStep()
    {
        AppFixture f;
        CMainFrame* frame = f.frame();
        frame->documents().openConfiguration(threeChannels(f, QStringLiteral("start.tw")));
        const RadioImage original = frame->document().current();
        const QString csv = f.dir.filePath(QStringLiteral("rpt.csv"));
        QFile file(csv);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Location,Name,Frequency\n1,CH1,145.6\n2,RPT,99\n3,RPT,145.65\n");
        file.close();
        scripted(frame).csvPath = [csv](bool) { return csv; };

        QStringList seen;
        ImportPreviewDialog::setTestHook([&](ImportPreviewDialog& preview) {
            // After the last programmed channel first: nothing to replace.
            seen << preview.statusText() << preview.problemLines().join('|') << preview.replacedText();
            seen << preview.table()->item(0, ImportPreviewDialog::NoteColumn)->text();
            preview.setPlacement({PlaceMode::FromChannel, 1});
            seen << preview.replacedText() << QString::number(preview.canImport());
            preview.confirmReplace(true);
            seen << QString::number(preview.canImport());
            return int(QDialog::Accepted);
        });
        frame->commandAction(ID_IMPORT_FROM_FILE)->trigger();

        QCOMPARE(seen, (QStringList{"2en412" "4-5", "en4103: frequency 99 MHz is outside 100-600 MHz", "",
                                    // CH1 stays on channel 1, so the first row's name needs a number.
                                    "en418CH1en420" "1", "2 CH2, 3 CH3", "0", "1"}));
        const RadioImage imported = frame->document().current();
        QCOMPARE(ChannelRowTexts(imported, 1, ExchangeWords())[ColName], std::string("CH12"));
        QCOMPARE(ChannelRowTexts(imported, 1, ExchangeWords())[ColRxFrequency], std::string("145.60000"));
        QCOMPARE(ChannelRowTexts(imported, 2, ExchangeWords())[ColName], std::string("RPT"));
        QVERIFY(ReadChannel(imported, 0) == ReadChannel(original, 0));
        QCOMPARE(frame->document().history()->count(), 1);
        frame->commandAction(ID_EDIT_UNDO)->trigger();
        QVERIFY(frame->document().current() == original);
    }

    void stockSetsSitBesideFromAFile()
    {
        AppFixture f;
        CMainFrame* frame = f.frame();
        QMenu* menu = frame->commandAction(ID_IMPORT_CHANNELS)->menu();
        QVERIFY(menu);
        const QList<QAction*> entries = menu->actions();
        QCOMPARE(entries.value(0), frame->commandAction(ID_IMPORT_FROM_FILE));
        QAction* pmr = nullptr;
        for (QAction* entry : entries)
            if (entry->text() == QStringLiteral("PMR446 (16)"))
                pmr = entry;
        QVERIFY(pmr);
        QCOMPARE(entries.size(), 2 + 9);  // From a file..., a separator, the nine sets

        int rows = 0;
        ImportPreviewDialog::setTestHook([&](ImportPreviewDialog& preview) {
            rows = preview.table()->rowCount();
            return int(QDialog::Accepted);
        });
        pmr->trigger();
        QCOMPARE(rows, 16);
        QVERIFY(frame->document().current().channelInUse(15));
        QVERIFY(!frame->document().current().channelInUse(16));
    }

    void aConfigurationsChannelsArriveWhole()
    {
        AppFixture f;
        CMainFrame* frame = f.frame();
        frame->documents().openConfiguration(threeChannels(f, QStringLiteral("start.tw")));
        RadioImage other;
        const QString otherPath = threeChannels(f, QStringLiteral("other.tw"));
        QVERIFY(loadWholeConfiguration(QFile::encodeName(otherPath).toStdString(), other).outcome == FileOutcome::Loaded);
        scripted(frame).openPath = [otherPath] { return otherPath; };
        ImportPreviewDialog::setTestHook([](ImportPreviewDialog& preview) {
            preview.setTaken(1, false);  // the second channel stays out
            return int(QDialog::Accepted);
        });
        frame->commandAction(ID_IMPORT_FROM_CONFIGURATION)->trigger();

        const RadioImage merged = frame->document().current();
        // Names told apart from CH1-CH3, which stay; every other byte as it was.
        for (auto [row, from, name] : {std::tuple{3, 0, "CH12"}, {4, 2, "CH32"}}) {
            StoredChannel expected = ReadChannel(other, from);
            StoreChannelName(Slot16(expected.extension.data(), layout::ChannelSlotSize), name);
            QVERIFY(ReadChannel(merged, row) == expected);
        }
        QVERIFY(!merged.channelInUse(5));
    }
};

QTEST_MAIN(TestImportPreview)
#include "tst_import_preview.moc"

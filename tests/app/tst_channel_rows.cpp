// Whole rows of the channel page in the window: selected by their numbers, copied and
// pasted through the clipboard (Tarn's own channels and text from other programs), the
// Edit menu's row commands each one step of the history, and the keys an open cell editor
// keeps for itself.
#include "AppFixture.h"

#include "app/ImportPreviewDialog.h"

#include "app/ChannelCommands.h"
#include "app/ChildFrame.h"
#include "exchange/ChannelCsv.h"
#include "link/MessageDialog.h"
#include "pages/CellEditor.h"
#include "pages/CellListCtrl.h"
#include "pages/ChannelDialogs.h"
#include "pages/ChannelFindBar.h"
#include "pages/ChnMsgView.h"
#include "radio/ChannelOps.h"
#include "radio/ConfigFile.h"

#include <QClipboard>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSpinBox>

using namespace tarn;

namespace {

// The words of the fixture's language table ("enN").
ChannelWords fixtureWords()
{
    return ChannelWords::fromLanguage([](int n) { return "en" + std::to_string(n); });
}

// Rows 1-3 and 5-6 programmed (row 4 a gap), with bytes no column shows: the option bits
// the list leaves alone and the ten bytes after the name.
RadioImage startingImage()
{
    const ChannelWords words = fixtureWords();
    const struct {
        int row;
        const char* rx;
        const char* tone;
        const char* name;
    } channels[] = {{0, "146.00000", "88.5", "ALPHA"},
                    {1, "145.50000", "100.0", "BRAVO"},
                    {2, "145.00000", "en12", "CHARLI"},
                    {4, "433.50000", "67.0", "DELTA"},
                    {5, "446.00625", "en12", "ECHO"}};
    RadioImage image;
    image.resetToDefaults();
    for (const auto& c : channels) {
        ChannelRow row{};
        row[ColRxFrequency] = c.rx;
        ApplyFrequencyEdit(row, FrequencyEditMode::NewChannel, words);
        row[ColRxTone] = row[ColTxTone] = c.tone;
        row[ColName] = c.name;
        StoreChannelRow(image, c.row, row, words);
        auto slot = image.channelSlot(c.row);
        slot[layout::channel::OptionsA] |= 0x05;
        auto extension = image.extensionSlot(c.row);
        for (int k = 6; k < 16; ++k)
            extension[k] = static_cast<std::uint8_t>(0x10 * c.row + k);
    }
    return image;
}

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

CChnMsgView* channelPage(CMainFrame* frame)
{
    frame->OpenChannelPage();
    return static_cast<CChnMsgView*>(frame->channelFrame()->page());
}

QPoint cellCenter(CChnMsgView* page, int row, int column)
{
    CellListCtrl* list = page->list();
    const QModelIndex index = list->model()->index(row, column);
    list->scrollTo(index);
    return list->visualRect(index).center();
}

// A click on a row's number, with Ctrl or Shift to select.
void clickNumber(CChnMsgView* page, int row, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mouseClick(page->list()->viewport(), Qt::LeftButton, modifiers, cellCenter(page, row, 0));
    QCoreApplication::processEvents();
}

// A right click on a row, then entry `entry` of the context menu.
void chooseFromContextMenu(CChnMsgView* page, int row, int entry)
{
    QWidget* viewport = page->list()->viewport();
    const QPoint pos = cellCenter(page, row, ColName);
    QTimer::singleShot(0, [entry] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        menu->setActiveAction(menu->actions().at(entry));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, viewport->mapToGlobal(pos));
    QCoreApplication::sendEvent(viewport, &event);
}

std::vector<int> rows(std::initializer_list<int> list)
{
    return list;
}

ChannelRow shownRow(CMainFrame* frame, int row)
{
    return ChannelRowTexts(frame->document().current(), row, fixtureWords());
}

}  // namespace

class TestChannelRows : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void shiftClickCopyAndPasteOnRowTwentyKeepsEveryByte();
    void copiedRowsAreTabSeparatedTextThatPastesBack();
    void pasteRefusals_data();
    void pasteRefusals();
    void eachRowCommandIsOneStep_data();
    void eachRowCommandIsOneStep();
    void openEditorKeepsItsKeys_data();
    void openEditorKeepsItsKeys();
    void findBarAndGoTo();

private:
    void start();
    CMainFrame* frame() const { return m_fixture->frame(); }

    std::unique_ptr<AppFixture> m_fixture;
    CChnMsgView* m_page = nullptr;
    QString m_startPath;
    QStringList m_messages;
    // Text from another program goes through the import preview: its answer, what it listed.
    int m_previewAnswer = QDialog::Accepted;
    QStringList m_previewProblems;
};

void TestChannelRows::init()
{
    m_messages.clear();
    MessageDialog::setTestHook([this](const MessageDialog& dialog) {
        m_messages << dialog.text();
        return 1;
    });
    m_previewAnswer = QDialog::Accepted;
    m_previewProblems.clear();
    ImportPreviewDialog::setTestHook([this](ImportPreviewDialog& dialog) {
        m_previewProblems = dialog.problemLines();
        return m_previewAnswer;
    });
    QGuiApplication::clipboard()->clear();
    start();
}

void TestChannelRows::cleanup()
{
    m_fixture.reset();
    MessageDialog::setTestHook({});
    ImportPreviewDialog::setTestHook({});
}

void TestChannelRows::start()
{
    m_fixture = std::make_unique<AppFixture>();
    frame()->show();
    QVERIFY(QTest::qWaitForWindowActive(frame()));
    m_startPath = m_fixture->dir.filePath(QStringLiteral("start.tw"));
    QCOMPARE(int(saveConfiguration(QFile::encodeName(m_startPath).toStdString(), startingImage()).outcome),
             int(FileOutcome::Saved));
    frame()->documents().openConfiguration(m_startPath);
    m_page = channelPage(frame());
}

void TestChannelRows::shiftClickCopyAndPasteOnRowTwentyKeepsEveryByte()
{
    const RadioImage original = frame()->document().current();
    clickNumber(m_page, 0, Qt::ShiftModifier);
    clickNumber(m_page, 2, Qt::ShiftModifier);
    QCOMPARE(m_page->selectedRows(), rows({0, 1, 2}));
    QVERIFY(!m_page->cellEdit()->isVisible());

    frame()->commandAction(ID_CHANNELS_COPY)->trigger();
    chooseFromContextMenu(m_page, 19, 1);  // Paste
    QCOMPARE(m_page->selectedRows(), rows({19, 20, 21}));

    const QString pasted = m_fixture->dir.filePath(QStringLiteral("pasted.tw"));
    scripted(frame()).savePath = [&] { return pasted; };
    frame()->commandAction(ID_FILE_SAVE)->trigger();
    RadioImage saved;
    QCOMPARE(int(loadConfiguration(QFile::encodeName(pasted).toStdString(), saved).outcome), int(FileOutcome::Loaded));
    for (int k = 0; k < 3; ++k)
        QVERIFY2(ReadChannel(saved, 19 + k) == ReadChannel(original, k), qPrintable(QString::number(k)));

    frame()->commandAction(ID_EDIT_UNDO)->trigger();
    const QString undone = m_fixture->dir.filePath(QStringLiteral("undone.tw"));
    scripted(frame()).savePath = [&] { return undone; };
    frame()->commandAction(ID_FILE_SAVE)->trigger();
    QCOMPARE(fileBytes(undone), fileBytes(m_startPath));
}

void TestChannelRows::copiedRowsAreTabSeparatedTextThatPastesBack()
{
    m_page->selectRows({0, 1, 2});
    frame()->commandAction(ID_CHANNELS_COPY)->trigger();
    const QString text = QGuiApplication::clipboard()->text();
    const QStringList lines = text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 4);
    QStringList header;
    for (std::string_view column : CsvColumns)
        header << QString::fromLatin1(column.data(), qsizetype(column.size()));
    QCOMPARE(lines.at(0), header.join(QLatin1Char('\t')));
    QCOMPARE(lines.at(1).split(QLatin1Char('\t')).size(), header.size());

    // The text alone, as a text editor or a spreadsheet gives it back.
    auto* data = new QMimeData;
    data->setText(text);
    QGuiApplication::clipboard()->setMimeData(data);
    m_page->selectRows({40});
    frame()->commandAction(ID_CHANNELS_PASTE)->trigger();
    QVERIFY(m_previewProblems.isEmpty());
    QCOMPARE(m_messages.filter(QStringLiteral("en174")).size(), m_messages.size());  // only the count
    for (int k = 0; k < 3; ++k)
        for (int c = ColRxFrequency; c < ChannelColumnCount; ++c)
            QCOMPARE(shownRow(frame(), 40 + k)[c], shownRow(frame(), k)[c]);
}

void TestChannelRows::pasteRefusals_data()
{
    QTest::addColumn<QString>("clipboardText");  // empty: rows 1-3 copied in the window
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("answer");             // the button pressed when asked (-1: not asked)
    QTest::addColumn<QString>("said");           // the start of what the user is told or asked
    QTest::addColumn<bool>("changed");

    QTest::newRow("one of three past channel 128") << QString() << 126 << -1 << "en281 1 en282" << false;
    QTest::newRow("overwrite answered no") << QString() << 3 << 1 << "en283 2 en284" << false;
    QTest::newRow("overwrite answered yes") << QString() << 3 << 0 << "en283 2 en284" << true;
    // Text from another program: the preview lists the line it cannot take; cancelled there.
    QTest::newRow("a bad line shown in the preview")
        << "Location\tName\tFrequency\n1\tGOOD\t145.5\n2\tBAD\tnot a frequency\n" << 60 << -1 << "en4103: " << false;
}

void TestChannelRows::pasteRefusals()
{
    QFETCH(QString, clipboardText);
    QFETCH(int, target);
    QFETCH(int, answer);
    QFETCH(QString, said);
    QFETCH(bool, changed);

    if (clipboardText.isEmpty()) {
        m_page->selectRows({0, 1, 2});
        frame()->commandAction(ID_CHANNELS_COPY)->trigger();
    } else {
        QGuiApplication::clipboard()->setText(clipboardText);
        m_previewAnswer = QDialog::Rejected;
    }
    QStringList asked;
    scripted(frame()).choice = [&](const QStringList&, const QString& text) {
        asked << text;
        return answer;
    };
    const RadioImage before = frame()->document().current();
    const int steps = frame()->document().history()->count();

    m_page->selectRows({target});
    frame()->commandAction(ID_CHANNELS_PASTE)->trigger();

    const QStringList reports = scripted(frame()).reports.isEmpty() ? QStringList()
                                                                    : scripted(frame()).reports.last();
    const QString told = (asked + m_messages + m_previewProblems + QStringList{reports.join(QLatin1Char('\n'))})
                             .join(QLatin1Char('|'));
    QVERIFY2(told.startsWith(said), qPrintable(told));
    QCOMPARE(asked.isEmpty(), answer < 0);
    QCOMPARE(!(frame()->document().current() == before), changed);
    QCOMPARE(frame()->document().history()->count(), steps + (changed ? 1 : 0));
}

void TestChannelRows::eachRowCommandIsOneStep_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<std::vector<int>>("selected");
    QTest::addColumn<int>("row");  // a row whose name tells the result
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("undoText");

    auto row = [](const char* tag, int command, std::vector<int> selected, int row, const char* name, const char* undo) {
        QTest::newRow(tag) << command << selected << row << QString(name) << QString(undo);
    };
    row("clear", ID_CHANNELS_CLEAR, {1}, 1, "", "en260 en289");
    row("delete and shift up", ID_CHANNELS_DELETE_SHIFT, {1}, 1, "CHARLI", "en260 en290");
    row("insert", ID_CHANNELS_INSERT, {1}, 2, "BRAVO", "en260 en291");
    row("move down", ID_CHANNELS_MOVE_DOWN, {0, 1}, 0, "CHARLI", "en260 en293");
    row("move up", ID_CHANNELS_MOVE_UP, {4}, 3, "DELTA", "en260 en292");
    row("sort by receive frequency", ID_CHANNELS_SORT_FREQUENCY, {}, 0, "CHARLI", "en260 en294");
    row("sort by name of a block", ID_CHANNELS_SORT_NAME, {4, 5}, 4, "DELTA", "");
    row("pack", ID_CHANNELS_PACK, {}, 3, "DELTA", "en260 en297");
    row("cut and paste", ID_CHANNELS_CUT, {0}, 30, "ALPHA", "en260 en135");
    row("edit selected: tone for two", ID_CHANNELS_EDIT_SELECTED, {0, 1}, 1, "BRAVO", "en260 en298");
    row("fill 16 channels", ID_CHANNELS_FILL, {20}, 35, "", "en260 en299");
}

void TestChannelRows::eachRowCommandIsOneStep()
{
    QFETCH(int, command);
    QFETCH(std::vector<int>, selected);
    QFETCH(int, row);
    QFETCH(QString, name);
    QFETCH(QString, undoText);

    frame()->findChild<ChannelCommands*>()->setDialogRunner([](QDialog& dialog) {
        if (auto* columns = qobject_cast<ColumnChoicesDialog*>(&dialog))
            columns->list(ColRxTone)->setCurrentIndex(columns->list(ColRxTone)->findText(QStringLiteral("88.5")));
        if (auto* fill = qobject_cast<FillDialog*>(&dialog)) {
            fill->startEdit()->setText(QStringLiteral("446.00625"));
            fill->stepEdit()->setText(QStringLiteral("12.5"));
            fill->countBox()->setValue(16);
        }
        return int(QDialog::Accepted);
    });
    const RadioImage before = frame()->document().current();
    const int steps = frame()->document().history()->count();
    m_page->selectRows(selected);
    frame()->commandAction(command)->trigger();
    if (command == ID_CHANNELS_CUT) {
        QVERIFY(frame()->document().current() == before);  // a cut moves the channels when pasted
        m_page->selectRows({30});
        frame()->commandAction(ID_CHANNELS_PASTE)->trigger();
    }

    const ChannelRow shown = shownRow(frame(), row);
    QCOMPARE(QString::fromStdString(shown[ColName]), name);
    if (command == ID_CHANNELS_EDIT_SELECTED)
        QCOMPARE(QString::fromStdString(shownRow(frame(), 1)[ColRxTone]), QStringLiteral("88.5"));
    if (command == ID_CHANNELS_FILL)
        QCOMPARE(QString::fromStdString(shown[ColRxFrequency]), QStringLiteral("446.19375"));
    if (undoText.isEmpty()) {
        // Sorting rows already in order changes nothing and makes no step.
        QCOMPARE(frame()->document().history()->count(), steps);
        return;
    }
    QCOMPARE(frame()->document().history()->count(), steps + 1);
    QCOMPARE(frame()->commandAction(ID_EDIT_UNDO)->text(), undoText);
    frame()->commandAction(ID_EDIT_UNDO)->trigger();
    QVERIFY(frame()->document().current() == before);
}

void TestChannelRows::openEditorKeepsItsKeys_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");  // what the edit box holds after the key

    const int ctrl = Qt::ControlModifier;
    QTest::newRow("Delete in the name box") << int(ColName) << int(Qt::Key_Delete) << 0 << "";
    QTest::newRow("Ctrl+A in the name box") << int(ColName) << int(Qt::Key_A) << ctrl << "BRAVO";
    // The box moves down a row, as Down does.
    QTest::newRow("Ctrl+Down in the name box") << int(ColName) << int(Qt::Key_Down) << ctrl << "CHARLI";
    QTest::newRow("Delete on a closed choice") << int(ColPower) << int(Qt::Key_Delete) << 0 << "";
    QTest::newRow("Ctrl+V on a closed choice") << int(ColPower) << int(Qt::Key_V) << ctrl << "";
}

void TestChannelRows::openEditorKeepsItsKeys()
{
    QFETCH(int, column);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, text);

    // Something to paste, and a yes to the question, so a stolen Ctrl+V would show.
    m_page->selectRows({4});
    frame()->commandAction(ID_CHANNELS_COPY)->trigger();
    scripted(frame()).choice = [](const QStringList&, const QString&) { return 0; };
    QTest::mouseClick(m_page->list()->viewport(), Qt::LeftButton, {}, cellCenter(m_page, 1, column));
    QWidget* editor = column == ColName ? static_cast<QWidget*>(m_page->cellEdit())
                                        : static_cast<QWidget*>(m_page->choiceCombo(column));
    QTRY_VERIFY(editor->isVisible() && editor->hasFocus());
    const RadioImage before = frame()->document().current();
    const int steps = frame()->document().history()->count();

    QTest::keyClick(editor, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(frame()->document().history()->count(), steps);
    QVERIFY(frame()->document().current() == before);
    if (column == ColName)
        QCOMPARE(m_page->cellEdit()->text(), text);
}

void TestChannelRows::findBarAndGoTo()
{
    frame()->commandAction(ID_CHANNELS_FIND)->trigger();
    ChannelFindBar* bar = m_page->findBar();
    QVERIFY(bar->isVisible());
    QTest::keyClicks(bar->field(), "145");  // BRAVO and CHARLI; ALPHA's Tx is 146.00000
    QCOMPARE(m_page->selectedRows(), rows({1}));
    frame()->commandAction(ID_CHANNELS_FIND_NEXT)->trigger();
    QCOMPARE(m_page->selectedRows(), rows({2}));
    frame()->commandAction(ID_CHANNELS_FIND_NEXT)->trigger();  // round to the top
    QCOMPARE(m_page->selectedRows(), rows({1}));
    frame()->commandAction(ID_CHANNELS_FIND_PREVIOUS)->trigger();
    QCOMPARE(m_page->selectedRows(), rows({2}));
    QTest::keyClicks(bar->field(), "x");
    QVERIFY(bar->findChild<QLabel*>()->isVisible());  // not found
    QTest::keyClick(bar->field(), Qt::Key_Escape);
    QVERIFY(!bar->isVisible());

    frame()->findChild<ChannelCommands*>()->setDialogRunner([](QDialog& dialog) {
        static_cast<QInputDialog&>(dialog).setIntValue(100);
        return int(QDialog::Accepted);
    });
    frame()->commandAction(ID_CHANNELS_GO_TO)->trigger();
    QCOMPARE(m_page->selectedRows(), rows({99}));
}

QTEST_MAIN(TestChannelRows)
#include "tst_channel_rows.moc"

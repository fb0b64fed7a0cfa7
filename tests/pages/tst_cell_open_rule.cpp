// Every transition of the open operation of the in-place editors, and the moves of Enter and Tab.
#include "pages/CellOpenRule.h"

#include <QtTest>

using namespace tarn;

Q_DECLARE_METATYPE(tarn::EditorKind)

namespace {
constexpr int Cr = 5;    // current row before the request
constexpr int R = 9;     // requested row
}

class TestCellOpenRule : public QObject {
    Q_OBJECT
private slots:
    void transitions_data();
    void transitions();
    void moves_data();
    void moves();
};

void TestCellOpenRule::transitions_data()
{
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("currentColumn");
    QTest::addColumn<EditorKind>("at");
    QTest::addColumn<int>("column");
    QTest::addColumn<QList<int>>("emptyColumns");  // empty cells of the requested row
    QTest::addColumn<bool>("editTextEmpty");
    QTest::addColumn<bool>("commit");
    QTest::addColumn<bool>("programmed");
    QTest::addColumn<EditorKind>("opens");
    QTest::addColumn<int>("openRow");
    QTest::addColumn<int>("openColumn");
    QTest::addColumn<int>("newState");

    const auto E = EditorKind::EditBox;
    const auto C = EditorKind::Combo;
    const QList<int> none;
    const QList<int> freeRow{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    const QList<int> noName{10};
    const QList<int> noTx{2};

    // Requests at the edit box.
    QTest::newRow("idle, filled rx opens it") << 0 << -1 << E << 1 << none << true << false << false << E << R << 1 << 2;
    QTest::newRow("idle, number column opens rx") << 0 << -1 << E << 0 << none << true << false << false << E << R << 1 << 2;
    QTest::newRow("idle, filled name opens it in state 3") << 0 << -1 << E << 10 << none << true << false << false << E << R << 10 << 3;
    QTest::newRow("idle, empty name of programmed row") << 0 << -1 << E << 10 << noName << true << false << false << E << R << 10 << 3;
    QTest::newRow("idle, free row lands on rx") << 0 << -1 << E << 10 << freeRow << true << false << false << E << R << 1 << 1;
    QTest::newRow("idle, empty tx lands on rx") << 0 << -1 << E << 2 << noTx << true << false << false << E << R << 1 << 1;

    QTest::newRow("new, empty cell, text typed: commit, tx of new row") << 1 << 1 << E << 2 << freeRow << false << true << false << E << Cr << 2 << 2;
    QTest::newRow("new, number column, text typed") << 1 << 1 << E << 0 << none << false << true << false << E << Cr << 2 << 2;
    QTest::newRow("new, empty name, no text, programmed row") << 1 << 1 << E << 10 << noName << true << false << false << E << R << 10 << 3;
    QTest::newRow("new, empty cell, no text") << 1 << 1 << E << 2 << freeRow << true << false << false << E << R << 1 << 1;
    QTest::newRow("new, number column, no text") << 1 << 1 << E << 0 << none << true << false << false << E << R << 1 << 1;
    QTest::newRow("new, filled tx, no text") << 1 << 1 << E << 2 << none << true << false << false << E << R << 2 << 2;
    QTest::newRow("new, filled name, no text") << 1 << 1 << E << 10 << none << true << false << false << E << R << 10 << 3;
    QTest::newRow("new, filled cell, text typed") << 1 << 1 << E << 1 << none << false << true << false << E << Cr << 2 << 2;

    for (int state : {2, 3}) {
        const int cc = state == 2 ? 2 : 10;
        const QByteArray s = QByteArray::number(state);
        QTest::newRow("state " + s + ", filled cell") << state << cc << E << 1 << none << false << true << true << E << R << 1 << 2;
        QTest::newRow("state " + s + ", filled name") << state << cc << E << 10 << none << false << true << true << E << R << 10 << 3;
        QTest::newRow("state " + s + ", empty name of programmed row") << state << cc << E << 10 << noName << false << true << true << E << R << 10 << 3;
        QTest::newRow("state " + s + ", empty cell lands on rx") << state << cc << E << 2 << noTx << false << true << true << E << R << 1 << 1;
        QTest::newRow("state " + s + ", free row") << state << cc << E << 0 << freeRow << false << true << true << E << R << 1 << 1;
    }
    QTest::newRow("state 2 on a combo cell commits no edit text") << 2 << 4 << E << 1 << none << false << false << true << E << R << 1 << 2;

    // Requests at a combo.
    QTest::newRow("combo: idle, empty cell lands on rx") << 0 << -1 << C << 5 << freeRow << true << false << false << E << R << 1 << 1;
    QTest::newRow("combo: idle, filled cell") << 0 << -1 << C << 5 << none << true << false << false << C << R << 5 << 2;
    QTest::newRow("combo: new, empty cell, no text") << 1 << 1 << C << 5 << freeRow << true << false << false << E << R << 1 << 1;
    QTest::newRow("combo: new, text typed, empty cell") << 1 << 1 << C << 7 << freeRow << false << true << false << E << Cr << 2 << 2;
    QTest::newRow("combo: new, text typed, filled cell") << 1 << 1 << C << 7 << none << false << true << false << E << Cr << 2 << 2;
    QTest::newRow("combo: new, filled cell, no text") << 1 << 1 << C << 3 << none << true << false << false << C << R << 3 << 2;
    for (int state : {2, 3}) {
        const QByteArray s = QByteArray::number(state);
        QTest::newRow("combo: state " + s + ", empty cell") << state << 2 << C << 5 << freeRow << false << true << true << E << R << 1 << 1;
        QTest::newRow("combo: state " + s + ", filled cell keeps the state") << state << 2 << C << 5 << none << false << true << true << C << R << 5 << state;
    }
    QTest::newRow("combo: state 2 from a combo cell commits no edit text") << 2 << 3 << C << 4 << none << false << false << true << C << R << 4 << 2;
}

void TestCellOpenRule::transitions()
{
    QFETCH(int, state);
    QFETCH(int, currentColumn);
    QFETCH(EditorKind, at);
    QFETCH(int, column);
    QFETCH(QList<int>, emptyColumns);
    QFETCH(bool, editTextEmpty);

    CellOpenRule rule;
    rule.editState = static_cast<EditState>(state);
    rule.currentRow = currentColumn < 0 ? -1 : Cr;
    rule.currentColumn = currentColumn;
    auto empty = [&](int row, int c) { return row == R && emptyColumns.contains(c); };
    const OpenStep step = rule.decide(R, column, at, empty, editTextEmpty);

    QTEST(step.commitEdit, "commit");
    if (step.commitEdit)
        QTEST(step.rowWasProgrammed, "programmed");
    QTEST(step.open, "opens");
    QTEST(step.row, "openRow");
    QTEST(step.column, "openColumn");
    QTEST(static_cast<int>(step.newState), "newState");

    rule.apply(step, true);
    QCOMPARE(rule.currentRow, step.row);
    QCOMPARE(rule.currentColumn, step.column);
    QCOMPARE(rule.editState, step.newState);
}

void TestCellOpenRule::moves_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<bool>("ctrl");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<int>("toRow");  // -1: no move
    QTest::addColumn<int>("toColumn");

    QTest::newRow("tab to the next column") << 3 << 2 << false << false << 3 << 3;
    QTest::newRow("tab from the name to rx of the next row") << 4 << 10 << false << false << 5 << 1;
    QTest::newRow("tab in the last row's name goes nowhere") << 127 << 10 << false << false << -1 << -1;
    QTest::newRow("shift+tab to the previous column") << 3 << 3 << false << true << 3 << 2;
    QTest::newRow("shift+tab from rx to rx of the previous row") << 5 << 1 << false << true << 4 << 1;
    QTest::newRow("shift+tab from row 0's rx goes nowhere") << 0 << 1 << false << true << -1 << -1;
    QTest::newRow("ctrl to the same column of the next row") << 7 << 4 << true << false << 8 << 4;
    QTest::newRow("ctrl wraps from the last row to row 0") << 127 << 1 << true << false << 0 << 1;
}

void TestCellOpenRule::moves()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(bool, ctrl);
    QFETCH(bool, shift);
    QFETCH(int, toRow);
    QFETCH(int, toColumn);
    const auto move = NextEditorCell(row, column, ctrl, shift, 128, 11, [](int c) { return c >= 1 && c <= 10; });
    if (toRow < 0) {
        QVERIFY(!move);
        return;
    }
    QVERIFY(move);
    QCOMPARE(move->row, toRow);
    QCOMPARE(move->column, toColumn);
}

QTEST_APPLESS_MAIN(TestCellOpenRule)
#include "tst_cell_open_rule.moc"

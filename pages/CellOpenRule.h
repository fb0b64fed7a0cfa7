// The rules of the channel list's in-place editors without any widget: which cell a
// request commits, which editor opens where, the next edit state, and where Enter or Tab
// moves. The widgets ask these and carry out the answer.
#pragma once

#include <functional>
#include <optional>

namespace tarn {

// Edit states shared by all editors of one list; the values are the state numbers the
// editing rule is described with.
enum class EditState {
    Idle = 0,          // after creation and after every reset
    NewFrequency = 1,  // the edit box is on column 1 of a free row
    Editing = 2,       // a frequency cell, or a choice cell of a programmed row
    EditingName = 3    // the name cell, or a choice cell opened from there
};

enum class EditorKind { EditBox, Combo };

// The answer to one open request.
struct OpenStep {
    bool commitEdit = false;         // run the edit box's commit first
    bool rowWasProgrammed = false;   // the flag set before that commit
    EditorKind open = EditorKind::EditBox;
    int row = -1;
    int column = -1;
    EditState newState = EditState::Idle;
};

class CellOpenRule {
public:
    using CellEmpty = std::function<bool(int row, int column)>;

    EditState editState = EditState::Idle;
    int currentRow = -1;
    int currentColumn = -1;

    void reset()
    {
        editState = EditState::Idle;
        currentRow = -1;
        currentColumn = -1;
    }

    // Decides a request for (row, column) that arrived at an editor of the given kind
    // (the edit box serves columns 0, 1, 2 and 10, the combos 3 to 9). The caller commits,
    // places the editor, then calls opened() with the cell it placed it on.
    OpenStep decide(int row, int column, EditorKind at, const CellEmpty& empty,
                    bool editTextEmpty) const;
    // Records a decision as carried out: new state and, when placed, the current cell.
    void apply(const OpenStep& step, bool placed);

    static bool isEditBoxColumn(int column) { return column == 1 || column == 2 || column == 10; }
};

// Where Enter or Tab moves from (row, column): Ctrl goes to the same column of the next
// row (row 0 after the last), Shift goes backwards, otherwise forwards; only columns with
// an editor are landed on. No value: the move ends nowhere.
struct CellMove {
    int row;
    int column;
};
std::optional<CellMove> NextEditorCell(int row, int column, bool ctrl, bool shift, int rowCount,
                                       int columnCount, const std::function<bool(int column)>& hasEditor);

}  // namespace tarn

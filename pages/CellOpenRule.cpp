#include "pages/CellOpenRule.h"

namespace tarn {

namespace {

EditState stateForEditColumn(int column)
{
    return column == 10 ? EditState::EditingName : EditState::Editing;
}

}  // namespace

OpenStep CellOpenRule::decide(int r, int c, EditorKind at, const CellEmpty& empty,
                              bool editTextEmpty) const
{
    OpenStep step;
    auto openEdit = [&](int row, int column, EditState state) {
        step.open = EditorKind::EditBox;
        step.row = row;
        step.column = column;
        step.newState = state;
    };
    auto openCombo = [&](EditState state) {
        step.open = EditorKind::Combo;
        step.row = r;
        step.column = c;
        step.newState = state;
    };
    auto commit = [&](bool programmed) {
        // Only a cell of the edit box holds text of the edit box to commit.
        step.commitEdit = isEditBoxColumn(currentColumn);
        step.rowWasProgrammed = programmed;
    };

    if (at == EditorKind::EditBox) {
        const int k = c == 0 ? 1 : c;
        switch (editState) {
        case EditState::NewFrequency:
            if (empty(r, c) || c == 0) {
                if (!editTextEmpty) {
                    commit(false);
                    openEdit(currentRow, 2, EditState::Editing);
                } else if (c == 10 && !empty(r, 1)) {
                    openEdit(r, 10, EditState::EditingName);
                } else {
                    openEdit(r, 1, EditState::NewFrequency);
                }
            } else if (editTextEmpty) {
                openEdit(r, c, stateForEditColumn(c));
            } else {
                commit(false);
                openEdit(currentRow, 2, EditState::Editing);
            }
            break;
        case EditState::Editing:
        case EditState::EditingName:
            commit(true);
            [[fallthrough]];
        default:  // Idle, and the common opening of states 2 and 3
            if (!empty(r, k))
                openEdit(r, k, stateForEditColumn(k));
            else if (k == 10 && !empty(r, 1))
                openEdit(r, 10, EditState::EditingName);
            else
                openEdit(r, 1, EditState::NewFrequency);
            break;
        }
        return step;
    }

    switch (editState) {
    case EditState::NewFrequency:
        if (!editTextEmpty) {
            commit(false);
            openEdit(currentRow, 2, EditState::Editing);
        } else if (empty(r, c)) {
            openEdit(r, 1, EditState::NewFrequency);
        } else {
            openCombo(EditState::Editing);
        }
        break;
    case EditState::Editing:
    case EditState::EditingName:
        commit(true);
        if (empty(r, c))
            openEdit(r, 1, EditState::NewFrequency);
        else
            openCombo(editState);
        break;
    default:
        if (empty(r, c))
            openEdit(r, 1, EditState::NewFrequency);
        else
            openCombo(EditState::Editing);
        break;
    }
    return step;
}

void CellOpenRule::apply(const OpenStep& step, bool placed)
{
    editState = step.newState;
    if (placed) {
        currentRow = step.row;
        currentColumn = step.column;
    }
}

std::optional<CellMove> NextEditorCell(int row, int column, bool ctrl, bool shift, int rowCount,
                                       int columnCount, const std::function<bool(int column)>& hasEditor)
{
    if (row < 0 || column < 0 || rowCount <= 0)
        return std::nullopt;
    if (ctrl) {
        const int next = row + 1 < rowCount ? row + 1 : 0;
        if (hasEditor(column))
            return CellMove{next, column};
        return std::nullopt;
    }
    if (shift) {
        for (int c = column - 1; c >= 0; --c)
            if (hasEditor(c))
                return CellMove{row, c};
        if (row == 0)
            return std::nullopt;
        for (int c = 0; c < columnCount; ++c)
            if (hasEditor(c))
                return CellMove{row - 1, c};
        return std::nullopt;
    }
    for (int c = column + 1; c < columnCount; ++c)
        if (hasEditor(c))
            return CellMove{row, c};
    if (row + 1 >= rowCount)
        return std::nullopt;
    for (int c = 0; c < columnCount; ++c)
        if (hasEditor(c))
            return CellMove{row + 1, c};
    return std::nullopt;
}

}  // namespace tarn

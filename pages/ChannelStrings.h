// Numbers of the language strings of the channel page's row commands (the Edit menu's
// channel entries, their dialogs and the find bar), written in one place.
#pragma once

namespace tarn::strings {

inline constexpr int Copy = 133;
// The Edit menu's channel entries, in menu order (Copy, Cut and Paste are 133-135).
inline constexpr int ClearChannels = 289;
inline constexpr int DeleteAndShift = 290;
inline constexpr int InsertChannel = 291;
inline constexpr int MoveUp = 292;
inline constexpr int MoveDown = 293;
inline constexpr int SortByFrequency = 294;
inline constexpr int SortByName = 295;
inline constexpr int SortByTone = 296;
inline constexpr int PackChannels = 297;
inline constexpr int EditSelected = 298;
inline constexpr int FillFrequencies = 299;
inline constexpr int Find = 300;
inline constexpr int FindNext = 301;
inline constexpr int FindPrevious = 302;
inline constexpr int GoToChannel = 303;
inline constexpr int FindDuplicates = 304;
inline constexpr int SelectAll = 305;
// The context menu, the dialogs, the find bar and the messages.
inline constexpr int SetForSelectedRows = 306;
inline constexpr int Unchanged = 307;             // "(unchanged)": a list left as it is
inline constexpr int PasteRefused = 308;
inline constexpr int ChannelNumberLabel = 309;    // "Channel (1-128):"
inline constexpr int StartFrequencyLabel = 310;
inline constexpr int StepLabel = 311;
inline constexpr int OffsetLabel = 312;
inline constexpr int ChannelCountLabel = 313;
inline constexpr int NotFound = 314;
inline constexpr int NoDuplicates = 315;
inline constexpr int MoveChannels = 316;
// Column headers the dialogs reuse.
inline constexpr int TxToneHeader = 21;

}  // namespace tarn::strings

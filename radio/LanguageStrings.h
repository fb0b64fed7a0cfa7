// Names for the language strings that several parts of Tarn show, so that a number of the
// language table is written in one place. Strings 0-147 are the original table's, the
// others Tarn's own (see docs/languages.md).
#pragma once

namespace tarn::strings {

inline constexpr int Title = 0;          // every window and message title
inline constexpr int Off = 12;           // the off text of tone lists and choice cells
inline constexpr int Ok = 116;
inline constexpr int Cancel = 117;
inline constexpr int BandOptionCleared = 126;  // the channel notice
inline constexpr int Paste = 134;
inline constexpr int Cut = 135;
inline constexpr int ConfigurationTitle = 29;   // the printout's title and document name

// The history (Edit > Undo, Edit > Redo) and the configuration's name in the status bar.
inline constexpr int Undo = 260;
inline constexpr int Redo = 261;
inline constexpr int StepChannelCell = 262;   // "channel %1 %2": number, column header
inline constexpr int StepReadFromRadio = 263;
inline constexpr int StepImportChannels = 264;
inline constexpr int NewConfiguration = 265;
inline constexpr int ReadFromRadioOn = 266;   // "Read from the radio on %1"
inline constexpr int Modified = 267;
inline constexpr int StepClosePage = 268;     // "Close %1": edits a closing page stored

// The shell's own names.
inline constexpr int NavigationBarTitle = 433;
inline constexpr int DemoStatus = 434;  // "Demo: virtual radio on COM%1 (%2)"
inline constexpr int NoDevice = 440;    // a port button's tip when no device is behind it

}  // namespace tarn::strings

// The printout's page layout as integer arithmetic: the page count, the channel table's
// columns and rows, the settings page's boxes and the header, each page as a list of
// positioned texts, lines and frames. Nothing here draws; PrintPages puts a PrintPage on
// a paint device, and tests read it directly.
#pragma once

#include "radio/PrintContent.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace tarn::print {

// The page header's "page N of M": a language string with two "%d", the first for the
// page, the second for the page count; an empty one prints the Chinese form.
inline constexpr int PageHeaderString = 430;
inline constexpr const char* DefaultPageHeader = "第 %d 页 / 共 %d 页";

// The three faces of the printout (PrintFonts gives the typefaces).
enum class PrintFont {
    Metrics,  // fixed pitch, 9 points: measures the page
    Header,   // fixed pitch, 10 points
    Body      // CJK serif, 10 points: the tables and the settings
};

// Width of a text in device units.
using TextWidth = std::function<int(PrintFont font, const std::string& utf8)>;

struct PrintText {
    PrintFont font = PrintFont::Body;
    int x = 0;
    int y = 0;  // top of the text line
    std::string text;
    bool opaque = false;  // a box title: the frame line behind it is covered
    // Drawn smaller towards its left edge, keeping its middle: a column title that would
    // cross its column's edge.
    double scale = 1.0;
};
struct PrintLine {
    int x1, y1, x2, y2;
};
struct PrintRect {
    int left, top, right, bottom;
};
struct PrintPage {
    std::vector<PrintRect> rects;
    std::vector<PrintLine> lines;
    std::vector<PrintText> texts;
    // A settings page wider than the print width is drawn smaller, all but the header:
    // its first `scaledRects` frames and `scaledTexts` texts, by `scale` towards (scaleX,
    // scaleY).
    double scale = 1.0;
    int scaleX = 0;
    int scaleY = 0;
    std::size_t scaledRects = 0;
    std::size_t scaledTexts = 0;
};

// The print state, fixed once per job from the measured texts and the printable area.
struct PrintMetrics {
    int printWidth = 0;
    int printLeft = 0;
    int linesPerPage = 0;
    int lineHeight = 1;
    int rows = 1;  // channel rows per page
    int channelCount = layout::ChannelCount;  // the rows of the channel pages
    int pageCount = 2;
};

int printWidthFor(int w21, int w6);
// Text lines below the header; 0 when the header does not even fit.
int linesPerPageFor(int printableHeight, int lineHeight);
// Channel rows per page: one line holds the column titles. A page too short for one row
// still prints one row, so the job stays finite (129 channel pages at worst).
int rowsFor(int linesPerPage);
// Channel pages plus the settings page; no channel page when there are no channel rows.
int pageCountFor(int rows, int channelCount = layout::ChannelCount);
int printLeftFor(int printableWidth, int printWidth);
// w21, w6: widths of language string 21 and of "000000" in the measuring font.
PrintMetrics beginPrinting(int w21, int w6, int lineHeight, int printableWidth, int printableHeight,
                           int channelCount = layout::ChannelCount);

// A handout without pages of empty rows: keeps the rows of programmed channels (those
// that show a receive frequency), in their order and with their own numbers.
void keepProgrammedChannels(PrintContent& content);

// Left edge of column c (0-10) of the channel table; edge 11 is its right side.
int columnEdge(const PrintMetrics& metrics, int c);
// The content's row shown by row k (0-based) of channel page p (1-based).
int channelOnRow(const PrintMetrics& metrics, int page, int k);
// A column title of 16 or more characters prints its first 13.
std::string printedTitle(const std::string& utf8);
// A cell prints at most 15 characters.
std::string printedCell(const std::string& utf8);
// `format`: the header's language string; its first two "%d" take the page and the count,
// anything else stays as written.
std::string pageHeaderText(int page, int pageCount, const std::string& format = DefaultPageHeader);
// The scale that keeps a title of width `textWidth` inside `room`: 1 when it fits.
double fitScale(int textWidth, int room);

// The step texts of step settings 0-7.
std::string stepText(int step);

// How a settings row gets its value from the optional functions page.
enum class SettingValue {
    Text,           // the control's text
    TextBelow,      // the control's text, on the next line under the label
    Check,          // "1" when checked, as the box shows it
    Backlight,      // language string 125 unless the first entry is selected, else 45
    Level,          // the selected index as a decimal number
    Step            // the step text of the selected index
};
struct SettingPair {
    int label;  // language string
    SettingValue value;
    std::string key;  // the setting's stable key
};
struct SettingLine {
    int halfLine;  // vertical position in half lines
    std::vector<SettingPair> pairs;  // one, or two side by side
};
struct SettingBox {
    int column;  // 1-4
    int topHalfLine;
    int bottomHalfLine;
    int title;  // language string, -1 for none
    std::vector<SettingLine> lines;
};
const std::vector<SettingBox>& settingsBoxes();
std::string settingValueText(const SettingPair& pair, const PrintContent& content);
std::string keyLineText(const PrintContent& content);

// Page p (1 to pageCount) with the header; the channel pages before the settings page.
PrintPage layoutPage(int page, const PrintMetrics& metrics, const PrintContent& content,
                     const TextWidth& width);

}  // namespace tarn::print

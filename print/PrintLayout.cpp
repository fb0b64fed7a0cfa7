#include "print/PrintLayout.h"

#include "radio/BandSettings.h"
#include "radio/Codecs.h"
#include "radio/LanguageStrings.h"

#include <algorithm>

namespace tarn::print {

namespace {

// Column widths of the channel table in 1/984 of the print width.
constexpr std::array<int, ChannelColumnCount> ColumnUnits{44, 115, 115, 105, 105, 80, 80, 80, 80, 80, 100};
constexpr int ColumnUnitTotal = 984;
// The first n characters (code points) of a UTF-8 text.
std::string firstCharacters(const std::string& utf8, std::size_t n)
{
    std::size_t count = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80)
            continue;
        if (count == n)
            return utf8.substr(0, i);
        ++count;
    }
    return utf8;
}

std::size_t characterCount(const std::string& utf8)
{
    return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }));
}

int halfLineY(int halfLine, int lineHeight)
{
    return halfLine * lineHeight / 2;
}

void addHeader(PrintPage& out, int page, const PrintMetrics& m, const PrintContent& content,
               const TextWidth& width)
{
    const int right = m.printLeft + m.printWidth;
    out.texts.push_back({PrintFont::Header, m.printLeft, 3 * m.lineHeight, content.languageString(strings::ConfigurationTitle)});
    const std::string pages = pageHeaderText(page, m.pageCount, content.languageString(PageHeaderString));
    out.texts.push_back({PrintFont::Header, right - width(PrintFont::Header, pages), 3 * m.lineHeight, pages});
    out.lines.push_back({m.printLeft, 4 * m.lineHeight, right, 4 * m.lineHeight});
}

void addChannelPage(PrintPage& out, int page, const PrintMetrics& m, const PrintContent& content, int gapX,
                    const TextWidth& width)
{
    const int lh = m.lineHeight;
    const int top = halfLineY(9, lh);
    // The frame holds the title line and the rows; linesPerPage = rows + 1 but for a page
    // too short for one row.
    const int bottom = (m.rows + 6) * lh + 20;
    out.rects.push_back({m.printLeft, top, m.printLeft + m.printWidth, bottom});
    for (int c = 0; c <= ChannelColumnCount; ++c)
        out.lines.push_back({columnEdge(m, c), top, columnEdge(m, c), bottom});
    out.lines.push_back({m.printLeft, 6 * lh, m.printLeft + m.printWidth, 6 * lh});

    for (int c = 0; c < ChannelColumnCount; ++c) {
        const std::string title = printedTitle(content.languageString(ChannelColumnHeaders[static_cast<std::size_t>(c)]));
        // The table's width comes from one measured title; the others may need more room
        // than their share, in any language and face: they are drawn smaller instead of
        // running into the next column, keeping half the left gap before its edge.
        const int room = columnEdge(m, c + 1) - columnEdge(m, c) - gapX - gapX / 2;
        PrintText text{PrintFont::Body, columnEdge(m, c) + gapX, lh * 48 / 10, title};
        text.scale = fitScale(width(PrintFont::Body, title), room);
        out.texts.push_back(text);
    }
    for (int k = 0; k < m.rows; ++k) {
        const int i = channelOnRow(m, page, k);
        if (i >= m.channelCount || i >= static_cast<int>(content.channels.size()))
            continue;
        const ChannelRow& row = content.channels[static_cast<std::size_t>(i)];
        for (int c = 0; c < ChannelColumnCount; ++c) {
            const std::string cell = printedCell(row[static_cast<std::size_t>(c)]);
            if (!cell.empty())
                out.texts.push_back({PrintFont::Body, columnEdge(m, c) + gapX, (k + 6) * lh + 10, cell});
        }
    }
}

void addSettingsPage(PrintPage& out, const PrintMetrics& m, const PrintContent& content, int gapX, int gapY,
                     const TextWidth& width)
{
    const int lh = m.lineHeight;
    auto measure = [&](const std::string& text) { return width(PrintFont::Body, text); };
    auto label = [&](const SettingPair& pair) { return content.languageString(pair.label) + "= "; };
    const std::vector<SettingBox>& boxes = settingsBoxes();
    bool firstRow = true;

    int columnX = m.printLeft + gapX;
    for (int column = 1; column <= 4; ++column) {
        int widest = 0;
        for (const SettingBox& box : boxes) {
            if (box.column != column)
                continue;
            // The label columns: of the first pairs and of the second pairs of a line;
            // a label whose value goes below it does not widen them.
            int labelWidth = 0, valueWidth = 0, secondLabelWidth = 0, secondValueWidth = 0, belowWidth = 0;
            for (const SettingLine& line : box.lines) {
                for (std::size_t k = 0; k < line.pairs.size(); ++k) {
                    const SettingPair& pair = line.pairs[k];
                    const int lw = measure(label(pair));
                    const int vw = measure(settingValueText(pair, content));
                    if (pair.value == SettingValue::TextBelow) {
                        belowWidth = std::max(belowWidth, lw);
                        valueWidth = std::max(valueWidth, vw);
                    } else if (k == 0) {
                        labelWidth = std::max(labelWidth, lw);
                        valueWidth = std::max(valueWidth, vw);
                    } else {
                        secondLabelWidth = std::max(secondLabelWidth, lw);
                        secondValueWidth = std::max(secondValueWidth, vw);
                    }
                }
            }
            const int labelX = columnX + gapX;
            const int valueX = labelX + labelWidth;
            const int secondX = valueX + valueWidth + 2 * gapX;
            int content_ = std::max(labelWidth + valueWidth, belowWidth);
            if (secondLabelWidth > 0)
                content_ = std::max(content_, secondX - labelX + secondLabelWidth + secondValueWidth);
            if (box.title >= 0)
                content_ = std::max(content_, 3 * gapY + measure(content.languageString(box.title)));
            const int boxRight = labelX + content_ + gapX;
            widest = std::max(widest, boxRight - columnX);

            const int top = halfLineY(box.topHalfLine, lh);
            // A last row that would cross the lower edge takes the edge below it.
            const int lastRow = box.lines.empty() ? 0 : box.lines.back().halfLine + 2;
            const int bottom = halfLineY(std::max(box.bottomHalfLine, lastRow), lh) + 2 * gapY;
            out.rects.push_back({columnX, top, boxRight, bottom});
            if (box.title >= 0)
                out.texts.push_back({PrintFont::Body, labelX + 3 * gapY, halfLineY(box.topHalfLine - 1, lh) + gapY,
                                     content.languageString(box.title), true});
            for (const SettingLine& line : box.lines) {
                // The first label of the page sits 10 units below its line, like the channel rows.
                const int y = firstRow ? halfLineY(line.halfLine, lh) + 10 : halfLineY(line.halfLine, lh) + gapY;
                firstRow = false;
                for (std::size_t k = 0; k < line.pairs.size(); ++k) {
                    const SettingPair& pair = line.pairs[k];
                    const int x = k == 0 ? labelX : secondX;
                    const int vx = k == 0 ? valueX : secondX + secondLabelWidth;
                    out.texts.push_back({PrintFont::Body, x, y, label(pair)});
                    if (pair.value == SettingValue::TextBelow)
                        out.texts.push_back({PrintFont::Body, valueX, halfLineY(line.halfLine + 2, lh) + gapY,
                                             settingValueText(pair, content)});
                    else
                        out.texts.push_back({PrintFont::Body, vx, y, settingValueText(pair, content)});
                }
            }
        }
        columnX += widest + 2 * gapX;
    }

    const std::string keys = keyLineText(content);
    out.texts.push_back({PrintFont::Body, m.printLeft + 50, 26 * lh, keys});

    // Long labels (English ones) can make the four columns wider than the page.
    const int needed = std::max(columnX - 2 * gapX, m.printLeft + 50 + measure(keys)) - m.printLeft;
    if (needed > m.printWidth && m.printWidth > 0) {
        out.scale = static_cast<double>(m.printWidth) / needed;
        out.scaleX = m.printLeft;
        out.scaleY = 4 * lh;
        out.scaledRects = out.rects.size();
        out.scaledTexts = out.texts.size();
    }
}

}  // namespace

int printWidthFor(int w21, int w6)
{
    return w21 * 904 / 105 + w6 * 22 / 5;
}

int linesPerPageFor(int printableHeight, int lineHeight)
{
    if (lineHeight <= 0 || printableHeight < 7 * lineHeight)
        return 0;
    return (printableHeight - 7 * lineHeight) / lineHeight;
}

int rowsFor(int linesPerPage)
{
    return std::max(1, linesPerPage - 1);
}

int pageCountFor(int rows, int channelCount)
{
    return channelCount / rows + (channelCount % rows != 0 ? 2 : 1);
}

int printLeftFor(int printableWidth, int printWidth)
{
    return (printableWidth - printWidth) / 2;
}

PrintMetrics beginPrinting(int w21, int w6, int lineHeight, int printableWidth, int printableHeight,
                           int channelCount)
{
    PrintMetrics m;
    m.lineHeight = std::max(1, lineHeight);
    m.printWidth = printWidthFor(w21, w6);
    m.linesPerPage = linesPerPageFor(printableHeight, m.lineHeight);
    m.rows = rowsFor(m.linesPerPage);
    m.channelCount = std::clamp(channelCount, 0, layout::ChannelCount);
    m.pageCount = pageCountFor(m.rows, m.channelCount);
    m.printLeft = printLeftFor(printableWidth, m.printWidth);
    return m;
}

int columnEdge(const PrintMetrics& metrics, int c)
{
    int units = 0;
    for (int k = 0; k < c && k < ChannelColumnCount; ++k)
        units += ColumnUnits[static_cast<std::size_t>(k)];
    return metrics.printLeft + units * metrics.printWidth / ColumnUnitTotal;
}

int channelOnRow(const PrintMetrics& metrics, int page, int k)
{
    return k + (page - 1) * metrics.rows;
}

std::string printedTitle(const std::string& utf8)
{
    return characterCount(utf8) >= 16 ? firstCharacters(utf8, 13) : utf8;
}

std::string printedCell(const std::string& utf8)
{
    return firstCharacters(utf8, 15);
}

void keepProgrammedChannels(PrintContent& content)
{
    std::erase_if(content.channels, [](const ChannelRow& row) { return row[ColRxFrequency].empty(); });
}

std::string pageHeaderText(int page, int pageCount, const std::string& format)
{
    // The format comes from a file the user may edit: it is never handed to printf.
    const std::string& pattern = format.empty() ? std::string(DefaultPageHeader) : format;
    std::string text;
    int filled = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (filled < 2 && pattern.compare(i, 2, "%d") == 0) {
            text += std::to_string(filled++ == 0 ? page : pageCount);
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

double fitScale(int textWidth, int room)
{
    // A column without any room (a print width of a few units) has nothing to fit into.
    if (textWidth <= room || room <= 0)
        return 1.0;
    return static_cast<double>(room) / textWidth;
}

std::string stepText(int step)
{
    const auto& steps = Steps();
    return step >= 0 && step < static_cast<int>(steps.size()) ? std::string(steps[static_cast<std::size_t>(step)].printed)
                                                               : std::string();
}

const std::vector<SettingBox>& settingsBoxes()
{
    using V = SettingValue;
    // The band groups: the A band's settings, then the B band's.
    auto band = [](Band b) {
        const bool a = b == Band::A;
        auto key = [b](std::string_view row) { return BandSettingKey(b, row); };
        return SettingBox{a ? 3 : 4, 9, 40, a ? 72 : 73, {
            {11, {{74, V::Text, key("frequency")}}}, {13, {{22, V::Text, key("power")}}},
            {15, {{75, V::Text, key("txTone")}}}, {17, {{76, V::Text, key("rxTone")}}},
            {19, {{24, V::Text, key("bandwidth")}}}, {21, {{53, V::Text, key("bandLimited")}}},
            {23, {{77, V::Text, key("offsetDirection")}}}, {25, {{80, V::Text, key("offset")}}},
            {27, {{81, V::Text, key("displayMode")}}}, {29, {{a ? 86 : 87, V::Level, key("squelch")}}},
            {31, {{a ? 88 : 89, V::Step, key("step")}}}}};
    };
    static const std::vector<SettingBox> boxes{
        {1, 9, 21, -1, {{10, {{50, V::Text, "startupDisplay"}}}, {13, {{136, V::Text, "startupText"}}},
                        {15, {{46, V::Text, "voicePrompt"}}}, {17, {{43, V::Text, "timeOut"}}},
                        {19, {{44, V::Text, "timeOutAlert"}}}}},
        {1, 23, 27, 54, {{24, {{55, V::Check, "menu"}}}}},
        {1, 28, 36, -1, {{29, {{56, V::Check, "powerSave"}, {57, V::Check, "beep"}}},
                         {31, {{58, V::Check, "autoLock"}, {59, V::Check, "stopwatch"}}},
                         {33, {{114, V::Check, "keyLock"}}}, {35, {{141, V::Check, "tdr"}}}}},
        {2, 9, 15, -1, {{11, {{60, V::Text, "vox"}}}, {13, {{61, V::Text, "scanMode"}}}}},
        {2, 16, 36, -1, {{19, {{64, V::Backlight, "backlight"}}}, {21, {{65, V::Text, "endTone"}}},
                         {23, {{69, V::TextBelow, "modePassword"}}}, {27, {{70, V::TextBelow, "resetPassword"}}},
                         {31, {{71, V::Text, "priority"}}}}},
        band(Band::A),
        band(Band::B),
        {1, 38, 50, -1, {{39, {{137, V::Text, "pttMode"}}}, {41, {{127, V::Text, "pttId"}}},
                         {43, {{128, V::Text, "localId"}}}, {45, {{129, V::Text, "dtmfSideTone"}}}}},
    };
    return boxes;
}

std::string settingValueText(const SettingPair& pair, const PrintContent& content)
{
    const ControlState state = content.option(pair.key);
    switch (pair.value) {
    case SettingValue::Text:
    case SettingValue::TextBelow:
        return state.text;
    case SettingValue::Check:
        return state.checked ? "1" : "0";
    case SettingValue::Backlight:
        return content.languageString(state.selection != 0 ? 125 : 45);
    case SettingValue::Level:
        return state.selection >= 0 ? std::to_string(state.selection) : std::string();
    case SettingValue::Step:
        return stepText(state.selection);
    }
    return {};
}

std::string keyLineText(const PrintContent& content)
{
    const std::string gap = "   ";
    return content.languageString(34) + content.languageString(121) + gap + content.languageString(35)
        + content.sideKeyText + gap + content.languageString(36) + "MONI" + gap + content.languageString(37)
        + content.languageString(38) + gap;
}

PrintPage layoutPage(int page, const PrintMetrics& metrics, const PrintContent& content, const TextWidth& width)
{
    PrintPage out;
    const int w4 = width(PrintFont::Body, "0000");
    const int gapX = w4 / 5;
    const int gapY = w4 / 25;
    if (page < metrics.pageCount)
        addChannelPage(out, page, metrics, content, gapX, width);
    else
        addSettingsPage(out, metrics, content, gapX, gapY, width);
    // The header is drawn last, over whatever lies beneath.
    addHeader(out, page, metrics, content, width);
    return out;
}

}  // namespace tarn::print

#include "link/MessageDialog.h"

#include "link/MessageLayout.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tarn {

namespace {

// Dialog units of the template's 10-point "System" font: 7 x 16 pixel base units. The
// pages scale their templates with their own font (pages/DialogUnits); the message box keeps
// the template's fixed factors instead, because its text layout (MessageLayout) wraps and
// places lines in those pixels whatever the font, and link/ cannot reach pages/.
constexpr int dluX(int units) { return units * 7 / 4; }
constexpr int dluY(int units) { return units * 16 / 8; }

// The template: 187 x 98 units, the button row at 69 units, 14 high.
constexpr int BoxWidth = dluX(187);
constexpr int BoxHeight = dluY(98);
constexpr int ButtonTop = dluY(69);
constexpr int ButtonWidth = dluX(50);
constexpr int ButtonHeight = dluY(14);
constexpr int BelowButtons = BoxHeight - ButtonTop - ButtonHeight;
// Room kept beside wrapped lines and between the text and the buttons.
constexpr int Margin = dluX(7);
// With a list of details: room for a line such as "Channel 128 Rx freq: 145.50000 ->
// 145.52500" and a dozen lines of them.
constexpr int DetailsBoxWidth = dluX(330);
constexpr int DetailsHeight = dluY(120);

MessageDialog::Hook& testHook()
{
    static MessageDialog::Hook hook;
    return hook;
}

}  // namespace

MessageDialog::MessageDialog(QWidget* parent)
    : QDialog(parent), m_button(new QPushButton(this))
{
    m_button->setDefault(true);
    m_button->setAutoDefault(true);
    connect(m_button, &QPushButton::clicked, this, &QDialog::accept);
    // The desktop's own window colours, light or dark: the text is painted in its text colour.
    setAutoFillBackground(true);
    layoutText();
}

void MessageDialog::setTitle(const QString& title)
{
    m_title = title;
    setWindowTitle(title);
}

void MessageDialog::setButtonText(const QString& buttonText)
{
    m_buttonText = buttonText;
    m_button->setText(buttonText);
}

void MessageDialog::setText(const QString& text)
{
    m_text = text;
    // The text is painted, not a label: screen readers get it from the box and its buttons.
    setAccessibleDescription(text);
    m_button->setAccessibleDescription(text);
    for (QPushButton* button : std::as_const(m_choiceButtons))
        button->setAccessibleDescription(text);
    layoutText();
    update();
}

int MessageDialog::run()
{
    if (testHook())
        return testHook()(*this);
    return exec();
}

int MessageDialog::show(QWidget* parent, const QString& title, const QString& buttonText,
                        const QString& text)
{
    return ask(parent, title, {buttonText}, text) == 0 ? int(QDialog::Accepted) : int(QDialog::Rejected);
}

void MessageDialog::setChoices(const QStringList& buttonTexts)
{
    qDeleteAll(m_choiceButtons);
    m_choiceButtons.clear();
    m_choices = buttonTexts;
    m_button->setVisible(buttonTexts.isEmpty());
    for (int i = 0; i < buttonTexts.size(); ++i) {
        auto* button = new QPushButton(buttonTexts[i], this);
        button->setDefault(i == 0);
        button->setAutoDefault(true);
        button->setAccessibleDescription(m_text);
        connect(button, &QPushButton::clicked, this, [this, i] { done(choiceResult(i)); });
        button->show();
        m_choiceButtons.append(button);
    }
    layoutText();
    if (!m_choiceButtons.isEmpty())
        m_choiceButtons.first()->setFocus();
}

void MessageDialog::setDetails(const QStringList& details)
{
    m_details = details;
    if (details.isEmpty()) {
        delete m_detailsList;
        m_detailsList = nullptr;
    } else {
        if (!m_detailsList) {
            m_detailsList = new QPlainTextEdit(this);
            m_detailsList->setReadOnly(true);
            m_detailsList->setLineWrapMode(QPlainTextEdit::NoWrap);
            m_detailsList->show();
        }
        m_detailsList->setPlainText(details.join(QLatin1Char('\n')));
        m_detailsList->setAccessibleName(m_text);
    }
    layoutText();
    update();
}

int MessageDialog::boxWidth() const
{
    return m_details.isEmpty() ? BoxWidth : DetailsBoxWidth;
}

void MessageDialog::placeButtons(int top)
{
    m_button->setGeometry(dluX(59) + (width() - BoxWidth) / 2, top, ButtonWidth, ButtonHeight);
    const int gap = dluX(6);
    const int count = static_cast<int>(m_choiceButtons.size());
    // A button text wider than the template's button (a long choice) gets the width it needs.
    QList<int> widths;
    int total = (count - 1) * gap;
    for (QPushButton* button : std::as_const(m_choiceButtons)) {
        widths << qMax(ButtonWidth, button->sizeHint().width());
        total += widths.last();
    }
    int x = (width() - total) / 2;
    for (int i = 0; i < count; ++i) {
        m_choiceButtons[i]->setGeometry(x, top, widths[i], ButtonHeight);
        x += widths[i] + gap;
    }
}

void MessageDialog::layoutText()
{
    const QFont font = messageFont(tarn::messagePointSize(m_text));
    const QFontMetrics metrics(font, this);
    const int box = boxWidth();
    auto line = [&](int x, int top, const QString& text) {
        return TextLine{QRect(x, top, metrics.horizontalAdvance(text), metrics.height()), text};
    };
    m_lines.clear();

    // The template's way: one line centred at 28, or the split into two lines at 16 and 40.
    const int width = metrics.horizontalAdvance(m_text);
    const int x = (box - width) / 2;
    const tarn::MessageLines split = tarn::splitMessage(m_text, x >= 0);
    if (m_text.contains(QLatin1Char('\n'))) {
        // Lines of their own (a refused import's reasons): wrapped below.
    } else if (!split.split && x >= 0) {
        m_lines = {line(x, 28, m_text)};
    } else if (split.split) {
        const TextLine first = line(1, 16, split.first);
        const int secondWidth = metrics.horizontalAdvance(split.second);
        const TextLine second = line((box - secondWidth) / 2, 40, split.second);
        if (first.rect.right() < box && second.rect.left() >= 0)
            m_lines = {first, second};
    }

    // A text those two lines would cut (two notices joined, a long English message) is
    // wrapped to the box's width instead, and the box grows downwards to hold it.
    int buttonTop = ButtonTop;
    int textBottom = m_lines.isEmpty() ? 16 : m_lines.last().rect.bottom() + 1;
    if (m_lines.isEmpty()) {
        const QStringList wrapped = tarn::wrapMessage(m_text, box - 2 * Margin,
                                                      [&](const QString& t) { return metrics.horizontalAdvance(t); });
        int top = 16;
        for (const QString& text : wrapped) {
            m_lines.append(line((box - metrics.horizontalAdvance(text)) / 2, top, text));
            top += metrics.lineSpacing();
        }
        textBottom = top;
        buttonTop = qMax(ButtonTop, top + Margin);
    }
    if (m_detailsList) {
        const int top = textBottom + Margin;
        m_detailsList->setGeometry(Margin, top, box - 2 * Margin, DetailsHeight);
        buttonTop = qMax(buttonTop, top + DetailsHeight + Margin);
    }
    setFixedSize(box, buttonTop + ButtonHeight + BelowButtons);
    placeButtons(buttonTop);
}

void MessageDialog::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        layoutText();
}

int MessageDialog::ask(QWidget* parent, const QString& title, const QStringList& buttonTexts,
                       const QString& text)
{
    return ask(parent, title, buttonTexts, text, {});
}

int MessageDialog::ask(QWidget* parent, const QString& title, const QStringList& buttonTexts,
                       const QString& text, const QStringList& details)
{
    MessageDialog dialog(parent);
    dialog.setTitle(title);
    dialog.setText(text);
    dialog.setDetails(details);
    if (buttonTexts.size() == 1)
        dialog.setButtonText(buttonTexts.first());
    else
        dialog.setChoices(buttonTexts);
    const int result = dialog.run();
    if (buttonTexts.size() == 1)
        return result == QDialog::Accepted ? 0 : -1;
    const int index = result - FirstChoice;
    return index >= 0 && index < buttonTexts.size() ? index : -1;
}

void MessageDialog::setTestHook(Hook hook)
{
    testHook() = std::move(hook);
}

QFont MessageDialog::messageFont(int pointSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("华文正楷"), QStringLiteral("STKaiti"), QStringLiteral("KaiTi"),
                      QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UKai TW"),
                      QStringLiteral("AR PL UKai"), QStringLiteral("Noto Serif CJK SC")});
    font.setStyleHint(QFont::Serif);
    font.setPointSize(pointSize);
    return font;
}

void MessageDialog::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    const QFont font = messageFont(tarn::messagePointSize(m_text));
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics metrics(font, this);
    for (const TextLine& line : std::as_const(m_lines))
        painter.drawText(QPoint(line.rect.left(), line.rect.top() + metrics.ascent()), line.text);
}

}  // namespace tarn

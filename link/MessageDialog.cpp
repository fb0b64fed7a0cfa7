#include "link/MessageDialog.h"

#include "link/MessageLayout.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>

namespace {

// Dialog units of the template's 10-point "System" font: 7 x 16 pixel base units.
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

void MessageDialog::placeButtons(int top)
{
    m_button->setGeometry(dluX(59) + (width() - BoxWidth) / 2, top, ButtonWidth, ButtonHeight);
    const int gap = dluX(6);
    const int count = static_cast<int>(m_choiceButtons.size());
    int x = (width() - count * ButtonWidth - (count - 1) * gap) / 2;
    for (QPushButton* button : std::as_const(m_choiceButtons)) {
        button->setGeometry(x, top, ButtonWidth, ButtonHeight);
        x += ButtonWidth + gap;
    }
}

void MessageDialog::layoutText()
{
    const QFont font = messageFont(tarn::messagePointSize(m_text));
    const QFontMetrics metrics(font, this);
    auto line = [&](int x, int top, const QString& text) {
        return TextLine{QRect(x, top, metrics.horizontalAdvance(text), metrics.height()), text};
    };
    m_lines.clear();

    // The template's way: one line centred at 28, or the split into two lines at 16 and 40.
    const int width = metrics.horizontalAdvance(m_text);
    const int x = (BoxWidth - width) / 2;
    const tarn::MessageLines split = tarn::splitMessage(m_text, x >= 0);
    if (m_text.contains(QLatin1Char('\n'))) {
        // Lines of their own (a refused import's reasons): wrapped below.
    } else if (!split.split && x >= 0) {
        m_lines = {line(x, 28, m_text)};
    } else if (split.split) {
        const TextLine first = line(1, 16, split.first);
        const int secondWidth = metrics.horizontalAdvance(split.second);
        const TextLine second = line((BoxWidth - secondWidth) / 2, 40, split.second);
        if (first.rect.right() < BoxWidth && second.rect.left() >= 0)
            m_lines = {first, second};
    }

    // A text those two lines would cut (two notices joined, a long English message) is
    // wrapped to the box's width instead, and the box grows downwards to hold it.
    int buttonTop = ButtonTop;
    if (m_lines.isEmpty()) {
        const QStringList wrapped = tarn::wrapMessage(m_text, BoxWidth - 2 * Margin,
                                                      [&](const QString& t) { return metrics.horizontalAdvance(t); });
        int top = 16;
        for (const QString& text : wrapped) {
            m_lines.append(line((BoxWidth - metrics.horizontalAdvance(text)) / 2, top, text));
            top += metrics.lineSpacing();
        }
        buttonTop = qMax(ButtonTop, top + Margin);
    }
    setFixedSize(BoxWidth, buttonTop + ButtonHeight + BelowButtons);
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
    MessageDialog dialog(parent);
    dialog.setTitle(title);
    dialog.setText(text);
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

#include "link/MessageDialog.h"

#include "link/MessageLayout.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPushButton>

namespace {

// Dialog units of the template's 10-point "System" font: 7 x 16 pixel base units.
constexpr int dluX(int units) { return units * 7 / 4; }
constexpr int dluY(int units) { return units * 16 / 8; }

MessageDialog::Hook& testHook()
{
    static MessageDialog::Hook hook;
    return hook;
}

}  // namespace

MessageDialog::MessageDialog(QWidget* parent)
    : QDialog(parent), m_button(new QPushButton(this))
{
    setFixedSize(dluX(187), dluY(98));
    m_button->setGeometry(dluX(59), dluY(69), dluX(50), dluY(14));
    m_button->setDefault(true);
    m_button->setAutoDefault(true);
    connect(m_button, &QPushButton::clicked, this, &QDialog::accept);

    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(212, 208, 200));
    setPalette(pal);
    setAutoFillBackground(true);
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
    const int buttonWidth = dluX(50);
    const int gap = dluX(6);
    const int count = static_cast<int>(buttonTexts.size());
    int x = (width() - count * buttonWidth - (count - 1) * gap) / 2;
    for (int i = 0; i < count; ++i) {
        auto* button = new QPushButton(buttonTexts[i], this);
        button->setGeometry(x, dluY(69), buttonWidth, dluY(14));
        button->setDefault(i == 0);
        button->setAutoDefault(true);
        connect(button, &QPushButton::clicked, this, [this, i] { done(choiceResult(i)); });
        button->show();
        m_choiceButtons.append(button);
        x += buttonWidth + gap;
    }
    if (!m_choiceButtons.isEmpty())
        m_choiceButtons.first()->setFocus();
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
    painter.setPen(QColor(10, 10, 10));
    const QFontMetrics metrics(font);
    const int clientWidth = width();

    const int x = (clientWidth - metrics.horizontalAdvance(m_text)) / 2;
    const tarn::MessageLines lines = tarn::splitMessage(m_text, x >= 0);
    if (!lines.split) {
        painter.drawText(QPoint(x, 28 + metrics.ascent()), lines.first);
        return;
    }
    painter.drawText(QPoint(1, 16 + metrics.ascent()), lines.first);
    const int x2 = (clientWidth - metrics.horizontalAdvance(lines.second)) / 2;
    painter.drawText(QPoint(x2, 40 + metrics.ascent()), lines.second);
}

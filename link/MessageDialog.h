// The program's one message box for texts from the language table: a title, one button
// (or a row of choices) and the message painted centred in a large calligraphic font. A
// text too long for the box is wrapped and the box grows until all of it shows. Lines too
// many for the message (a verify's differences, the changes a write makes) go into a
// scrolling list below it, in the same box.
#pragma once

#include <QDialog>
#include <QList>
#include <QStringList>

#include <functional>

class QPlainTextEdit;
class QPushButton;

namespace tarn {

class MessageDialog : public QDialog {
    Q_OBJECT
public:
    explicit MessageDialog(QWidget* parent = nullptr);

    void setTitle(const QString& title);
    void setButtonText(const QString& buttonText);
    void setText(const QString& text);
    QString title() const { return m_title; }
    QString buttonText() const { return m_buttonText; }
    QString text() const { return m_text; }

    // Shows the dialog modally; QDialog::Accepted when the user pressed the button.
    int run();

    // Builds, shows and returns the result in one call.
    static int show(QWidget* parent, const QString& title, const QString& buttonText,
                    const QString& text);

    // A question with a row of buttons side by side, centred where the one button sits.
    // run() then returns choiceResult(i) for the i-th button.
    void setChoices(const QStringList& buttonTexts);
    QStringList choices() const { return m_choices; }
    static constexpr int choiceResult(int index) { return FirstChoice + index; }
    // Builds, shows and returns the index of the button pressed; -1 when the dialog was
    // closed without one (Escape, the title bar's close button).
    static int ask(QWidget* parent, const QString& title, const QStringList& buttonTexts,
                   const QString& text);
    // The same with `details` listed below the text (no list when empty).
    static int ask(QWidget* parent, const QString& title, const QStringList& buttonTexts,
                   const QString& text, const QStringList& details);

    // Lines shown in a read-only scrolling list between the text and the buttons; the box
    // widens to hold them.
    void setDetails(const QStringList& details);
    QStringList details() const { return m_details; }

    // Tests replace the modal loop: the hook sees the dialog and returns its result.
    using Hook = std::function<int(const MessageDialog&)>;
    static void setTestHook(Hook hook);

    // The calligraphic face, with the fallbacks found on Linux desktops.
    static QFont messageFont(int pointSize);

    // Where the text is painted: one line, the two lines of the split, or the wrapped
    // lines of a text the split cannot show whole. `rect` is the line's inked extent.
    struct TextLine {
        QRect rect;
        QString text;
    };
    QList<TextLine> textLines() const { return m_lines; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Places the text lines and the buttons, growing the box for a text that needs it.
    void layoutText();
    void placeButtons(int top);
    int boxWidth() const;

    QList<TextLine> m_lines;
    QString m_title;
    QString m_buttonText;
    QString m_text;
    QPushButton* m_button;
    QStringList m_details;
    QPlainTextEdit* m_detailsList = nullptr;
    QStringList m_choices;
    QList<QPushButton*> m_choiceButtons;
    static constexpr int FirstChoice = 2;  // above Accepted and Rejected
};

}  // namespace tarn

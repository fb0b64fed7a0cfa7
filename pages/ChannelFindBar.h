// The find bar above the channel list: a text to look for in any column, the next and
// previous channel that shows it, and a word when none does. Escape closes it.
#pragma once

#include <QWidget>

class QLabel;
class QLineEdit;
class QToolButton;

namespace tarn {

class ChannelFindBar : public QWidget {
    Q_OBJECT
public:
    struct Texts {
        QString find;      // the field's placeholder
        QString next;      // the buttons' tool tips
        QString previous;
        QString notFound;
    };
    explicit ChannelFindBar(const Texts& texts, QWidget* parent = nullptr);

    QString text() const;
    QLineEdit* field() const { return m_field; }
    // Shows the bar with the field ready for typing.
    void open();
    void setNotFound(bool notFound);

signals:
    // Find the text: forwards from the row after the current one, or backwards; `again` is
    // false while the text is being typed (the current row itself may then match).
    void findRequested(const QString& text, bool backwards, bool again);
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_field;
    QToolButton* m_next;
    QToolButton* m_previous;
    QLabel* m_notFound;
};

}  // namespace tarn

// The contract between the main frame and an editing page: the page fills its controls
// from the image and writes them back when asked, and knows nothing else of the frame.
#pragma once

#include <QStringList>
#include <QWidget>

#include <functional>

namespace tarn {
class RadioImage;
struct PrintContent;
}

struct PageContext {
    tarn::RadioImage* image = nullptr;
    // The language strings of the selected language.
    const QStringList* languageStrings = nullptr;
    // Shows the program's message dialog (title language string 0, button 116) modally.
    std::function<void(const QString& text)> showMessage;
    // False while a transfer runs: the worker owns the image and a page must not store.
    std::function<bool()> mayStore = [] { return true; };
};

class PageView : public QWidget {
    Q_OBJECT
public:
    explicit PageView(const PageContext& context, QWidget* parent = nullptr)
        : QWidget(parent), m_context(context) {}

    virtual void LoadFromImage() = 0;
    virtual void StoreToImage() = 0;
    // Read-only: adds what the page's controls show now to a printout.
    virtual void addToPrint(tarn::PrintContent& content) const { (void)content; }

    // While a transfer runs a page takes no edits, so nothing typed is lost when a read
    // reloads it: open editors close (without storing) and the controls turn read-only.
    // The default disables the whole page.
    virtual void setReadOnly(bool readOnly) { setEnabled(!readOnly); }
    // True when the controls hold values that a StoreToImage would change in the image
    // (typed but not stored yet). The default knows of none.
    virtual bool hasUnstoredEdits() const { return false; }

protected:
    QString languageString(int n) const
    {
        return m_context.languageStrings && n >= 0 && n < m_context.languageStrings->size()
            ? m_context.languageStrings->at(n) : QString();
    }
    tarn::RadioImage& image() const { return *m_context.image; }
    void showMessage(const QString& text) const
    {
        if (m_context.showMessage)
            m_context.showMessage(text);
    }

    PageContext m_context;
};

// The contract between the main frame and an editing page: the page fills its controls
// from the configuration's image and writes them back when asked, tells the configuration
// when the user finished a change (one step of its history), and knows nothing else of the
// frame.
#pragma once

#include "document/Configuration.h"

#include <QStringList>
#include <QWidget>

#include <functional>

namespace tarn {

class RadioImage;
struct PrintContent;

struct PageContext {
    // The configuration the page edits; the page reaches the image through it.
    tarn::Configuration* document = nullptr;
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
    // Writes the controls into the configuration's image, with the page's notices. Nothing
    // while there is no configuration or a transfer owns the image (mayStore): the guard
    // lives here so that no page can forget it.
    void StoreToImage()
    {
        if (!hasImage() || (m_context.mayStore && !m_context.mayStore()))
            return;
        store();
    }
    // What StoreToImage would write, written into `target` without any notice: the
    // history and the unsaved-changes question see the page's values through it.
    virtual void storeInto(tarn::RadioImage& target) const { (void)target; }
    // Ends what is being typed as the next click elsewhere would (the change is recorded),
    // before an undo or a redo replaces what the page shows.
    virtual void commitPending() {}
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
    // Closing a window moves the focus out of its edit box, which then reports its editing
    // finished: a page's destructor cuts its controls off first, so that report never
    // reaches a page that is half destroyed.
    void disconnectControls()
    {
        for (QObject* control : findChildren<QObject*>())
            control->disconnect(this);
    }

    // StoreToImage's work, called only when the page may store.
    virtual void store() = 0;

    QString languageString(int n) const
    {
        return m_context.languageStrings && n >= 0 && n < m_context.languageStrings->size()
            ? m_context.languageStrings->at(n) : QString();
    }
    bool hasImage() const { return m_context.document != nullptr; }
    tarn::RadioImage& image() const { return m_context.document->image(); }
    void showMessage(const QString& text) const
    {
        if (m_context.showMessage)
            m_context.showMessage(text);
    }
    // The user finished a change: one step of the history, named for the undo entry.
    void recordChange(const QString& stepName) const
    {
        if (m_context.document)
            m_context.document->recordChange(stepName);
    }

    PageContext m_context;
};

}  // namespace tarn

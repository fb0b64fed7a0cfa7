#include "document/Configuration.h"

#include <QUndoCommand>

namespace tarn {

// One step of the history: the configuration before and after a change, as whole images.
class ImageStep : public QUndoCommand {
public:
    // `alreadyDone`: the change is in place (the pages show it), so the push changes nothing.
    ImageStep(Configuration* document, const QString& name, Configuration::Snapshot before,
              Configuration::Snapshot after, bool alreadyDone)
        : QUndoCommand(name), m_document(document), m_before(std::move(before)), m_after(std::move(after)),
          m_skipRedo(alreadyDone)
    {
    }

    void undo() override { m_document->restore(m_before); }
    void redo() override
    {
        if (m_skipRedo) {
            m_skipRedo = false;
            m_document->setBase(m_after);
            return;
        }
        m_document->restore(m_after);
    }

private:
    Configuration* m_document;
    Configuration::Snapshot m_before;
    Configuration::Snapshot m_after;
    bool m_skipRedo;
};

Configuration::Configuration(QObject* parent)
    : QObject(parent), m_base(std::make_shared<const RadioImage>(m_image))
{
    m_history.setUndoLimit(HistoryLimit);
    connect(&m_history, &QUndoStack::cleanChanged, this, &Configuration::stateChanged);
}

void Configuration::setOrigin(Origin origin, const QString& pathOrPort)
{
    m_origin = origin;
    m_path = origin == Origin::File ? pathOrPort : QString();
    m_radioPort = origin == Origin::Radio ? pathOrPort : QString();
    emit stateChanged();
}

RadioImage Configuration::current() const
{
    RadioImage now = m_image;
    if (m_pageStore)
        m_pageStore(now);
    return now;
}

void Configuration::recordChange(const QString& name)
{
    const RadioImage now = current();
    if (now == *m_base)
        return;
    m_history.push(new ImageStep(this, name, m_base, std::make_shared<const RadioImage>(now), true));
}

bool Configuration::apply(const QString& name, const std::function<void(RadioImage&)>& change)
{
    const RadioImage before = current();
    RadioImage changed = before;
    change(changed);
    if (changed == before)
        return false;
    m_history.push(new ImageStep(this, name, m_base, std::make_shared<const RadioImage>(changed), false));
    return true;
}

void Configuration::recordReplacement(const QString& name, const RadioImage& before)
{
    auto was = std::make_shared<const RadioImage>(before);
    auto now = std::make_shared<const RadioImage>(m_image);
    if (*was == *now)
        return;
    m_history.push(new ImageStep(this, name, std::move(was), std::move(now), true));
}

void Configuration::startHistory()
{
    m_history.clear();
    rebase();
    markClean();
}

void Configuration::rebase()
{
    // What the pages make of an unmodified configuration as they load (a value put on its
    // step, a short password padded) is no change of the user's: it stays unmodified.
    const bool clean = !isModified();
    auto now = std::make_shared<const RadioImage>(current());
    if (clean)
        m_clean = *now;
    setBase(now);
}

void Configuration::markClean()
{
    m_clean = *m_base;
    m_history.setClean();
    emit stateChanged();
}

bool Configuration::isModified() const
{
    return !m_history.isClean() || !m_base->sameSettings(m_clean);
}

void Configuration::restore(const Snapshot& snapshot)
{
    // The port chosen last stays: it says where the radio is, not what it holds.
    const std::int32_t port = m_image.portNumber();
    m_image = *snapshot;
    m_image.setPortNumber(port);
    m_base = snapshot;
    emit imageReplaced();
    emit stateChanged();
}

void Configuration::setBase(const Snapshot& snapshot)
{
    m_base = snapshot;
    emit stateChanged();
}

}  // namespace tarn

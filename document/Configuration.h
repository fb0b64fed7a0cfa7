// The configuration being edited, as a document: the radio image, the image as last made,
// opened, saved, read or written, where it came from, and its history of changes.
#pragma once

#include "radio/RadioImage.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <functional>
#include <memory>

namespace tarn {

class Configuration : public QObject {
    Q_OBJECT
public:
    // Where the configuration came from, as the status bar names it.
    enum class Origin { New, File, Radio };
    // Writes what the open pages hold into an image, quietly (no notice): installed by
    // whoever owns the page windows.
    using PageStore = std::function<void(RadioImage&)>;

    // Steps are whole images, each shared by the step that leaves it and the step that
    // starts from it: 200 steps hold about 1 MB.
    static constexpr int HistoryLimit = 200;
    using Snapshot = std::shared_ptr<const RadioImage>;

    explicit Configuration(QObject* parent = nullptr);

    RadioImage& image() { return m_image; }
    const RadioImage& image() const { return m_image; }

    Origin origin() const { return m_origin; }
    // The file of a configuration opened or saved; empty otherwise.
    const QString& path() const { return m_path; }
    // The port the radio answered on, for a configuration read from the radio.
    const QString& radioPort() const { return m_radioPort; }
    void setOrigin(Origin origin, const QString& pathOrPort = QString());

    QUndoStack* history() { return &m_history; }
    void setPageStore(PageStore store) { m_pageStore = std::move(store); }

    // The configuration as the pages show it now: the image with what the open pages hold
    // stored into it.
    RadioImage current() const;

    // After the user finished a change on a page: one step named `name` when what the
    // pages show differs from the last step. The pages keep their values; nothing reloads.
    void recordChange(const QString& name);
    // A change made to the whole configuration (an import, an operation on channels): runs
    // `change` on what the pages show now; when that changes anything it becomes the image,
    // the pages reload and it is one step. False when nothing changed.
    bool apply(const QString& name, const std::function<void(RadioImage&)>& change);
    // A change already made to the image behind the pages' back (a read from the radio):
    // one step from `before` to the image as it is now.
    void recordReplacement(const QString& name, const RadioImage& before);

    // A new history (File > New, File > Open): nothing to undo, and the image as it is now
    // is the clean point.
    void startHistory();
    // Takes what the pages show now as the state of the last step, without a step (after a
    // page opened, or after the pages stored for a save or a write).
    void rebase();
    // The configuration as the last step left it was saved, written or read: the clean
    // point. (After a store for a save or a write, rebase first.)
    void markClean();
    const RadioImage& cleanImage() const { return m_clean; }

    // Changes neither saved nor written since the last clean point (what the open pages
    // hold and have not stored yet is asked of the pages).
    bool isModified() const;

signals:
    // The image was replaced (an undo, a redo, an operation): the open pages reload.
    void imageReplaced();
    // The name, the origin or the modified state may have changed.
    void stateChanged();

private:
    friend class ImageStep;
    void restore(const Snapshot& snapshot);
    void setBase(const Snapshot& snapshot);

    RadioImage m_image;
    RadioImage m_clean;
    // What the history's current step left: the image with the pages' values.
    Snapshot m_base;
    QUndoStack m_history;
    PageStore m_pageStore;
    Origin m_origin = Origin::New;
    QString m_path;
    QString m_radioPort;
};

}  // namespace tarn

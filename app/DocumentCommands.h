// The commands on the configuration as a document: New, Open, Save, Backups, channel
// import (from a CSV file, a stock channel set or another configuration, each through the
// import preview) and export, print, print preview and PDF export, Undo and Redo; the
// question before unsaved changes are lost, and the configuration's name in the status bar.
#pragma once

#include "exchange/ChannelImport.h"

#include <QObject>
#include <QString>

class QLabel;

namespace tarn {

class CMainFrame;
class PageWindows;

class Configuration;

class DocumentCommands : public QObject {
    Q_OBJECT
public:
    DocumentCommands(CMainFrame& frame, tarn::Configuration& document, PageWindows& pages);

    void registerCommands();

    // True when the configuration or an open page holds changes that were neither saved to
    // a file nor written to the radio since it was last made, opened, read or saved.
    bool hasUnsavedChanges() const;
    // Before the configuration is replaced or the window closes: asks "save first?" (Save,
    // Discard, Cancel) when there are such changes. True to go on.
    bool confirmUnsavedChanges();

    // Loads a configuration file and shows it (File > Open, a backup).
    void openConfiguration(const QString& path);

    void newConfiguration();
    void open();
    void save();
    void openBackup();
    void exportChannels();
    // File > Import channels > From a file...: a CSV file, or a repeater directory's export.
    void importChannels();
    // File > Import channels > a stock channel set (its file, and the name it is shown by).
    void importStockSet(const QString& path, const QString& name);
    // File > Import channels from a configuration...: the programmed channels of a .tw file.
    void importFromConfiguration();
    // Shows what `incoming` would bring in the import preview and imports what the user
    // takes there, as one step of the history; `source` names where the channels come from.
    // True when channels were imported. Every import in the window comes through here.
    // A paste (`pasted`) may give channels the names of channels that stay.
    bool previewImport(const QString& source, const tarn::IncomingChannels& incoming,
                       const tarn::Placement& placement = {}, bool pasted = false);
    void print();
    void printPreview();
    void exportPdf();
    // What is being typed is committed first, so an undo never loses it.
    void undo();
    void redo();

    // The texts and states of Undo and Redo, and the status bar's name of the
    // configuration, after a change of the history, the language or a transfer.
    void updateHistoryCommands();
    void updateStatus();

protected:
    // Ctrl+Z in an edit box undoes its own typing while it has some, and the last step
    // otherwise.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // File > Save's dialog and save; true when the file was written.
    bool saveToChosenFile();
    // The Import channels submenu: From a file... and the stock channel sets.
    void buildImportMenu();

    CMainFrame& m_frame;
    tarn::Configuration& m_document;
    PageWindows& m_pages;
    QLabel* m_status;
};

}  // namespace tarn

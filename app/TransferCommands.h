// The commands that talk to the radio: Read, Write, Verify and the port selection, with
// the transfer's progress, the check before a write, the result and its report.
#pragma once

#include "link/Backups.h"
#include "link/TransferJob.h"

#include <QObject>
#include <QStringList>

class CMainFrame;
class DocumentCommands;
class PageWindows;
class TransferController;

namespace tarn {
class Configuration;
}

class TransferCommands : public QObject {
    Q_OBJECT
public:
    TransferCommands(CMainFrame& frame, tarn::Configuration& document, PageWindows& pages,
                     DocumentCommands& documents);

    void registerCommands();

    tarn::TransferJob& job();
    const tarn::BackupStore& backups() const { return m_backups; }
    // From the Read or Write command until its result has been shown: the worker is the
    // only writer of the image and the commands that touch it are disabled.
    bool running() const;
    // Set while a stop winds a transfer down as the window closes.
    bool closing() const;
    // A read runs: what it leaves when stopped is not the user's to lose.
    bool readRunning() const;
    // Stops a running transfer and waits for its worker, answering its requests meanwhile.
    void stopAndWait();

    void read();
    void write();
    void verify();
    void selectPort();

    // WM_TRANSFER_PROGRESS: the worker's progress 1-100, 0 when the transfer ends.
    void onTransferProgress(quint32 position);
    // WM_IMAGE_NOTIFY: 2 reloads the pages after a read; 4 runs the band-limit check and
    // answers 1 to go on with the write, 0 to stop it.
    int onImageNotify(int code);
    // WM_TRANSFER_RESULT: the result code 0-4 shown in the message dialog.
    int onTransferResult(int code);

private:
    void start(tarn::TransferJob::Operation operation);
    void lockImageCommands(bool locked);
    // What the last transfer adds to its result: the read-back's verdict for the message,
    // and the differences and backups not kept for the report after it.
    QString verifyVerdict() const;
    QStringList transferReport() const;

    CMainFrame& m_frame;
    tarn::Configuration& m_document;
    PageWindows& m_pages;
    DocumentCommands& m_documents;
    TransferController* m_transfer;
    tarn::BackupStore m_backups;
    // The configuration as the pages showed it when a read began: what its undo gives back.
    tarn::RadioImage m_beforeRead;
};

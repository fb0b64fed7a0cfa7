// The commands that talk to the radio: Read, Write, Verify and the port selection, with
// the transfer's progress, the questions before a write (another port, the changes, the
// band limits), the result with its report, and the restore of what the radio held.
#pragma once

#include "link/Backups.h"
#include "link/TransferJob.h"
#include "link/WriteChecks.h"

#include <QObject>
#include <QStringList>

namespace tarn {

class CMainFrame;
class DocumentCommands;
class PageWindows;
class TransferController;

class Configuration;

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
    // Writes `image` (what a radio held) back to the radio, through every check of a write
    // that reads the radio first; the configuration in the window is not touched.
    void restore(const tarn::RadioImage& image);
    // The same with a configuration file (a backup); a file that does not load says so.
    void restoreFrom(const QString& path);

    // WM_TRANSFER_PROGRESS: the worker's progress 1-100, 0 when the transfer ends.
    void onTransferProgress(quint32 position);
    // WM_IMAGE_NOTIFY: 2 reloads the pages after a read; the questions (4 the band-limit
    // check, 5 a radio on another port, 6 the changes a write makes) answer 1 to go on, 0 to
    // stop.
    int onImageNotify(tarn::ImageNotifyCode code);
    // WM_TRANSFER_RESULT: the result, where it went and what the transfer found, in one
    // message dialog.
    int onTransferResult(tarn::TransferResult code);
    // The status bar while the scan looks for the radio: the port it tries now.
    void onScanningPort(int port);

private:
    void start(tarn::TransferJob::Operation operation, tarn::RadioImage* image);
    void lockImageCommands(bool locked);
    int checkBandLimits();
    // The image the running write sends: the configuration's, or the copy being restored.
    tarn::RadioImage& writtenImage();

    CMainFrame& m_frame;
    tarn::Configuration& m_document;
    PageWindows& m_pages;
    DocumentCommands& m_documents;
    TransferController* m_transfer;
    tarn::BackupStore m_backups;
    // The configuration as the pages showed it when a read began: what its undo gives back.
    tarn::RadioImage m_beforeRead;
    // A restore writes this copy; the configuration stays as it is.
    tarn::RadioImage m_restoreImage;
    bool m_restoring = false;
    // The place of a refused frequency the user asked to be shown, opened after the result.
    tarn::LimitPlace m_refusedPlace = tarn::LimitPlace::None;
    int m_refusedChannel = 0;
    bool m_refusedTransmit = false;
};

}  // namespace tarn

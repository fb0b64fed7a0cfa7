// The window's side of a radio transfer: owns the one TransferJob, the listener that
// carries its reports to the window's thread and the worker thread of each transfer, and
// knows whether a transfer holds the image.
#pragma once

#include "link/TransferJob.h"

#include <QObject>

#include <functional>

namespace tarn {

class CTestThread;
class QueuedTransferListener;
class RadioImage;

class TransferController : public QObject {
    Q_OBJECT
public:
    explicit TransferController(QObject* parent = nullptr);
    ~TransferController() override;  // stops a running transfer and waits for it

    tarn::TransferJob& job() { return m_job; }
    // From start() until the result has been handled: the worker is the only writer of
    // the image.
    bool running() const { return m_running; }
    // Set while stopAndWait() winds a transfer down: its reports are no longer shown.
    bool closing() const { return m_closing; }
    bool workerRunning() const;

    // The answer to the questions before a write or verify (the band-limit check, another
    // port, the changes), run on this object's thread while the worker waits.
    void setImageCheck(std::function<int(tarn::ImageNotifyCode code)> check);

    // Starts a worker for `operation` on `image`. False while a transfer runs.
    bool start(tarn::TransferJob::Operation operation, tarn::RadioImage* image);
    // Asks a running transfer to stop and waits for its worker, answering its requests
    // meanwhile; its last reports are delivered with closing() set.
    void stopAndWait();

signals:
    // WM_TRANSFER_PROGRESS: 1-100 while the transfer runs, 0 when it ends.
    void transferProgress(int position);
    // WM_IMAGE_NOTIFY codes other than the questions (2: reload the pages after a read).
    void imageNotify(tarn::ImageNotifyCode code);
    // WM_TRANSFER_RESULT: the result code (TransferResult). running() is still true while it
    // is shown.
    void transferResult(tarn::TransferResult code);
    void runningChanged(bool running);
    // The scan is about to try port n (1-20) while it looks for the radio.
    void scanningPort(int n);

private:
    void onResult(tarn::TransferResult code);
    void setRunning(bool running);

    tarn::TransferJob m_job;
    tarn::QueuedTransferListener* m_listener;
    // The worker of the last transfer; replaced by the next one.
    tarn::CTestThread* m_thread = nullptr;
    bool m_running = false;
    bool m_closing = false;
};

}  // namespace tarn

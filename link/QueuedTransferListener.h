// QueuedTransferListener: carries a transfer's notifications from the worker thread to the
// main window as queued signals, and fetches the window's answer to the check-before-write
// request by a blocking call on the window's thread.
#pragma once

#include "link/TransferListener.h"

#include <QObject>
#include <QPointer>

#include <functional>

namespace tarn {

class QueuedTransferListener : public QObject, public TransferListener {
    Q_OBJECT
public:
    explicit QueuedTransferListener(QObject* parent = nullptr);

    // The answer to the WM_IMAGE_NOTIFY questions (codes 4, 5 and 6), run on `context`'s
    // thread while the worker waits. Without one (or once `context` is gone) the answer is 0.
    void setImageCheck(QObject* context, std::function<int(ImageNotifyCode code)> check);

    // Connects the three signals to `receiver` as posted messages (Qt::QueuedConnection),
    // so they arrive in the order the job sent them even from the receiver's own thread.
    template <typename Receiver, typename Progress, typename Notify, typename Result>
    void connectTo(const Receiver* receiver, Progress progress, Notify notify, Result result)
    {
        connect(this, &QueuedTransferListener::progressPosted, receiver, progress, Qt::QueuedConnection);
        connect(this, &QueuedTransferListener::imageNotifyPosted, receiver, notify, Qt::QueuedConnection);
        connect(this, &QueuedTransferListener::resultPosted, receiver, result, Qt::QueuedConnection);
    }

    void transferProgress(int n) override;
    int imageNotify(ImageNotifyCode code) override;
    void transferResult(TransferResult code) override;
    void scanningPort(int n) override;

signals:
    // The window messages WM_TRANSFER_PROGRESS, WM_IMAGE_NOTIFY and WM_TRANSFER_RESULT.
    void progressPosted(int n);
    // Every code that is not a question (in practice 2: reload the pages).
    void imageNotifyPosted(tarn::ImageNotifyCode code);
    void resultPosted(tarn::TransferResult code);
    // The port the scan tries now (1-20), for the status bar.
    void scanningPosted(int port);

private:
    QPointer<QObject> m_checkContext;
    std::function<int(ImageNotifyCode)> m_check;
};

}  // namespace tarn

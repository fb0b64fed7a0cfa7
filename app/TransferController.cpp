#include "app/TransferController.h"

#include "link/QueuedTransferListener.h"
#include "link/TransferThread.h"

#include <QCoreApplication>

namespace tarn {

TransferController::TransferController(QObject* parent)
    : QObject(parent), m_listener(new tarn::QueuedTransferListener(this))
{
    // The worker's reports arrive as posted messages, in the order it sent them.
    m_listener->connectTo(this, &TransferController::transferProgress, &TransferController::imageNotify,
                          &TransferController::onResult);
    connect(m_listener, &tarn::QueuedTransferListener::scanningPosted, this, &TransferController::scanningPort,
            Qt::QueuedConnection);
}

TransferController::~TransferController()
{
    stopAndWait();
    delete m_thread;
}

bool TransferController::workerRunning() const
{
    return m_thread && !m_thread->isFinished();
}

void TransferController::setImageCheck(std::function<int(tarn::ImageNotifyCode)> check)
{
    m_listener->setImageCheck(this, std::move(check));
}

bool TransferController::start(tarn::TransferJob::Operation operation, tarn::RadioImage* image)
{
    if (m_running || m_job.isBusy())
        return false;
    // The previous worker has posted its result and is at most closing the port.
    if (m_thread) {
        m_thread->wait();
        delete m_thread;
        m_thread = nullptr;
    }
    m_job.prepare(m_listener, image);
    if (!m_job.start(operation))
        return false;
    m_thread = new tarn::CTestThread(&m_job);
    setRunning(true);
    m_thread->start();
    return true;
}

void TransferController::onResult(tarn::TransferResult code)
{
    emit transferResult(code);
    // After its result the worker only closes the port; once it has, the image and the
    // port are the window's again.
    if (m_thread)
        m_thread->wait();
    setRunning(false);
}

void TransferController::setRunning(bool running)
{
    m_running = running;
    emit runningChanged(running);
}

void TransferController::stopAndWait()
{
    const bool worker = workerRunning();
    if (!worker && !m_running)
        return;
    m_closing = true;
    if (worker) {
        m_job.requestStop();
        // The worker may be waiting for the check before a write: keep answering (with
        // "stop") while it winds down, or neither side would ever move again.
        while (!m_thread->wait(20))
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    }
    // Its last reports (result, progress 0) free the commands without showing anything.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    m_closing = false;
}

}  // namespace tarn

#include "link/QueuedTransferListener.h"

#include <QMetaObject>
#include <QThread>

namespace tarn {

QueuedTransferListener::QueuedTransferListener(QObject* parent)
    : QObject(parent)
{
}

void QueuedTransferListener::setImageCheck(QObject* context, std::function<int(ImageNotifyCode)> check)
{
    m_checkContext = context;
    m_check = std::move(check);
}

void QueuedTransferListener::transferProgress(int n)
{
    emit progressPosted(n);
}

int QueuedTransferListener::imageNotify(ImageNotifyCode code)
{
    if (!IsImageQuestion(code)) {
        emit imageNotifyPosted(code);
        return 1;
    }
    QObject* context = m_checkContext.data();
    if (!context || !m_check)
        return 0;
    if (context->thread() == QThread::currentThread())
        return m_check(code);
    // Blocks until the window's thread has run the check; if the context is destroyed
    // before it gets there, the call is dropped, the wait ends and the answer stays 0.
    int answer = 0;
    auto check = m_check;
    QMetaObject::invokeMethod(
        context, [&answer, check, code] { answer = check(code); }, Qt::BlockingQueuedConnection);
    return answer;
}

void QueuedTransferListener::transferResult(TransferResult code)
{
    emit resultPosted(code);
}

void QueuedTransferListener::scanningPort(int n)
{
    emit scanningPosted(n);
}

}  // namespace tarn

#include "link/TransferThread.h"

#include "link/TransferJob.h"

namespace tarn {

CTestThread::CTestThread(TransferJob* job, QObject* parent)
    : QThread(parent)
    , m_job(job)
{
}

void CTestThread::run()
{
    // No event loop: the job reports through its listener and the thread ends with it.
    if (m_job)
        m_job->run();
}

}  // namespace tarn

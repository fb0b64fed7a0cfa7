// CTestThread: the worker thread of one transfer. It is created without starting, given
// the prepared and started job, started, runs the job once and ends; it is never reused.
#pragma once

#include <QThread>

namespace tarn {

class TransferJob;

class CTestThread : public QThread {
    Q_OBJECT
public:
    explicit CTestThread(TransferJob* job = nullptr, QObject* parent = nullptr);

    void setJob(TransferJob* job) { m_job = job; }
    TransferJob* job() const { return m_job; }

protected:
    void run() override;

private:
    TransferJob* m_job;
};

}  // namespace tarn

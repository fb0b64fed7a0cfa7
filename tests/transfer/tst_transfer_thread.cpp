// The worker thread and the queued adapter the window listens through: notifications
// arrive on the window's thread in the order the job sent them, the check-before-write
// request is answered there while the worker waits, and a window that goes away does not
// leave the worker hanging.
#include "link/QueuedTransferListener.h"
#include "link/TransferJob.h"
#include "link/TransferThread.h"
#include "radio/RadioImage.h"

#include <QtTest>

using namespace tarn;

namespace {

class Window : public QObject {
    Q_OBJECT
public:
    QStringList log;
    QThread* checkThread = nullptr;

public slots:
    void onProgress(int n) { log << QString("P%1").arg(n); }
    void onNotify(tarn::ImageNotifyCode code) { log << QString("N%1").arg(static_cast<int>(code)); }
    void onResult(tarn::TransferResult code) { log << QString("R%1").arg(static_cast<int>(code)); }
};

}  // namespace

class TransferThreadTest : public QObject {
    Q_OBJECT

private slots:
    void notificationsArriveInOrderAndCheckIsAnsweredOnWindowThread()
    {
        Window window;
        QueuedTransferListener listener;
        listener.connectTo(&window, &Window::onProgress, &Window::onNotify, &Window::onResult);
        listener.setImageCheck(&window, [&window](ImageNotifyCode code) {
            window.checkThread = QThread::currentThread();
            window.log << QString("C%1").arg(static_cast<int>(code));
            return 0;
        });

        int answer = -1;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            listener.transferProgress(1);
            listener.imageNotify(ImageNotifyCode::ImageRead);
            answer = listener.imageNotify(ImageNotifyCode::CheckBeforeWrite);
            listener.transferResult(TransferResult::WriteFailed);
            listener.transferProgress(0);
        }));
        worker->start();
        QTRY_COMPARE(window.log.size(), 5);
        QVERIFY(worker->wait(5000));

        QCOMPARE(answer, 0);
        QCOMPARE(window.checkThread, QThread::currentThread());
        QCOMPARE(window.log, (QStringList{"P1", "N2", "C4", "R2", "P0"}));
    }

    // The port question and the changes question wait for the window's answer like the
    // check; the port being tried is a notice.
    void everyQuestionIsAnsweredOnTheWindowThread()
    {
        Window window;
        QueuedTransferListener listener;
        listener.connectTo(&window, &Window::onProgress, &Window::onNotify, &Window::onResult);
        QObject::connect(&listener, &QueuedTransferListener::scanningPosted, &window,
                         [&window](int port) { window.log << QString("S%1").arg(port); }, Qt::QueuedConnection);
        listener.setImageCheck(&window, [&window](ImageNotifyCode code) {
            window.checkThread = QThread::currentThread();
            window.log << QString("C%1").arg(static_cast<int>(code));
            return code == ImageNotifyCode::ConfirmChanges ? 0 : 1;
        });

        int port = -1;
        int changes = -1;
        std::unique_ptr<QThread> worker(QThread::create([&] {
            listener.scanningPort(3);
            port = listener.imageNotify(ImageNotifyCode::ConfirmOtherPort);
            changes = listener.imageNotify(ImageNotifyCode::ConfirmChanges);
        }));
        worker->start();
        QTRY_COMPARE(window.log.size(), 3);
        QVERIFY(worker->wait(5000));

        QCOMPARE(window.log, (QStringList{"S3", "C5", "C6"}));
        QCOMPARE(window.checkThread, QThread::currentThread());
        QCOMPARE(port, 1);
        QCOMPARE(changes, 0);
    }

    void checkWithoutAWindowStopsTheWrite()
    {
        QueuedTransferListener listener;
        QCOMPARE(listener.imageNotify(ImageNotifyCode::CheckBeforeWrite), 0);

        auto* window = new Window;
        listener.setImageCheck(window, [](ImageNotifyCode) { return 1; });
        QCOMPARE(listener.imageNotify(ImageNotifyCode::CheckBeforeWrite), 1);  // same thread: answered at once

        // The window is destroyed while the worker waits for its answer.
        int answer = -1;
        std::unique_ptr<QThread> worker(QThread::create([&] { answer = listener.imageNotify(ImageNotifyCode::CheckBeforeWrite); }));
        worker->start();
        QThread::msleep(100);  // the request is queued, not yet delivered
        delete window;
        QVERIFY(worker->wait(5000));
        QCOMPARE(answer, 0);
    }

    void workerThreadRunsTheJobOnceAndFreesIt()
    {
        RadioImage image;
        image.setPortNumber(21);  // no port is tried: the job ends at once
        Window window;
        QueuedTransferListener listener;
        listener.connectTo(&window, &Window::onProgress, &Window::onNotify, &Window::onResult);
        TransferJob job;
        job.prepare(&listener, &image);
        QVERIFY(job.start(TransferJob::Read));
        QVERIFY(!job.start(TransferJob::Write));

        CTestThread thread(&job);
        thread.start();
        QVERIFY(thread.wait(5000));
        QVERIFY(!job.isBusy());
        QTRY_COMPARE(window.log, (QStringList{"R0", "P0"}));
        QCOMPARE(image.portNumber(), 21);

        // A finished job can be started again.
        QVERIFY(job.start(TransferJob::Write));
        CTestThread again(&job);
        again.start();
        QVERIFY(again.wait(5000));
        QTRY_COMPARE(window.log, (QStringList{"R0", "P0", "R0", "P0"}));
    }
};

QTEST_GUILESS_MAIN(TransferThreadTest)
#include "tst_transfer_thread.moc"

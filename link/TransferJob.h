// TransferJob: one read from or write to the radio, run on a worker thread. It finds the
// port the radio answers on, moves the image block by block with the programming protocol
// and reports through a TransferListener.
#pragma once

#include "link/Backups.h"
#include "link/CommPort.h"
#include "link/PortRange.h"
#include "link/TransferListener.h"
#include "radio/RadioImage.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace tarn {

class ByteLine;

// What a read-back found: the radio memory a write of the image would leave (`expected`)
// and what the radio holds (`radio`), equal over every byte a write sends.
struct VerifyOutcome {
    bool ran = false;     // a read-back was attempted
    bool readOk = false;  // every block came back
    bool equal = false;
    RadioImage expected;
    RadioImage radio;
};

class TransferJob {
public:
    enum Operation { Idle = 0, Read = 2, Write = 3, Verify = 4 };

    // Ports the scan and the availability scan visit: COM1 to COM20.
    static constexpr int FirstPort = tarn::FirstPort;
    static constexpr int LastPort = tarn::LastPort;

    TransferJob();
    ~TransferJob();
    TransferJob(const TransferJob&) = delete;
    TransferJob& operator=(const TransferJob&) = delete;

    // Stores where to report and which image to move; creates the port on first use.
    // Call before every transfer, while the job is not busy.
    void prepare(TransferListener* listener, RadioImage* image);

    // Claims the job for a read or a write. Refuses (false) while another transfer holds
    // it, so two threads never share the port and the image.
    bool start(Operation operation);
    // The transfer claimed by start(), on the calling (worker) thread; frees the job at the
    // end, whatever the outcome. Does nothing while idle.
    void run();
    bool isBusy() const { return m_operation.load() != Idle; }
    int operation() const { return m_operation.load(); }

    // Asks a running transfer to end: a wait on the line ends within a fraction of a second
    // and no further block is moved; a stopped read ends with result 1, a stopped write with
    // result 2. Safe from any thread (also a signal handler).
    void requestStop() { m_stopRequested.store(true); }
    bool stopRequested() const { return m_stopRequested.load(); }

    // Where backups are kept after a read and before a write; none when null (the default).
    // Set while the job is idle; the store must outlive the transfers.
    void setBackups(const BackupStore* store) { m_backups = store; }
    // The backups the last transfer tried to keep, in order.
    const std::vector<BackupResult>& backupResults() const { return m_backupResults; }

    // A write followed by a read-back of what it sent, on the same connection. Set while idle.
    void setVerifyAfterWrite(bool on) { m_verifyAfterWrite = on; }
    bool verifyAfterWrite() const { return m_verifyAfterWrite; }
    // What the last read-back (a Verify, or the one after a write) found.
    const VerifyOutcome& verifyOutcome() const { return m_verify; }

    // Bit n set (n = 1 to 20) when COMn can be opened now; every port is left closed.
    // Uses the job's own port; returns 0 without touching it while a transfer runs.
    std::uint32_t availablePorts();

    CommPort* port() { return m_port.get(); }
    int progress() const { return m_progress; }

    // The block sequences over a line where the radio is already in programming mode.
    // run() uses them on the port; tests drive them over a scripted line.
    bool readAll(ByteLine& line);
    bool writeAll(ByteLine& line);
    // Reads the blocks a read fills into a copy of the image and compares them with what a
    // write of the image sends; false when a block does not come back.
    bool verifyAll(ByteLine& line);

private:
    enum class ConnectOutcome { Connected, NoRadio, Stopped };
    void runOperation(int operation);
    ConnectOutcome connect();
    void step();
    void postProgress(int n);
    void postResult(int code);
    bool readBlocks(ByteLine& line, RadioImage& into);
    void keepBackup(const char* what);

    std::int16_t m_progress = 0;
    std::unique_ptr<CommPort> m_port;
    std::atomic<int> m_operation{Idle};
    std::atomic<bool> m_stopRequested{false};
    RadioImage* m_image = nullptr;
    TransferListener* m_listener = nullptr;
    const BackupStore* m_backups = nullptr;
    std::vector<BackupResult> m_backupResults;
    bool m_verifyAfterWrite = false;
    VerifyOutcome m_verify;
};

}  // namespace tarn

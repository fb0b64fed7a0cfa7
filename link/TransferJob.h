// TransferJob: one read from or write to the radio, run on a worker thread. It finds the
// port the radio answers on, moves the image block by block with the programming protocol
// and reports through a TransferListener. A write either sends every chunk (the quick write)
// or reads the radio first and sends only the chunks that change.
#pragma once

#include "link/Backups.h"
#include "link/CommPort.h"
#include "link/PortRange.h"
#include "link/TransferListener.h"
#include "radio/ImageDiff.h"
#include "radio/RadioImage.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
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

// Where a transfer went: the port number the scan started with (the image's when the
// transfer began), whether only that port was tried, and the port the radio answered on
// (0 while none has).
struct TransferPorts {
    int start = 0;
    bool onlyStart = false;
    int answered = 0;
    // The devices behind the two numbers when the scan used them ("" when none).
    std::string startDevice;
    std::string answeredDevice;
};

// What a write that read the radio first found and did.
struct WritePlan {
    bool readOk = false;            // the whole radio and its band limits came back
    RadioImage radio;               // what the radio held: the before-write backup
    RadioImage written;             // what it holds once the changes are written
    std::vector<ChunkPlace> chunks; // the chunks that change, in the order they are sent
    int chunksSent = 0;             // of those, how many the radio acknowledged

    bool nothingToChange() const { return readOk && chunks.empty(); }
};

// After a write that read the radio first and then sent something that did not end well (a
// chunk refused, the line lost, a stop, a read-back that failed or differs): what the radio
// held before, to be written back.
struct RestoreOffer {
    bool offered = false;
    BackupResult backup;  // the before-write backup (path empty when no store was set)
    int port = 0;         // the port the radio answered on
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
    // What the last read-back (a Verify, the one after a write, or the read-back of the
    // blocks a read-first write sent) found.
    const VerifyOutcome& verifyOutcome() const { return m_verify; }

    // A write reads the whole radio first, keeps that as the before-write backup, asks
    // (ConfirmChanges) with the changes in writePlan(), runs the band-limit check, sends only
    // the chunks that differ and reads back the blocks it wrote. Off (the default): every
    // chunk is sent, as the radio's own programming road does. Set while idle.
    void setReadBeforeWrite(bool on) { m_readBeforeWrite = on; }
    bool readBeforeWrite() const { return m_readBeforeWrite; }
    // The scan tries the image's port number alone: no radio there is no radio at all.
    // Off (the default): the other ports follow it. Set while idle.
    void setOnlyStoredPort(bool on) { m_onlyStoredPort = on; }
    bool onlyStoredPort() const { return m_onlyStoredPort; }

    // The ports of the last (or running) transfer. Read from the listener's questions or
    // once the result has come.
    const TransferPorts& ports() const { return m_ports; }
    // What the last read-first write found and sent.
    const WritePlan& writePlan() const { return m_plan; }
    // Whether the last write offers to put back what the radio held (writePlan().radio).
    const RestoreOffer& restoreOffer() const { return m_restore; }

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
    // The read-first write (see setReadBeforeWrite); returns the result code to post.
    TransferResult writeChanges(ByteLine& line);

private:
    enum class ConnectOutcome { Connected, NoRadio, Stopped };
    void runOperation(int operation);
    ConnectOutcome connect();
    void step();
    void postProgress(int n);
    void postResult(TransferResult code);
    bool readBlocks(ByteLine& line, RadioImage& into);
    BackupResult keepBackup(const RadioImage& image, const char* what);
    // Asks the listener a question (IsImageQuestion); true only for a 1 with no stop requested.
    bool ask(ImageNotifyCode code);
    bool confirmPort(int operation);
    bool sendChanges(ByteLine& line);
    void postShare(int done, int total);

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
    bool m_readBeforeWrite = false;
    bool m_onlyStoredPort = false;
    TransferPorts m_ports;
    WritePlan m_plan;
    RestoreOffer m_restore;
};

}  // namespace tarn

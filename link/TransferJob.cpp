#include "link/TransferJob.h"

#include "link/PortMap.h"
#include "link/Protocol.h"
#include "link/WriteChecks.h"
#include "radio/ImageDiff.h"
#include "radio/RadioImage.h"
#include "link/PortRange.h"

#include <algorithm>
#include <string>
#include <vector>

namespace tarn {

using namespace layout;

TransferJob::TransferJob() = default;
TransferJob::~TransferJob() = default;

void TransferJob::prepare(TransferListener* listener, RadioImage* image)
{
    // A running transfer keeps the listener and image it was started with.
    if (isBusy())
        return;
    m_listener = listener;
    m_image = image;
    if (!m_port)
        m_port = std::make_unique<CommPort>();
    // A stop cuts the port's waits short, not only the steps between blocks.
    m_port->setStopFlag(&m_stopRequested);
}

bool TransferJob::start(Operation operation)
{
    if (operation != Read && operation != Write && operation != Verify)
        return false;
    int idle = Idle;
    if (!m_operation.compare_exchange_strong(idle, operation))
        return false;
    m_stopRequested.store(false);
    return true;
}

void TransferJob::run()
{
    const int operation = m_operation.load();
    if (operation == Idle)
        return;
    TransferListener* listener = m_listener;
    m_progress = 0;
    m_backupResults.clear();
    m_verify = VerifyOutcome();
    m_plan = WritePlan();
    m_restore = RestoreOffer();
    m_ports = TransferPorts();

    try {
        runOperation(operation);
    } catch (...) {
        // A fault of the image or the line ends the transfer as a failure, never the
        // program; the port is still closed and the window still told.
        postResult(operation == Read ? TransferResult::ReadFailed : TransferResult::WriteFailed);
    }

    if (m_port)
        m_port->closeIfOpen();
    m_progress = 0;
    // The listener is taken before the job is freed: a new prepare may replace it at once.
    m_operation.store(Idle);
    if (listener)
        listener->transferProgress(0);
}

void TransferJob::runOperation(int operation)
{
    if (!m_image || !m_port) {
        postResult(TransferResult::NoRadio);
    } else if (operation == Read) {
        switch (connect()) {
        case ConnectOutcome::NoRadio:
            break;  // connect has reported result 0
        case ConnectOutcome::Stopped:
            postResult(TransferResult::ReadFailed);
            break;
        case ConnectOutcome::Connected:
            if (readAll(*m_port)) {
                keepBackup(*m_image, BackupStore::AfterRead);
                if (m_listener)
                    m_listener->imageNotify(ImageNotifyCode::ImageRead);
                postResult(TransferResult::ReadSucceeded);
            } else {
                postResult(TransferResult::ReadFailed);
            }
            break;
        }
    } else if (operation == Write) {
        switch (connect()) {
        case ConnectOutcome::NoRadio:
            break;
        case ConnectOutcome::Stopped:
            postResult(TransferResult::WriteFailed);
            break;
        case ConnectOutcome::Connected: {
            if (!confirmPort(operation)) {
                postResult(stopRequested() ? TransferResult::WriteFailed : TransferResult::TransferCancelled);
                break;
            }
            if (m_readBeforeWrite) {
                postResult(writeChanges(*m_port));
                break;
            }
            const bool written = writeAll(*m_port);
            if (written && m_verifyAfterWrite) {
                m_progress = 0;
                verifyAll(*m_port);
            }
            postResult(written ? TransferResult::WriteSucceeded : TransferResult::WriteFailed);
            break;
        }
        }
    } else if (operation == Verify) {
        switch (connect()) {
        case ConnectOutcome::NoRadio:
            break;
        case ConnectOutcome::Stopped:
            postResult(TransferResult::VerifyReadFailed);
            break;
        case ConnectOutcome::Connected:
            if (!confirmPort(operation))
                postResult(stopRequested() ? TransferResult::VerifyReadFailed : TransferResult::TransferCancelled);
            else if (!verifyAll(*m_port))
                postResult(TransferResult::VerifyReadFailed);
            else
                postResult(m_verify.equal ? TransferResult::VerifyEqual : TransferResult::VerifyDiffers);
            break;
        }
    }
}

TransferJob::ConnectOutcome TransferJob::connect()
{
    const std::int32_t stored = m_image->portNumber();
    m_ports.start = stored;
    m_ports.onlyStart = m_onlyStoredPort;
    m_ports.startDevice = PortMap::deviceForPort(stored).toStdString();

    // The stored port first, then the others in ascending order (unless the stored one is the
    // only one to try); a stored number above the last port means no port is tried at all.
    std::vector<std::int32_t> order;
    if (stored <= LastPort) {
        order.push_back(stored);
        for (int n = FirstPort; n <= LastPort && !m_onlyStoredPort; ++n)
            if (n != stored)
                order.push_back(n);
    }

    bool found = false;
    for (std::size_t i = 0; i < order.size() && !found; ++i) {
        if (stopRequested())
            return ConnectOutcome::Stopped;
        const std::int32_t n = order[i];
        if (m_listener)
            m_listener->scanningPort(n);
        if (!m_port->open(PortName(n))) {
            m_port->close();
            continue;
        }
        // The stored port is the likely one: it gets more patience than the others.
        Protocol protocol(*m_port);
        if (protocol.enterProgramming(i == 0 ? 3 : 1)) {
            m_image->setPortNumber(n);
            m_ports.answered = n;
            m_ports.answeredDevice = PortMap::deviceForPort(n).toStdString();
            found = true;
        } else if (stopRequested()) {
            m_port->close();
            return ConnectOutcome::Stopped;
        } else {
            step();
            m_port->close();
        }
    }

    if (!found) {
        postResult(TransferResult::NoRadio);
        return ConnectOutcome::NoRadio;
    }
    Protocol protocol(*m_port);
    if (!protocol.identify()) {
        // A stop cut the identification short: the radio did answer.
        if (stopRequested())
            return ConnectOutcome::Stopped;
        postResult(TransferResult::NoRadio);
        return ConnectOutcome::NoRadio;
    }
    return ConnectOutcome::Connected;
}

bool TransferJob::readAll(ByteLine& line)
{
    return readBlocks(line, *m_image);
}

bool TransferJob::verifyAll(ByteLine& line)
{
    m_verify = VerifyOutcome();
    m_verify.ran = true;
    RadioImage radio = *m_image;
    if (!readBlocks(line, radio))
        return false;
    // The write sends the image after the current-channel fix-up; so does the comparison.
    RadioImage sent = *m_image;
    currentChannelFixUp(sent);
    m_verify.readOk = true;
    m_verify.expected = ImageAsWritten(sent, radio);
    m_verify.radio = radio;
    m_verify.equal = m_verify.expected == m_verify.radio;
    return true;
}

bool TransferJob::readBlocks(ByteLine& line, RadioImage& into)
{
    Protocol protocol(line);
    step();
    const std::vector<BlockRef> blocks = into.readOrder();
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        if (stopRequested())
            return false;
        const BlockRef& block = blocks[i];
        if (!protocol.readBlock(block.addressHigh(), block.addressLow(), block.data().data()))
            return false;
        if (i + 1 < blocks.size())
            step();
    }
    m_progress = 100;
    postProgress(m_progress);
    return true;
}

bool TransferJob::writeAll(ByteLine& line)
{
    Protocol protocol(line);

    // Chunks 0 to chunksWritten - 1 of a block, each at its own radio address.
    auto writeChunks = [&](const BlockRef& block) {
        for (int k = 0; k < block.chunksWritten(); ++k) {
            const std::uint16_t address = block.chunkAddress(k);
            if (!protocol.writeChunk(static_cast<std::uint8_t>(address >> 8),
                                     static_cast<std::uint8_t>(address & 0xFF), block.chunk(k).data()))
                return false;
        }
        return true;
    };
    auto readInto = [&](const BlockRef& block) {
        return protocol.readBlock(block.addressHigh(), block.addressLow(), block.data().data());
    };

    step();
    if (stopRequested())
        return false;

    // The radio's own limits decide what may be written; nothing goes out before the
    // window has checked the image against them.
    const BlockRef limits = m_image->block(BandLimits);
    if (!protocol.readLimitBlock(limits.addressHigh(), limits.addressLow(), limits.data().data()))
        return false;
    if (stopRequested())
        return false;
    if (!m_listener || m_listener->imageNotify(ImageNotifyCode::CheckBeforeWrite) == 0)
        return false;
    keepBackup(*m_image, BackupStore::BeforeWrite);
    step();

    // What the radio keeps of a block comes from the radio just before the block is sent.
    auto mergeFromRadio = [&](const BlockRef& block) {
        switch (Regions[block.region()].merge) {
        case WriteMerge::None:
            return true;
        case WriteMerge::RadioOwnedBytes: {
            if (!readInto(m_image->block(Scratch)))
                return false;
            const auto scratch = m_image->scratchData();
            std::copy_n(scratch.begin() + functions::RadioOwned, functions::RadioOwnedLength,
                        block.data().begin() + functions::RadioOwned);
            return true;
        }
        case WriteMerge::RadioTail: {
            std::uint8_t kept[startup::ImageOwned];
            std::copy_n(block.data().begin(), startup::ImageOwned, kept);
            if (!readInto(block))
                return false;
            std::copy_n(kept, startup::ImageOwned, block.data().begin());
            return true;
        }
        }
        return false;
    };

    // Every record of the transfer regions in order, a progress step after each but the last.
    for (std::size_t r = 0; r < TransferRegions.size(); ++r) {
        const RegionId region = TransferRegions[r];
        for (int b = 0; b < Regions[region].records; ++b) {
            const BlockRef block = m_image->block(region, b);
            if (stopRequested() || !mergeFromRadio(block))
                return false;
            if (stopRequested() || !writeChunks(block))
                return false;
            if (r + 1 < TransferRegions.size() || b + 1 < Regions[region].records)
                step();
        }
    }

    m_progress = 100;
    postProgress(m_progress);
    return true;
}

TransferResult TransferJob::writeChanges(ByteLine& line)
{
    Protocol protocol(line);
    m_plan = WritePlan();

    // The whole radio, as a read fills an image, then its limits, as every write reads them.
    RadioImage radio = *m_image;
    if (!readBlocks(line, radio) || stopRequested())
        return TransferResult::WriteFailed;
    const BlockRef limits = m_image->block(BandLimits);
    if (!protocol.readLimitBlock(limits.addressHigh(), limits.addressLow(), limits.data().data()))
        return TransferResult::WriteFailed;
    std::copy_n(limits.data().begin(), BlockDataSize, radio.bandLimitData().begin());
    // What a write reads into the scratch block is the radio's function settings block,
    // which nothing has changed since it was read a moment ago.
    std::copy_n(radio.functionData().begin(), BlockDataSize, radio.scratchData().begin());
    m_plan.readOk = true;
    m_plan.radio = radio;
    m_plan.written = ImageAsWritten(*m_image, radio);
    m_plan.chunks = ChangedChunks(*m_image, radio);
    if (stopRequested())
        return TransferResult::WriteFailed;
    if (m_plan.chunks.empty())
        return TransferResult::WriteSucceeded;  // the radio holds it already: nothing is sent
    if (!ask(ImageNotifyCode::ConfirmChanges))
        return stopRequested() ? TransferResult::WriteFailed : TransferResult::TransferCancelled;
    if (!ask(ImageNotifyCode::CheckBeforeWrite))
        return TransferResult::WriteFailed;

    m_restore.backup = keepBackup(radio, BackupStore::BeforeWrite);
    m_restore.port = m_ports.answered;
    // From here on the radio may end up half written; an end that is not clean offers the copy.
    m_restore.offered = true;

    // The image takes what the radio keeps of a write, as a write that sends every chunk
    // leaves it: the scratch copy of block 0x0E20, its two radio-owned bytes, the radio's
    // tail of the start-up text block, whose end is the function settings as written.
    std::copy_n(radio.functionData().begin(), BlockDataSize, m_image->scratchData().begin());
    std::copy_n(radio.functionData().begin() + functions::RadioOwned, functions::RadioOwnedLength,
                m_image->functionData().begin() + functions::RadioOwned);
    std::copy(radio.startupTextData().begin() + startup::ImageOwned, radio.startupTextData().end(),
              m_image->startupTextData().begin() + startup::ImageOwned);
    const int overlap = Regions[FunctionSettings].baseAddress - Regions[StartupText].baseAddress;
    std::copy_n(m_image->functionData().begin(), BlockDataSize - overlap,
                m_image->startupTextData().begin() + overlap);

    if (!sendChanges(line))
        return TransferResult::WriteFailed;
    m_restore.offered = !m_verify.readOk || !m_verify.equal;
    return TransferResult::WriteSucceeded;
}

bool TransferJob::sendChanges(ByteLine& line)
{
    Protocol protocol(line);
    // Every block that takes a chunk is read back once all chunks are out.
    std::vector<ChunkPlace> blocks;
    for (const ChunkPlace& chunk : m_plan.chunks)
        if (blocks.empty() || blocks.back().region != chunk.region || blocks.back().record != chunk.record)
            blocks.push_back({chunk.region, chunk.record, 0});
    // A read-back moves about three times the bytes of a chunk write.
    const int total = static_cast<int>(m_plan.chunks.size() + 3 * blocks.size());
    int done = 0;
    m_progress = 0;

    for (const ChunkPlace& place : m_plan.chunks) {
        if (stopRequested())
            return false;
        const BlockRef block = m_image->block(place.region, place.record);
        const std::uint16_t address = block.chunkAddress(place.chunk);
        if (!protocol.writeChunk(static_cast<std::uint8_t>(address >> 8), static_cast<std::uint8_t>(address & 0xFF),
                                 block.chunk(place.chunk).data()))
            return false;
        ++m_plan.chunksSent;
        postShare(++done, total);
    }

    m_verify = VerifyOutcome();
    m_verify.ran = true;
    RadioImage after = m_plan.radio;
    for (const ChunkPlace& place : blocks) {
        if (stopRequested())
            return true;  // written; the read-back did not finish
        const BlockRef block = after.block(place.region, place.record);
        if (!protocol.readBlock(block.addressHigh(), block.addressLow(), block.data().data()))
            return true;
        done += 3;
        postShare(done, total);
    }
    m_verify.readOk = true;
    m_verify.expected = ImageAsWritten(*m_image, after);
    m_verify.radio = after;
    m_verify.equal = m_verify.expected == m_verify.radio;
    m_progress = 100;
    postProgress(m_progress);
    return true;
}

bool TransferJob::ask(ImageNotifyCode code)
{
    if (!m_listener || stopRequested())
        return false;
    return m_listener->imageNotify(code) != 0 && !stopRequested();
}

bool TransferJob::confirmPort(int operation)
{
    if (operation == Read || m_ports.answered == m_ports.start)
        return true;
    if (ask(ImageNotifyCode::ConfirmOtherPort))
        return true;
    // The radio the user turned down is not the configuration's: its port stays the one it had.
    m_image->setPortNumber(m_ports.start);
    return false;
}

void TransferJob::postShare(int done, int total)
{
    // 1 to 99 while the phase runs: 100 belongs to its end.
    m_progress = static_cast<std::int16_t>(std::clamp(total > 0 ? done * 100 / total : 0, 1, 99));
    postProgress(m_progress);
}

std::uint32_t TransferJob::availablePorts()
{
    // The port belongs to the worker while a transfer runs; closing it would cut the link.
    if (isBusy())
        return 0;
    if (!m_port)
        m_port = std::make_unique<CommPort>();
    std::uint32_t mask = 0;
    for (int n = FirstPort; n <= LastPort; ++n)
        mask |= 1u << n;
    for (int n = FirstPort; n <= LastPort; ++n) {
        if (!m_port->open(PortName(n)))
            mask &= ~(1u << n);
        m_port->closeIfOpen();
    }
    return mask;
}

BackupResult TransferJob::keepBackup(const RadioImage& image, const char* what)
{
    // Written on the worker: the image is not touched by the window while a transfer runs.
    if (!m_backups)
        return {};
    m_backupResults.push_back(m_backups->keep(image, what, m_ports.answered));
    return m_backupResults.back();
}

void TransferJob::step()
{
    ++m_progress;
    postProgress(m_progress);
}

void TransferJob::postProgress(int n)
{
    if (m_listener)
        m_listener->transferProgress(n);
}

void TransferJob::postResult(TransferResult code)
{
    if (m_listener)
        m_listener->transferResult(code);
}

}  // namespace tarn

// Test helpers: a byte line wired straight to a virtual radio (no device, no waiting) and a
// listener that records what a transfer reports.
#pragma once

#include "emulator/VirtualRadio.h"
#include "link/ByteLine.h"
#include "link/TransferListener.h"

#include <algorithm>
#include <deque>
#include <functional>
#include <vector>

namespace tarn::test {

class RadioLine : public ByteLine {
public:
    explicit RadioLine(VirtualRadio& radio) : m_radio(radio) {}

    int write(const std::uint8_t* bytes, int n) override
    {
        if (m_radio.hungUp())
            return 0;
        const RadioReply reply = m_radio.receive(bytes, static_cast<std::size_t>(n));
        m_inbox.insert(m_inbox.end(), reply.bytes.begin(), reply.bytes.end());
        return n;
    }
    int read(std::uint8_t* buffer, int n) override
    {
        const int got = std::min<int>(n, static_cast<int>(m_inbox.size()));
        std::copy_n(m_inbox.begin(), got, buffer);
        m_inbox.erase(m_inbox.begin(), m_inbox.begin() + got);
        if (got < n)
            m_radio.lineIdle();  // a short read is a read that timed out
        return got;
    }
    void purge() override { m_inbox.clear(); }

private:
    VirtualRadio& m_radio;
    std::deque<std::uint8_t> m_inbox;
};

class RecordingListener : public TransferListener {
public:
    std::vector<int> progress;
    std::vector<int> notifies;
    std::vector<int> results;
    int checkAnswer = 1;
    std::function<int()> onCheck;                 // replaces checkAnswer when set
    std::function<int(int)> onQuestion;           // the other questions; 1 when not set
    std::function<void(int)> onProgress;

    void transferProgress(int n) override
    {
        progress.push_back(n);
        if (onProgress)
            onProgress(n);
    }
    int imageNotify(ImageNotifyCode message) override
    {
        const int code = static_cast<int>(message);
        notifies.push_back(code);
        if (code == int(ImageNotifyCode::CheckBeforeWrite))
            return onCheck ? onCheck() : checkAnswer;
        return onQuestion ? onQuestion(code) : 1;
    }
    void transferResult(TransferResult code) override { results.push_back(static_cast<int>(code)); }
};

}  // namespace tarn::test

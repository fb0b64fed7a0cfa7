// A byte line that plays back scripted replies and records what the host sent, so protocol
// tests can check every byte and every retry without a device.
#pragma once

#include "link/ByteLine.h"

#include <cstdint>
#include <deque>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

class ScriptedLine : public tarn::ByteLine {
public:
    // Each read takes the next scripted reply (up to the bytes asked for); with none left a
    // read returns nothing, like a silent radio.
    void reply(const Bytes& bytes) { replies.push_back(bytes); }
    void silence(int reads = 1)
    {
        for (int i = 0; i < reads; ++i)
            replies.push_back({});
    }

    int write(const std::uint8_t* bytes, int n) override
    {
        ++writeCalls;
        if (failWriteAt == writeCalls)
            return 0;
        sent.emplace_back(bytes, bytes + n);
        events.push_back('W');
        return n;
    }
    int read(std::uint8_t* buffer, int n) override
    {
        readSizes.push_back(n);
        events.push_back('R');
        if (replies.empty())
            return 0;
        Bytes next = replies.front();
        replies.pop_front();
        const int count = std::min<int>(n, static_cast<int>(next.size()));
        std::copy(next.begin(), next.begin() + count, buffer);
        return count;
    }
    void purge() override
    {
        ++purges;
        events.push_back('P');
    }

    std::deque<Bytes> replies;
    std::vector<Bytes> sent;
    std::vector<int> readSizes;
    std::vector<char> events;
    int purges = 0;
    int writeCalls = 0;
    int failWriteAt = 0;  // 1-based write call that reports nothing written
};

// The end-to-end tests' radio data: an image a user would write, and what a radio's memory
// must hold after Tarn wrote an image to it, modelled straight from the radio's addresses
// rather than from the transfer code.
#pragma once

#include "emulator/VirtualRadio.h"
#include "radio/Bytes.h"
#include "radio/RadioImage.h"

#include <QString>
#include <QtTest>

#include <algorithm>
#include <array>

namespace tarn::testing {

inline void put(VirtualRadio::Memory& memory, std::uint16_t address, const std::uint8_t* bytes, int n)
{
    std::copy_n(bytes, n, memory.begin() + address);
}

// The radio's memory before the write, overwritten chunk by chunk from the image sent:
// both channel regions whole, the first 32 bytes of the VFO and offset blocks, the
// function settings with the radio's own bytes 38 and 39, and bytes 0-5 of the start-up text.
inline VirtualRadio::Memory memoryAfterWrite(const VirtualRadio::Memory& before, const RadioImage& sent)
{
    using namespace tarn::layout;
    VirtualRadio::Memory expected = before;
    for (int b = 0; b < 32; ++b) {
        put(expected, 0x0010 + 64 * b, sent.data() + dataOffset(Channels, b), 64);
        put(expected, 0x1010 + 64 * b, sent.data() + dataOffset(ChannelExtensions, b), 64);
    }
    put(expected, 0x0810, sent.vfoData().data(), 32);
    put(expected, 0x1810, sent.offsetData().data(), 32);
    std::array<std::uint8_t, 64> functionsSent;
    std::copy_n(sent.functionData().begin(), 64, functionsSent.begin());
    functionsSent[functions::RadioOwned] = before[0x0E20 + functions::RadioOwned];
    functionsSent[functions::RadioOwned + 1] = before[0x0E20 + functions::RadioOwned + 1];
    put(expected, 0x0E20, functionsSent.data(), 64);
    put(expected, 0x0E06, sent.startupTextData().data(), 6);
    return expected;
}

// What a user would write: the radio's channels, renamed and re-tuned, inside its limits,
// with other values in the radio-owned bytes than the radio holds.
inline RadioImage editedImage()
{
    using namespace tarn::layout;
    RadioImage image = VirtualRadio::imageFromMemory(VirtualRadio::factoryMemory());
    for (int i = 0; i < 40; ++i) {
        writeLe32(image.channelSlot(i).data() + channel::RxFrequency, 0x14600000 + 0x1250 * (i % 8));
        writeLe32(image.channelSlot(i).data() + channel::TxFrequency, 0x43300000);
        image.extensionSlot(i)[extension::Name] = static_cast<std::uint8_t>(i % 36);
    }
    writeLe32(image.bandRecord(Band::A).data() + vfo::RxFrequency, 0x14500000);
    for (int j = 0; j < BlockDataSize; ++j) {
        image.offsetData()[j] = static_cast<std::uint8_t>(j);
        image.startupTextData()[j] = static_cast<std::uint8_t>(0xA0 + j);
    }
    image.functionData()[functions::RadioOwned] = 0x11;
    image.functionData()[functions::RadioOwned + 1] = 0x22;
    image.setPortNumber(1);
    return image;
}

// Fails the test at the first byte where the radio's memory differs from the model.
inline bool sameMemory(const VirtualRadio::Memory& actual, const VirtualRadio::Memory& expected)
{
    for (std::size_t a = 0; a < actual.size(); ++a) {
        if (actual[a] != expected[a]) {
            qWarning("radio byte 0x%04zx differs", a);
            return false;
        }
    }
    return true;
}

}  // namespace tarn::testing

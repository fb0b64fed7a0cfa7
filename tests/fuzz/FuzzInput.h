// Takes a fuzz input apart into the values a target needs: bytes, numbers and texts, each
// taken from the front; an exhausted input yields zeros and empty texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(data ? size : 0) {}

    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    std::uint16_t word16() { return static_cast<std::uint16_t>(byte() | (byte() << 8)); }
    std::uint32_t word32() { return static_cast<std::uint32_t>(word16()) | (static_cast<std::uint32_t>(word16()) << 16); }
    // The text up to the next line feed (or the end).
    std::string line()
    {
        std::string text;
        while (m_at < m_size && m_data[m_at] != '\n')
            text += static_cast<char>(m_data[m_at++]);
        if (m_at < m_size)
            ++m_at;
        return text;
    }
    // Copies up to n bytes into destination; returns how many there were.
    std::size_t take(std::uint8_t* destination, std::size_t n)
    {
        std::size_t k = 0;
        while (k < n && m_at < m_size)
            destination[k++] = m_data[m_at++];
        return k;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

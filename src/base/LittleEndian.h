// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

// The little-endian fields of the files the game reads and writes (settings record, GIF,
// cursor, wave): one reader and one writer for all of them. Callers check the bounds.
namespace le {

// The unsigned value of the `bytes` bytes (1 to 4) at p, lowest first.
inline std::uint32_t get(const void* p, int bytes)
{
    const auto* b = static_cast<const std::uint8_t*>(p);
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= std::uint32_t(b[i]) << (8 * i);
    return v;
}

inline std::uint16_t u16(const void* p) { return static_cast<std::uint16_t>(get(p, 2)); }
inline std::uint32_t u32(const void* p) { return get(p, 4); }

// Writes the low `bytes` bytes of v at p, lowest first.
inline void put(void* p, std::uint32_t v, int bytes)
{
    auto* b = static_cast<std::uint8_t*>(p);
    for (int i = 0; i < bytes; ++i)
        b[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

} // namespace le

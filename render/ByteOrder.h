// Reading and writing the fixed-size integers of file headers, in either byte order, without
// alignment or sign surprises.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace ByteOrder {
inline std::uint32_t big32(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
inline std::uint32_t big16(const unsigned char* p)
{
    return (std::uint32_t(p[0]) << 8) | p[1];
}
inline std::uint32_t little32(const unsigned char* p)
{
    return (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}
inline std::uint32_t little16(const unsigned char* p)
{
    return (std::uint32_t(p[1]) << 8) | p[0];
}
inline void putBig32(std::vector<unsigned char>& out, std::uint32_t v)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}
inline void putLittle32(std::vector<unsigned char>& out, std::uint32_t v)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}
}

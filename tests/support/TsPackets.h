#pragma once

// Transport stream packets made and read for the clock shifter's tests, fuzz target and bench:
// clock references, the first packets of pictures and sound, and where the packets of a datagram
// lie. Written from the stream format alone, apart from the shifter, so that both can be checked
// against each other.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace tspackets {

using Packet = std::array<uint8_t, 188>;
constexpr int64_t kMs = 90; // 90 kHz ticks
constexpr uint16_t kVideo = 0x100;
constexpr uint16_t kSound = 0x101;
constexpr uint16_t kPcrExtension = 0x1AB;

inline int64_t Wrap33(int64_t value)
{
    constexpr int64_t wrap = int64_t{1} << 33;
    return ((value % wrap) + wrap) % wrap;
}

inline Packet Header(uint16_t pid, bool unitStart, int control)
{
    Packet p{};
    p.fill(0xFF);
    p[0] = 0x47;
    p[1] = static_cast<uint8_t>((unitStart ? 0x40 : 0) | (pid >> 8));
    p[2] = static_cast<uint8_t>(pid);
    p[3] = static_cast<uint8_t>(control << 4);
    return p;
}

// A packet that is all adaptation field: a clock reference and, when given, private data after it.
inline Packet PcrPacket(int64_t pcr, bool discontinuity = false, const std::vector<uint8_t>& privateData = {})
{
    pcr = Wrap33(pcr);
    Packet p = Header(kVideo, false, 2);
    p[4] = 183;
    p[5] = static_cast<uint8_t>(0x10 | (discontinuity ? 0x80 : 0) | (privateData.empty() ? 0 : 0x02));
    p[6] = static_cast<uint8_t>(pcr >> 25);
    p[7] = static_cast<uint8_t>(pcr >> 17);
    p[8] = static_cast<uint8_t>(pcr >> 9);
    p[9] = static_cast<uint8_t>(pcr >> 1);
    p[10] = static_cast<uint8_t>(((pcr & 1) << 7) | 0x7E | (kPcrExtension >> 8));
    p[11] = static_cast<uint8_t>(kPcrExtension & 0xFF);
    if (!privateData.empty()) {
        p[12] = static_cast<uint8_t>(privateData.size());
        std::copy(privateData.begin(), privateData.end(), p.begin() + 13);
    }
    return p;
}

inline bool HasPcr(const uint8_t* p)
{
    return (p[3] & 0x20) != 0 && p[4] >= 7 && (p[5] & 0x10) != 0;
}

inline int64_t PcrOf(const uint8_t* p)
{
    return (int64_t{p[6]} << 25) | (int64_t{p[7]} << 17) | (int64_t{p[8]} << 9) | (int64_t{p[9]} << 1) |
           (p[10] >> 7);
}

inline bool HasPcr(const Packet& p)
{
    return HasPcr(p.data());
}

inline int64_t PcrOf(const Packet& p)
{
    return PcrOf(p.data());
}

inline int PcrExtensionOf(const Packet& p)
{
    return ((p[10] & 0x01) << 8) | p[11];
}

inline void PutStamp(uint8_t* at, int prefix, int64_t value)
{
    value = Wrap33(value);
    at[0] = static_cast<uint8_t>((prefix << 4) | (((value >> 30) & 0x07) << 1) | 1);
    at[1] = static_cast<uint8_t>(value >> 22);
    at[2] = static_cast<uint8_t>((((value >> 15) & 0x7F) << 1) | 1);
    at[3] = static_cast<uint8_t>(value >> 7);
    at[4] = static_cast<uint8_t>(((value & 0x7F) << 1) | 1);
}

// The first packet of a picture (stamped for presentation and decoding) or of sound (presentation
// only).
inline Packet PesStart(uint16_t pid, int64_t pts, int64_t dts = -1)
{
    Packet p = Header(pid, true, 1);
    uint8_t* pes = p.data() + 4;
    pes[0] = 0;
    pes[1] = 0;
    pes[2] = 1;
    pes[3] = pid == kVideo ? 0xE0 : 0xC0;
    pes[4] = 0;
    pes[5] = 0;
    pes[6] = 0x80;
    pes[7] = dts >= 0 ? 0xC0 : 0x80;
    pes[8] = dts >= 0 ? 10 : 5;
    PutStamp(pes + 9, dts >= 0 ? 3 : 2, pts);
    if (dts >= 0)
        PutStamp(pes + 14, 1, dts);
    return p;
}

// The stream a PES packet belongs to and the stamp it carries for decoding (its presentation
// stamp when it has no other), for a packet that starts one of pictures or sound.
struct PesStamp
{
    uint8_t streamId;
    int64_t stamp;
    bool Picture() const { return (streamId & 0xF0) == 0xE0; }
};

inline std::optional<PesStamp> PesStampOf(const uint8_t* p)
{
    if ((p[1] & 0x40) == 0 || (p[3] & 0x10) == 0)
        return std::nullopt;
    const size_t at = (p[3] & 0x20) != 0 ? size_t{5} + p[4] : 4;
    if (at + 19 > 188)
        return std::nullopt;
    const uint8_t* pes = p + at;
    if (pes[0] != 0 || pes[1] != 0 || pes[2] != 1 || ((pes[3] & 0xE0) != 0xC0 && (pes[3] & 0xF0) != 0xE0))
        return std::nullopt;
    const int flags = pes[7] >> 6;
    if (flags < 2)
        return std::nullopt;
    const uint8_t* s = flags == 3 ? pes + 14 : pes + 9;
    return PesStamp{pes[3], (int64_t{(s[0] >> 1) & 0x07} << 30) | (int64_t{s[1]} << 22) |
                                (int64_t{s[2] >> 1} << 15) | (int64_t{s[3]} << 7) | (s[4] >> 1)};
}

// Where the whole transport stream packets of a datagram lie: a datagram of bare packets, or RTP
// (RFC 3550: contributing sources, header extension, padding) around them. Empty for anything else.
inline std::vector<size_t> PacketsOf(const uint8_t* d, size_t size)
{
    size_t from = 0;
    size_t to = size;
    if (size == 0)
        return {};
    if (d[0] != 0x47) {
        const bool rtp2 = size >= 12 && (d[0] >> 6) == 2;
        if (!rtp2)
            return {};
        from = 12 + size_t{4} * (d[0] & 0x0F);
        const bool extended = (d[0] & 0x10) != 0;
        if (extended && from + 4 > size)
            return {};
        if (extended)
            from += 4 + size_t{4} * (size_t{d[from + 2]} * 256 + d[from + 3]);
        const bool padded = (d[0] & 0x20) != 0;
        if (padded && d[size - 1] > size)
            return {};
        if (padded)
            to -= d[size - 1];
    }
    std::vector<size_t> starts;
    for (size_t at = from; at + 188 <= to && d[at] == 0x47; at += 188)
        starts.push_back(at);
    return starts;
}

} // namespace tspackets

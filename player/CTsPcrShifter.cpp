#include "player/CTsPcrShifter.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kTsPacket = 188;
constexpr uint8_t kTsSync = 0x47;
constexpr int64_t kWrap = int64_t{1} << 33;

int64_t ReadStamp(const uint8_t* p)
{
    return (int64_t{static_cast<uint8_t>((p[0] >> 1) & 0x07)} << 30) | (int64_t{p[1]} << 22) |
           (int64_t{static_cast<uint8_t>(p[2] >> 1)} << 15) | (int64_t{p[3]} << 7) | (p[4] >> 1);
}

int64_t ReadPcrBase(const uint8_t* p)
{
    return (int64_t{p[0]} << 25) | (int64_t{p[1]} << 17) | (int64_t{p[2]} << 9) | (int64_t{p[3]} << 1) |
           (p[4] >> 7);
}

void WritePcrBase(uint8_t* p, int64_t base)
{
    p[0] = static_cast<uint8_t>(base >> 25);
    p[1] = static_cast<uint8_t>(base >> 17);
    p[2] = static_cast<uint8_t>(base >> 9);
    p[3] = static_cast<uint8_t>(base >> 1);
    p[4] = static_cast<uint8_t>(((base & 1) << 7) | (p[4] & 0x7F)); // keeps the 9-bit extension
}

// Stream ids whose packets have no optional header, hence no stamps (ISO/IEC 13818-1 2.4.3.7).
bool HasPesHeader(uint8_t streamId)
{
    switch (streamId) {
    case 0xBC:
    case 0xBE:
    case 0xBF:
    case 0xF0:
    case 0xF1:
    case 0xF2:
    case 0xF8:
    case 0xFF:
        return false;
    default:
        return true;
    }
}

} // namespace

int64_t CTsPcrShifter::Wrap(int64_t value)
{
    return ((value % kWrap) + kWrap) % kWrap;
}

int64_t CTsPcrShifter::WrapDiff(int64_t a, int64_t b)
{
    return Wrap(a - b + kWrap / 2) - kWrap / 2;
}

void CTsPcrShifter::Process(uint8_t* data, size_t size)
{
    size_t begin = 0;
    size_t end = size;
    if (size == 0)
        return;
    if (data[0] != kTsSync) {
        // RTP version 2: fixed header, contributing sources, optional extension and padding.
        if (size < 12 || (data[0] & 0xC0) != 0x80)
            return;
        begin = 12 + 4 * static_cast<size_t>(data[0] & 0x0F);
        if ((data[0] & 0x10) != 0) {
            if (begin + 4 > size)
                return;
            begin += 4 + 4 * ((static_cast<size_t>(data[begin + 2]) << 8) | data[begin + 3]);
        }
        if ((data[0] & 0x20) != 0) {
            const size_t padding = data[size - 1];
            if (padding > size)
                return;
            end = size - padding;
        }
    }
    for (size_t at = begin; at + kTsPacket <= end && data[at] == kTsSync; at += kTsPacket)
        Packet(data + at);
}

void CTsPcrShifter::Packet(uint8_t* p)
{
    const uint16_t pid = static_cast<uint16_t>(((p[1] & 0x1F) << 8) | p[2]);
    const bool unitStart = (p[1] & 0x40) != 0;
    const int control = (p[3] >> 4) & 0x03;
    size_t payload = 4;
    if ((control & 0x02) != 0) {
        const size_t length = p[4];
        if (length > kTsPacket - 5)
            return; // broken: leave it to the engine
        payload = 5 + length;
        const uint8_t flags = length > 0 ? p[5] : 0;
        if ((flags & 0x10) != 0 && length >= 7) {
            const int64_t pcr = ReadPcrBase(p + 6);
            const int64_t step = m_havePcr ? WrapDiff(pcr, m_lastPcr) : 0;
            if (!m_havePcr) {
                m_havePcr = true;
                m_learnStart = pcr;
            } else if ((flags & 0x80) != 0 || std::abs(step) > kJumpTicks) {
                Restart();
                m_learnStart = pcr;
            }
            m_lastPcr = pcr;
            if (m_learning && WrapDiff(pcr, m_learnStart) >= kLearnTicks)
                Settle();
            if (m_learning) {
                // Held back: the rest of the adaptation field moves up over the reference and the
                // freed bytes at its end become stuffing.
                uint8_t* field = p + 6;
                const size_t rest = length - 7;
                std::memmove(field, field + 6, rest);
                std::memset(field + rest, 0xFF, 6);
                p[5] = static_cast<uint8_t>(flags & ~0x10);
            } else {
                Follow(step);
                if (m_shift != 0)
                    WritePcrBase(p + 6, Wrap(pcr + m_shift));
            }
        }
    }
    if (!m_havePcr || !unitStart || (control & 0x01) == 0 || payload + 19 > kTsPacket)
        return;
    const uint8_t* pes = p + payload;
    if (pes[0] != 0 || pes[1] != 0 || pes[2] != 1 || !HasPesHeader(pes[3]))
        return;
    const int stamps = pes[7] >> 6;
    if (stamps < 2)
        return;
    // Decoding, not presentation, is what must not come late.
    Stamp(pid, ReadStamp(stamps == 3 ? pes + 14 : pes + 9));
}

void CTsPcrShifter::Stamp(uint16_t pid, int64_t stamp)
{
    const int64_t lead = WrapDiff(stamp, m_lastPcr);
    if (!m_learning) {
        if (lead - m_shift < kGuardTicks)
            m_target = std::min(m_target, std::max(lead - kGuardTicks, int64_t{0}));
        return;
    }
    m_minLead = m_haveLead ? std::min(m_minLead, lead) : lead;
    m_haveLead = true;
    if (std::find(m_stampedPids.begin(), m_stampedPids.end(), pid) == m_stampedPids.end())
        m_stampedPids.push_back(pid);
    if (m_stampedPids.size() >= 2)
        Settle();
}

void CTsPcrShifter::Follow(int64_t step)
{
    if (m_target < m_shift && step > 0)
        m_shift -= std::min(m_shift - m_target, step / kFollowDivisor);
}

void CTsPcrShifter::Restart()
{
    m_learning = true;
    m_haveLead = false;
    m_stampedPids.clear();
}

void CTsPcrShifter::Settle()
{
    // A lead beyond the clock's own break limit is a broken stamp, not room to spare.
    m_shift = m_haveLead ? std::clamp(m_minLead - kGuardTicks, int64_t{0}, kJumpTicks) : 0;
    m_settledShift = m_shift;
    m_target = m_shift;
    m_learning = false;
    ++m_settled;
}

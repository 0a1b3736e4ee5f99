#!/usr/bin/env python3
"""Writes the seed inputs of the clock shifter's fuzz target: fuzz/player/make-seeds.py

Each seed is a run of datagrams, each a two-byte big-endian length and its bytes, as a box sends
a stream: bare transport stream packets (UDP) or RTP around them, with the clock references,
picture and sound stamps the shifter reads, and the odd shapes it must leave alone."""
import os
import struct

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "datagrams")
MS = 90
WRAP = 1 << 33


def header(pid, unit_start, control, counter=0):
    return bytes([0x47, (0x40 if unit_start else 0) | (pid >> 8), pid & 0xFF, (control << 4) | (counter & 15)])


def pcr_field(pcr, discontinuity=False, private=b""):
    pcr %= WRAP
    flags = 0x10 | (0x80 if discontinuity else 0) | (0x02 if private else 0)
    body = bytes([flags, (pcr >> 25) & 0xFF, (pcr >> 17) & 0xFF, (pcr >> 9) & 0xFF, (pcr >> 1) & 0xFF,
                  ((pcr & 1) << 7) | 0x7E, 0x00])
    if private:
        body += bytes([len(private)]) + private
    return body


def packet(pid, unit_start=False, field=None, payload=b""):
    if field is None:
        return (header(pid, unit_start, 1) + payload + b"\xff" * 184)[:188]
    room = 183 - len(payload)
    field = (field + b"\xff" * room)[:room]
    control = 3 if payload else 2
    return header(pid, unit_start, control) + bytes([len(field)]) + field + payload


def stamp(prefix, value):
    value %= WRAP
    return bytes([(prefix << 4) | (((value >> 30) & 7) << 1) | 1, (value >> 22) & 0xFF,
                  (((value >> 15) & 0x7F) << 1) | 1, (value >> 7) & 0xFF, ((value & 0x7F) << 1) | 1])


def pes(stream_id, pts, dts=None):
    if dts is None:
        return b"\x00\x00\x01" + bytes([stream_id, 0, 0, 0x80, 0x80, 5]) + stamp(2, pts)
    return b"\x00\x00\x01" + bytes([stream_id, 0, 0, 0x80, 0xC0, 10]) + stamp(3, pts) + stamp(1, dts)


def picture(pcr, lead):
    return packet(0x100, True, payload=pes(0xE0, pcr + lead + 40 * MS, pcr + lead) + b"\x00" * 40)


def sound(pcr, lead):
    return packet(0x101, True, payload=pes(0xC0, pcr + lead) + b"\x21" * 30)


def stream(start, steps, lead_of, every=20):
    """Packets of a stream: a clock reference every `every` ms, sound and a picture after each."""
    out = []
    for n in range(steps):
        ms = n * every
        pcr = start + ms * MS
        out += [packet(0x100, field=pcr_field(pcr)), sound(pcr, lead_of(ms) * MS)]
        if n % 3 == 0:
            out.append(picture(pcr, (lead_of(ms) + 40) * MS))
    return out


def rtp(packets, csrcs=0, extension=None, padding=0, seq=0):
    first = 0x80 | (0x20 if padding else 0) | (0x10 if extension is not None else 0) | csrcs
    d = bytes([first, 33]) + struct.pack(">HII", seq & 0xFFFF, seq * 1500, 0x1234)
    d += b"\x47\x00\x00\x00" * csrcs
    if extension is not None:
        d += b"\xbe\xde" + struct.pack(">H", extension) + b"\x47\x10\x00\x00" * extension
    d += b"".join(packets)
    if padding:
        d += b"\x00" * (padding - 1) + bytes([padding])
    return d


def datagrams(packets, per=7, wrap=lambda chunk, n: b"".join(chunk)):
    return [wrap(packets[i:i + per], n) for n, i in enumerate(range(0, len(packets), per))]


def write(name, grams):
    with open(os.path.join(OUT, name), "wb") as f:
        for g in grams:
            f.write(struct.pack(">H", len(g)) + g)


def falling(ms):
    return max(300, 700 - ms // 20)


os.makedirs(OUT, exist_ok=True)
steady = stream(90000, 60, lambda ms: 700)
write("udp-steady", datagrams(steady))
write("udp-falling-delay", datagrams(stream(90000, 120, falling)))
write("rtp-plain", datagrams(steady, wrap=lambda c, n: rtp(c, seq=n)))
write("rtp-sources-extension-padding",
      datagrams(stream(90000, 40, falling), wrap=lambda c, n: rtp(c, csrcs=3, extension=2, padding=5, seq=n)))
# A packet cut short at the end of each datagram, and datagrams of odd sizes.
write("udp-cut", [g[:-60] for g in datagrams(steady)] + [b"\x47", b"\x47\x40", bytes(187)])
# Private data after the reference, a marked break, and a jump of the clock ahead and back.
marked = [packet(0x100, field=pcr_field(5000 * MS, True, b"\xde\xad\xbe\xef"))]
write("udp-breaks", datagrams(steady[:20] + marked + stream(5000 * MS + 1800, 20, lambda ms: 500) +
                              stream(90 * 1000 * MS, 20, lambda ms: 900) + stream(1000 * MS, 30, falling)))
write("udp-across-wrap", datagrams(stream(WRAP - 300 * MS, 40, lambda ms: 600)))
# Stamps behind the clock and far ahead of it; fields of every length up to the whole packet.
write("udp-odd-stamps", datagrams(stream(90000, 20, lambda ms: -200 if ms % 40 else 3000)))
write("udp-field-lengths", datagrams([header(0x100, False, 3) + bytes([n, 0x10]) + b"\x00" * 186
                                      for n in (0, 1, 6, 7, 8, 182, 183, 184, 255)]))
# Padding that claims the whole datagram, and a datagram of one packet whose padding eats into it.
whole = bytes([0xA0, 33]) + bytes(10) + b"\x47\x41\x00\x30" + bytes(20)
write("rtp-odd-padding", [whole[:-1] + bytes([len(whole)]), rtp(steady[:1], padding=3)[:-1] + b"\x10"])
write("not-a-stream", [b"", b"\x12\x34\x56", rtp([], csrcs=15)[:20], bytes([0x90, 33]) + b"\x00" * 12,
                       rtp(steady[:2], padding=1)[:-1] + b"\xff", bytes([0x40]) + b"\x47" * 400])

#!/usr/bin/env python3
"""Writes small hand-made raw records as seed inputs of the decoder fuzz targets.

Usage: make_seeds.py OUTDIR   -> OUTDIR/binary/* and OUTDIR/ascii/*
Each seed is a short raw data file: one record, or a few records with bytes between.
"""
import os
import struct
import sys


def escape(body):
    out = bytearray()
    for b in body:
        if b >= 0xFD:
            out += bytes([0xFD, b - 0xFD])
        else:
            out.append(b)
    return bytes(out)


def frame(letter, body):
    """Binary record: 0xFE, letter, escaped body, escaped checksum, 0xFF."""
    esc = bytes([ord(letter)]) + escape(body)
    total = sum(esc) & 0xFFFF
    return b"\xfe" + esc + escape(struct.pack(">H", total)) + b"\xff"


def time_header(week, tenths):
    return b"\x00\x00" + struct.pack(">H", week) + tenths.to_bytes(3, "big")


def block(prn, c1, s, l1, d1, st0, st3, dual=False, q=False, p1=-5, p2=7, l2=65535, d2=-250):
    b = bytes([prn & 0xFF]) + (b"\x00" if q else b"")
    b += struct.pack(">I", c1) + bytes([s]) + l1.to_bytes(3, "big")
    b += (d1 & 0xFFFFFF).to_bytes(3, "big") + bytes([st0, st3])
    if dual:
        b += b"\x00" + struct.pack(">hh", p1, p2) + l2.to_bytes(3, "big")
        b += (d2 & 0xFFFFFF).to_bytes(3, "big") + b"\x44\x55"
    return b


def words(values):
    return b"".join(v.to_bytes(3, "big") for v in values)


# Words 3..10 of subframes 1..3 of a plausible ephemeris (IODE 0x23 in both places).
EPH_WORDS = [0x8D6803, 0x800000, 0, 0, 0x0000F1, 0x235460, 0xFF0003, 0xFFFFF4,
             0x23FFFD, 0x03E880, 0x000001, 0xFFFF01, 0x000000, 0x0002A1, 0x0D1234, 0x546080,
             0x00037F, 0xFFFFFF, 0xFFFC26, 0x123456, 0x1F40FF, 0xFFFFFE, 0xFFB1E0, 0x23FE70]
UTC_WORDS = [0x780502, 0xFFFE28, 0x05FFF8, 0xFFFFE8, 0xFFFFFF, 0xF77B36, 0x0F8907, 0xFE0000]


def binary_seeds():
    seeds = {}
    single = time_header(1590, 3456001) + b"\x00"
    single += block(5, 700000000, 0x0A, 0x123456, -1000, 0x41, 0x52)
    single += block(32, 1712345678, 0x85, 0x111111, -0x800000, 0, 0)
    seeds["r_single"] = frame("R", single)
    dual = time_header(1590, 100) + b"\xde\xad\xbe\xef" + b"\x80"
    dual += block(7, 700000000, 0x30, 0xFFFFFF, 250, 0x21, 0x33, dual=True, q=True)
    seeds["q_dual"] = frame("Q", dual)
    r_dual = time_header(1590, 200) + b"\x80" + block(9, 71234567, 0x25, 0xFEFDFF, 3, 1, 2, dual=True)
    seeds["r_dual"] = frame("R", r_dual)
    seeds["e"] = frame("E", b"\x00\x00\x0c" + words(EPH_WORDS))
    seeds["u"] = frame("U", b"\x00\x00" + words(UTC_WORDS))
    seeds["h"] = frame("H", time_header(1590, 3456000) + struct.pack("<d", 1.543))
    seeds["m_event"] = frame("M", time_header(1590, 6047999) + struct.pack(">i", 2000000000) + b"\x11" * 6)

    def text(s, n):
        return s.encode().ljust(n, b"\x00")[:n]

    site = time_header(1590, 3456010) + b"\x04" + text("  MY  ", 12)
    for k, t in enumerate(["SITE  ", " , X ", "", "07 2.3", "FILE.JRS"]):
        site += text(t, 12) + (b"  " if k < 4 else b"")
    seeds["m_site_jrs"] = frame("m", site)
    site2 = time_header(1590, 3456010) + b"\x01" + text("MARKER", 12)
    for k, t in enumerate(["Alpha", "", "Gamma", "", "obs.dat"]):
        site2 += text(t, 12) + (b"  " if k < 4 else b"")
    seeds["m_site"] = frame("m", site2)
    seeds["mixed"] = (b"junk" + seeds["r_single"] + b"\xfe\xfe" + seeds["e"] + seeds["u"] +
                      seeds["h"] + b"\x00\xff" + seeds["q_dual"] + seeds["m_site"] + seeds["m_event"])
    return seeds


def fixed(letter, header, body, marker="#"):
    s = "01" + marker + letter + " " + header
    return "\x02" + s.ljust(19) + body + "\x03"


def sat_line(values):
    return ("* " + values).ljust(39) + "\n"


def ascii_seeds():
    seeds = {}
    seeds["fixed_r"] = fixed("R", "1590 3456000", sat_line("712345678 1000000 5 40 0 0") +
                             sat_line("1712345678 20 12 33 1 256"))
    seeds["fixed_r_pair"] = seeds["fixed_r"] + fixed("R", "1590 3456010", sat_line("712345678 2500000 5 40 0 0"))
    rows = ""
    for r in range(3):
        rows += " ".join("%06X" % w for w in EPH_WORDS[8 * r:8 * r + 8]) + " \n"
    seeds["fixed_e"] = fixed("E", "1590 3456000", "0 12  " + rows)
    seeds["fixed_u"] = fixed("U", "1590 3456000", " ".join("%06X" % w for w in UTC_WORDS))
    seeds["fixed_m"] = fixed("M", "1590 3456017", "   12345678901     Description")
    seeds["fixed_t"] = fixed("T", "1590 3456017", "   5000000000")
    seeds["fixed_v"] = fixed("V", "1590 3456000", "  1543")

    def comma(letter, lines):
        return "\x02" + "00 " + letter + " " + "".join(l + "\r\n" for l in lines) + "\x03"

    full = "S,5,700000000,1193046,-4000,45,2,41,52,0,-5,7,65535,-1000,44,55"
    seeds["comma_r_cp"] = comma("R", ["!HDR,1590,345600.5", "CP", full, "S,6,1,2,3,4,C"])
    seeds["comma_q_short"] = comma("Q", ["!HDR,1590,345600.5", "#P", full])
    eph_lines = [",".join("%06X" % w for w in EPH_WORDS[8 * r:8 * r + 8]) for r in range(3)]
    seeds["comma_e"] = comma("E", ["!EPH,1590,345000", " 12"] + eph_lines)
    seeds["comma_u"] = comma("U", ["!ION,1590,345000", ",".join("%06X" % w for w in UTC_WORDS)])
    seeds["comma_t"] = comma("T", ["!EVT,1590,345600.5", "*1,a,345601.25"])
    seeds["mixed"] = "noise" + "".join(seeds[k] for k in sorted(seeds)) + "\x02tail"
    return {k: v.encode("latin-1") for k, v in seeds.items()}


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    for sub, seeds in (("binary", binary_seeds()), ("ascii", ascii_seeds())):
        d = os.path.join(sys.argv[1], sub)
        os.makedirs(d, exist_ok=True)
        for name, data in seeds.items():
            with open(os.path.join(d, name), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes src/util/Cp932Table.h, code page 932 (Shift_JIS as Windows has it)
in both directions, from glibc's iconv "CP932" table.

    scripts/make_cp932_tables.py [output]

Run it on a system with glibc (it calls iconv through ctypes; Python's own
cp932 codec differs from glibc's).  The tables:

- decoding: every single byte and every lead/trail pair iconv decodes to
  exactly one UTF-16 unit.  A byte iconv calls incomplete is a lead byte.
  On top of iconv, five single bytes decode as Windows does: 0x80 -> U+0080,
  0xA0 -> U+F8F0, 0xFD -> U+F8F1, 0xFE -> U+F8F2, 0xFF -> U+F8F3.
- encoding: the decoding table reversed.  A character counts as encodable
  only when iconv's code for it decodes back to it, which drops iconv's
  best-fit mappings (U+00A5 -> 0x5C and the like).  Where a character has
  several codes, iconv's choice stands; the other codes are listed as the
  codes that are not written.  The five bytes above encode back to
  themselves.
"""

import ctypes
import ctypes.util
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUT = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "src/util/Cp932Table.h")

NONE = 0xFFFF
WINDOWS_SINGLES = {0x80: 0x0080, 0xA0: 0xF8F0, 0xFD: 0xF8F1, 0xFE: 0xF8F2, 0xFF: 0xF8F3}
EINVAL = 22

libc = ctypes.CDLL(ctypes.util.find_library("c"), use_errno=True)
libc.iconv_open.restype = ctypes.c_void_p
libc.iconv_open.argtypes = [ctypes.c_char_p, ctypes.c_char_p]
libc.iconv.restype = ctypes.c_size_t
libc.iconv.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_char_p),
                       ctypes.POINTER(ctypes.c_size_t), ctypes.POINTER(ctypes.c_char_p),
                       ctypes.POINTER(ctypes.c_size_t)]
FAILED = ctypes.c_size_t(-1).value


class Iconv:
    def __init__(self, to_code, from_code):
        self.cd = libc.iconv_open(to_code.encode(), from_code.encode())
        if self.cd in (None, FAILED):
            raise SystemExit(f"iconv_open({to_code}, {from_code}) failed")

    def convert(self, data):
        """(output bytes, input bytes left, whether the input was incomplete);
        output None when iconv failed."""
        libc.iconv(self.cd, None, None, None, None)
        in_buf = ctypes.create_string_buffer(data, len(data))
        out_buf = ctypes.create_string_buffer(8)
        in_p = ctypes.c_char_p(ctypes.addressof(in_buf))
        out_p = ctypes.c_char_p(ctypes.addressof(out_buf))
        in_left = ctypes.c_size_t(len(data))
        out_left = ctypes.c_size_t(8)
        ctypes.set_errno(0)
        r = libc.iconv(self.cd, ctypes.byref(in_p), ctypes.byref(in_left),
                       ctypes.byref(out_p), ctypes.byref(out_left))
        if r == FAILED:
            return None, in_left.value, ctypes.get_errno() == EINVAL
        return out_buf.raw[:8 - out_left.value], in_left.value, False


def one_unit(result):
    """The UTF-16 unit iconv gave, NONE unless all input became exactly one."""
    out, left, _ = result
    if out is None or left != 0 or len(out) != 2:
        return NONE
    unit = out[0] | out[1] << 8
    if unit == NONE:
        raise SystemExit("iconv decoded to U+FFFF, which the tables use for none")
    return unit


def decoding_tables():
    dec = Iconv("UTF-16LE", "CP932")
    single, lead = [NONE] * 256, [False] * 256
    for b in range(256):
        result = dec.convert(bytes([b]))
        single[b] = one_unit(result)
        lead[b] = result[2]
    for b, unit in WINDOWS_SINGLES.items():
        if lead[b] or single[b] not in (NONE, unit):
            raise SystemExit(f"byte {b:02X} is already taken by iconv")
        single[b] = unit
    pairs = {}
    for b in range(256):
        if lead[b]:
            for t in range(256):
                unit = one_unit(dec.convert(bytes([b, t])))
                if unit != NONE:
                    pairs[b << 8 | t] = unit
    return single, lead, pairs


def encoding_table(single, lead, pairs):
    """Code of every UTF-16 unit (0: none)."""
    enc = Iconv("CP932", "UTF-16LE")
    windows = {unit: b for b, unit in WINDOWS_SINGLES.items()}
    codes = {}
    for u in range(1, 0x10000):
        if 0xD800 <= u <= 0xDFFF:
            continue
        if u in windows:
            codes[u] = windows[u]
            continue
        out, left, _ = enc.convert(bytes([u & 0xFF, u >> 8]))
        if out is None or left != 0:
            continue
        if len(out) == 1 and single[out[0]] == u:
            codes[u] = out[0]
        elif len(out) == 2 and lead[out[0]] and pairs.get(out[0] << 8 | out[1]) == u:
            codes[u] = out[0] << 8 | out[1]
    return codes


def decodable(single, pairs):
    """(code, unit) of every code that decodes, in code order."""
    items = [(b, u) for b, u in enumerate(single) if u != NONE]
    return items + sorted(pairs.items())


def codes_not_written(single, pairs, codes):
    """NUL aside, which is never looked up."""
    return [code for code, unit in decodable(single, pairs)
            if unit != 0 and codes.get(unit) != code]


def check_reversal(single, pairs, codes, skipped):
    skip = set(skipped)
    rebuilt = {}
    for code, unit in decodable(single, pairs):
        if code in skip or unit == 0:
            continue
        if unit in rebuilt:
            raise SystemExit(f"U+{unit:04X} would get two codes")
        rebuilt[unit] = code
    if rebuilt != codes:
        raise SystemExit("the reversed decoding table differs from iconv's encoding")


def hex_rows(values, width, per_line, indent):
    lines = []
    for i in range(0, len(values), per_line):
        lines.append(indent + ", ".join(f"0x{v:0{width}X}" for v in values[i:i + per_line]) + ",")
    return "\n".join(lines)


def main():
    single, lead, pairs = decoding_tables()
    codes = encoding_table(single, lead, pairs)
    skipped = codes_not_written(single, pairs, codes)
    check_reversal(single, pairs, codes, skipped)

    leads = [b for b in range(256) if lead[b]]
    trail_first = min(code & 0xFF for code in pairs)
    trail_last = max(code & 0xFF for code in pairs)
    row_of = [0xFF] * 256
    for row, b in enumerate(leads):
        row_of[b] = row
    rows = []
    for b in leads:
        units = [pairs.get(b << 8 | t, NONE) for t in range(trail_first, trail_last + 1)]
        rows.append(f"    {{  // lead byte 0x{b:02X}\n{hex_rows(units, 4, 12, '        ')}\n    }},")
    rows_text = "\n".join(rows)

    text = f"""\
// Generated by scripts/make_cp932_tables.py from glibc's iconv "CP932";
// do not edit.
// Code page 932 as Windows has it: the single bytes, the lead bytes with
// the characters of their pairs, and the codes that decode but are never
// written (their character is written with another of its codes).
#pragma once

#include <cstdint>

namespace tessa::cp932_table {{

// A byte or pair without a character.
inline constexpr char16_t kNone = 0x{NONE:04X};

// Character of each single byte; kNone for lead bytes and invalid bytes.
inline constexpr char16_t kSingle[256] = {{
{hex_rows(single, 4, 8, '    ')}
}};

// Row of kPairs of each lead byte; kNotLead for every other byte.
inline constexpr uint8_t kNotLead = 0xFF;
inline constexpr uint8_t kLeadRow[256] = {{
{hex_rows(row_of, 2, 16, '    ')}
}};

// Characters of the pairs: kPairs[row of the lead byte][trail - kTrailFirst].
inline constexpr int kTrailFirst = 0x{trail_first:02X};
inline constexpr int kTrailLast = 0x{trail_last:02X};
inline constexpr char16_t kPairs[{len(leads)}][kTrailLast - kTrailFirst + 1] = {{
{rows_text}
}};

// Codes (single byte, or lead * 256 + trail) whose character is written
// with another code or not at all, ascending.
inline constexpr uint16_t kNotWritten[] = {{
{hex_rows(skipped, 4, 8, '    ')}
}};

}}  // namespace tessa::cp932_table
"""
    OUT.write_text(text, encoding="ascii")
    print(f"{OUT}: {sum(u != NONE for u in single)} single bytes, {len(leads)} lead bytes, "
          f"{len(pairs)} pairs (trails {trail_first:02X}-{trail_last:02X}), "
          f"{len(codes)} encodable units, {len(skipped)} codes not written")


main()

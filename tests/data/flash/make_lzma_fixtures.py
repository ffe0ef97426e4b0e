#!/usr/bin/env python3
"""Writes the LZMA fixtures of the Flash tests (see README.md) into this folder."""
import lzma
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def pattern(count):
    """Bytes the tests rebuild: runs of letters, random bytes and a phrase said again and again."""
    x, out = 12345, bytearray()
    while len(out) < count:
        x = (x * 1103515245 + 12345) & 0x7FFFFFFF
        r = x >> 16
        if r % 7 == 0:
            out += b"a picture show, frame after frame; "
        elif r % 3 == 0:
            out.append(r & 0xFF)
        else:
            out.append(97 + r % 5)
    return bytes(out[:count])


def alone(data, lc, lp, pb):
    return lzma.compress(data, format=lzma.FORMAT_ALONE,
                         filters=[{"id": lzma.FILTER_LZMA1, "lc": lc, "lp": lp, "pb": pb, "dict_size": 1 << 16}])


def rect_bits(values, nbits):
    bits = format(nbits, "05b") + "".join(format(v & ((1 << nbits) - 1), "0%db" % nbits) for v in values)
    bits += "0" * (-len(bits) % 8)
    return bytes(int(bits[i:i + 8], 2) for i in range(0, len(bits), 8))


def tag(code, body):
    if len(body) < 0x3F:
        return struct.pack("<H", code << 6 | len(body)) + body
    return struct.pack("<HI", code << 6 | 0x3F, len(body)) + body


def zws_movie(version, attributes):
    """A 40 x 30 stage whose first SetBackgroundColor is green, LZMA-compressed."""
    body = rect_bits([0, 800, 0, 600], 12) + struct.pack("<HH", 0x0C00, 1)
    body += tag(69, struct.pack("<I", attributes))
    body += tag(9, bytes([0, 200, 0]))
    body += tag(9, bytes([200, 0, 0]))  # ignored: the first colour stays
    body += tag(1, b"") + tag(0, b"")
    props = (2 * 5 + 0) * 9 + 3
    stream = lzma.compress(body, format=lzma.FORMAT_RAW,
                           filters=[{"id": lzma.FILTER_LZMA1, "lc": 3, "lp": 0, "pb": 2, "dict_size": 1 << 16}])
    header = b"ZWS" + bytes([version]) + struct.pack("<II", len(body) + 8, len(stream))
    return header + bytes([props]) + struct.pack("<I", 1 << 16) + stream


def write(name, data):
    with open(os.path.join(HERE, name), "wb") as f:
        f.write(data)


data = pattern(30000)
write("lzma_pattern_default.lzma", alone(data, 3, 0, 2))
write("lzma_pattern_lc0_lp2_pb0.lzma", alone(data, 0, 2, 0))
write("lzma_green_v13.swf", zws_movie(13, 0))  # no ActionScript 3 flag
write("lzma_green_v13_as3.swf", zws_movie(13, 0x08))  # ActionScript 3

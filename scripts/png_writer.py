"""The PNG writer both icon scripts share: 8-bit RGBA rows in, the file's bytes out.

Our own (zlib and struct only), so that the icons come out the same bytes on every machine.
"""

import struct
import zlib


def png_bytes(rgba_rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

    height = len(rgba_rows)
    width = len(rgba_rows[0]) // 4
    raw = b"".join(b"\x00" + bytes(row) for row in rgba_rows)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))

#!/usr/bin/env python3
"""Writes a few valid inputs of one fuzz harness into its corpus folder, so the fuzzer starts
from files of each format: univariate project files with a node of every kind and with stacks the
program builds, a multi-part file, ASCII series and pasted tables. Usage: fuzz-seeds.py HARNESS FOLDER"""
import os
import struct
import sys


def project_head(magic, values, first):
    out = struct.pack("<i", 2267) if magic else b""
    out += struct.pack("<15i", *range(1, 16))
    out += struct.pack("<ii", 2, 1)
    out += struct.pack("<27d", *([0.5, -0.25] + [0.0] * 25))
    out += struct.pack("<27d", *([0.125] + [0.0] * 26))
    return out + struct.pack("<ii", first, first + len(values) - 1) + struct.pack("<%dd" % len(values), *values)


def project_image(magic=True):
    """A node of every kind and one the program does not know, in an order it never builds."""
    out = project_head(magic, [1.5, -2.0, 3.25, 4.0, -5.5], 3)
    nodes = [
        struct.pack("<iii", 32, 1, 8) + struct.pack("<3d", 10, 11, 12),
        struct.pack("<ii", 1, 2) + struct.pack("<2d", 0.5, 0.75),
        struct.pack("<id", 2, 0.3),
        struct.pack("<ii", 4, 3) + struct.pack("<3d", 1, 2, -3) + struct.pack("<i3d", 2, 0.1, 0.2, 0.3),
        struct.pack("<ii", 4, -1) + struct.pack("<i3d", 1, 0, 0, 0),
        struct.pack("<ii4i", 8, 2, 4, 9, 0, 0) + struct.pack("<9d", 0, 1.25, 0, 0, 0, 0, 0, -0.5, 8.5)
        + struct.pack("<i3d", 0, 0, 0, 3.5),
        struct.pack("<id", 16, -4.75),
        struct.pack("<i", 77),
    ]
    return out + struct.pack("<i", len(nodes)) + b"".join(nodes)


def built_images(magic=True):
    """Stacks the program builds, which the reader accepts: Box-Cox, a difference, a subsequence
    and a mean; a seasonal decomposition and a mean; harmonics after Box-Cox."""
    nine = [1.5, -2.0, 3.25, 4.0, -5.5, 6.0, 2.5, -1.0, 0.75]
    stacks = [
        (project_head(magic, [1.5, -2.0, 3.25, 4.0, -5.5], 3), [
            struct.pack("<id", 2, 0.3),
            struct.pack("<ii", 1, 2) + struct.pack("<2d", 0.5, 0.75),
            struct.pack("<iii", 32, 1, 8) + struct.pack("<3d", 10, 11, 12),
            struct.pack("<id", 16, -4.75)]),
        (project_head(magic, nine, 3), [
            struct.pack("<ii", 4, 3) + struct.pack("<3d", 1, 2, -3) + struct.pack("<i3d", 2, 0.1, 0.2, 0.3),
            struct.pack("<id", 16, 0.5)]),
        (project_head(magic, nine, 1), [
            struct.pack("<id", 2, 1.0),
            struct.pack("<ii4i", 8, 2, 1, 3, 0, 0) + struct.pack("<9d", 0, 1.25, 0, 0, 0, 0, 0, -0.5, 8.5)
            + struct.pack("<i3d", 1, 0, 0.5, 0)]),
    ]
    return [head + struct.pack("<i", len(nodes)) + b"".join(nodes) for head, nodes in stacks]


def multipart_image():
    # The header, a part of another tag to skip, then the data part.
    return struct.pack("<iii", 9923, 12, 2) + struct.pack("<ii", 7, 20) + b"\0" * 12 \
        + struct.pack("<iii", 9924, 12 + 8 * 3, 3) + struct.pack("<3d", 1.5, 2.5, -4.0)


SEEDS = {
    "project_bytes_fuzz": [project_image(), *built_images(), multipart_image(), b"1.5\n\n2.5\nabc\n3.5\n",
                           b"\xef\xbb\xbf4\r\n1e400\r\n3,14\n"],
    "project_file_fuzz": [project_image(magic=False), *built_images(magic=False), struct.pack("<iii", 12, 1, 9924)],
    "ascii_series_fuzz": [b"1.5\n\n2.5\nabc\n3.5\n", b"  4, 5\r\n-1E2\r6.25", b"3*2 1d3/\n", b"NaN\nInf\n1e400\n"],
    "console_records_fuzz": [b"  3\r\n1.5 2.5 3.5\r\n4,5\r\n\x1a", b"2*1.0 /\n7\n", b"1e39\n-2\n"],
    "console_data_files_fuzz": [b"0.25\n1\n0.5\n1\n-0.3\n2.0\n", b"1.5\n2.5 9\nx\n3.5\n",
                                b"0.1\n2\n0.2\n0.1\n0\n1e39\n"],
    # Two bytes choose the count of numbers a vector (see the harness); the rest is the file.
    "table_reader_fuzz": [b"\x0a\x02" + b"".join(b"%d %d %d\r\n" % (10 * t + 1, 10 * t + 2, 10 * t + 3) for t in range(1, 8)),
                          b"\x05\x00" + b"2000000000*1.5", b"\x0b\x01" + b"99999999999999999999*1 2\n",
                          b"\x0a\x01" + b"4611686018427387904*1 4611686018427387904*1\n",
                          b"\x08\x02" + b"4*1 2\n3*7,8/\n1E3 1D-2\n+.5 -2.\n\n2* 4\n",
                          b"\x02\x00" + b"3*1\n3*2\n3*3\nx y\n"],
    # The first byte chooses the count of numbers a vector; the rest is the text.
    "number_readers_fuzz": [b"\x02" + b"1 2\r\n3\t4\r\n\r\n5,6\n", b"\x00" + b"01/01/1990,580.38\n0.5\n1/2\n",
                            b"\x00" + b"580.38\n1,234.5\n1.234,5\n42,904762;304,85714\n",
                            b"\x01" + b"1,5 2,5\n-3,75\n1,2,3\n3*1.5 2\n1.5D3 0.123456-100\n",
                            b"\x00" + b"1\n2\n\x1a3\n1e-50\n2134\tx\t901\n"],
    "clipboard_fuzz": [b"1\t2\t3\r\n4\t5\t6", b"1.5\r\n2.25\r\n-3", b"1\t2\t\n3 4\n", b"3,14\t2,72\n"],
}


def main():
    harness, folder = sys.argv[1], sys.argv[2]
    os.makedirs(folder, exist_ok=True)
    for k, seed in enumerate(SEEDS.get(harness, [])):
        with open(os.path.join(folder, "seed-%d" % k), "wb") as f:
            f.write(seed)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

fuzz_reception: 4 header bytes (window state, two seed bytes of the piece
sizes, largest piece), then frames as the device sends them.
fuzz_frames: 3 header bytes (two seed bytes of the read sizes, largest read),
then a byte stream with the faults of a serial line.
fuzz_manifest: 8 header bytes (device WLAN version, DSP major and minor, device
type, unit, a chunk asked for again), then the file.
fuzz_package: a zip archive, as a firmware package.
"""
import io
import os
import struct
import warnings
import zipfile

HERE = os.path.dirname(os.path.abspath(__file__))


def frame(code, unit=0, args=b""):
    args = bytes(args)[:104]
    payload = 1 + len(args)
    f = bytearray(112)
    f[0] = 141
    f[1] = payload + 4
    f[3] = payload
    f[5] = unit
    f[7] = code
    f[8:8 + len(args)] = args
    return bytes(f)


def s16(*values):
    return b"".join(struct.pack("<h", v) for v in values)


def u16(*values):
    return b"".join(struct.pack("<H", v) for v in values)


def write(target, name, data):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def reception():
    plain = bytes([0x00, 0x34, 0x12, 0x03])       # level 0, pieces up to 64
    ticked = bytes([0x04, 0x99, 0x00, 0x05])      # signal box ticked, up to 112
    service = bytes([0x16, 0x01, 0x00, 0x00])     # level 2, ticked, sniff mode 2; 1 byte at a time
    replies = {
        "link-state-none": (plain, frame(9, 0, [1])),
        "link-state-linked": (plain, frame(9, 0, [2])),
        "audio-mic": (plain, frame(21, 5, [0x88, 1])),
        "audio-line": (plain, frame(21, 5, [0x0c, 0])),
        "device-info-txu-client": (plain, frame(42, 0, [0x25, 0x72, 0x90])),
        "device-info-rxu-master": (plain, frame(42, 0, [0x00, 0x02])),
        "device-info-rxu-repeater-mode": (plain, frame(42, 0, [0x39, 0x03])),
        "device-info-repeater": (plain, frame(42, 0, [0x02, 0x01])),
        "channel": (plain, frame(45, 0, [44])),
        "version-wlan": (plain, frame(63, 0, u16(1650))),
        "version-dsp": (plain, frame(63, 5, [12, 3])),
        "temperature": (service, frame(75, 0, s16(-12))),
        "phantom": (plain, frame(88, 5, [1])),
        "mute": (plain, frame(99, 5, [1])),
        "signal": (ticked, frame(120, 0, s16(-45, -70))),
        "signal-no-reading": (ticked, frame(120, 0, s16(0, 0))),
        "sniff": (service, frame(151, 0, u16(10, 20, 30, 40) + s16(-50, -60))),
        "firmware-ack": (plain, frame(92, 0, u16(7))),
        "firmware-done": (plain, frame(94, 5)),
        "device-type": (plain, frame(96, 5, [4])),
        "unknown-code": (plain, frame(200, 0, [1, 2, 3])),
    }
    for name, (header, data) in sorted(replies.items()):
        write("fuzz_reception", "reply-%s" % name, header + data)
    session = (frame(42, 0, [0x05, 0x22, 0x90]) + frame(21, 5, [0x88, 1]) + frame(88, 5, [1])
               + frame(99, 5, [0]) + frame(120, 0, s16(-55, 0)) + frame(9, 0, [3]))
    write("fuzz_reception", "session", ticked + session)
    # Noise before the first frame, a false start, a frame cut short.
    noise = b"\x00\x8d\x01\x02\x03\x8d\x05\x00\x01" + frame(45, 0, [36]) + frame(9, 0, [2])[:50]
    write("fuzz_reception", "noise-and-cut-frame", plain + noise)
    # Frames back to back, split in the middle of a header.
    write("fuzz_reception", "split-header", bytes([0x00, 0x02, 0x00, 0x01]) + frame(99, 5, [1]) * 3)


def frames():
    """Streams with the faults of a serial line, for the assembler alone."""
    def header(seed, limit):
        return struct.pack("<HB", seed, limit)

    reports = [frame(42, 0, [0x15, 0x22, 0x85]), frame(151, 0, u16(0x048D, 0x3F, 0x2A00, 3) + s16(-60, -70)),
               frame(99, 5, [1]), frame(120, 0, s16(-45, -70)), frame(92, 5, u16(0x8D8D)), frame(63, 0, u16(1599))]
    clean = b"".join(reports)
    # Beacons 0x058D, audio 256, beacons B 0 and audio B 0x2A00 hold a false
    # start that reads as a master's device information.
    false_start = frame(151, 0, u16(0x058D, 0x0100, 0, 0x2A00) + s16(-60, -70))
    last_141 = frame(91, 0, bytes(103) + b"\x8d")
    seeds = {
        "clean": (header(0x1234, 3), clean),
        "lost-body-byte": (header(0x0101, 5), clean[:150] + clean[151:]),
        "lost-start-byte": (header(0x0202, 7), clean[:224] + clean[225:]),
        "lost-header-byte": (header(0x0303, 4), clean[:229] + clean[230:]),
        "inserted-between": (header(0x0404, 6), clean[:336] + b"\x00" + clean[336:]),
        "inserted-body-byte": (header(0x0505, 2), clean[:400] + b"\x8d" + clean[400:]),
        "flipped-start-byte": (header(0x0606, 3), clean[:448] + b"\x0d" + clean[449:]),
        "late-start-false-master": (header(0x0707, 5), false_start[8:] + clean),
        "ends-with-start-byte": (header(0x0808, 1), last_141 + clean[:200] + last_141[:111] + clean),
        "noise": (header(0x0909, 8), b"\x8d\x05\x00\x01\x00\x8d\x8d\x06" + clean),
    }
    for name, (head, data) in sorted(seeds.items()):
        write("fuzz_frames", name, head + data)


def manifest():
    def header(wlan, major, minor, kind=0, unit=0, again=0):
        return struct.pack("<HBBBBH", wlan, major, minor, kind, unit, again)

    txu = header(1650, 3, 10, 0)
    rxu = header(1650, 4, 5, 1, 5, 2)
    lf = b"PACKAGE:Tavero 1.6\nWLAN:1660\nTXU:3.12\nRXU:4.5\n"
    seeds = {
        "lf": txu + lf,
        "crlf": rxu + lf.replace(b"\n", b"\r\n"),
        "no-final-line-feed": txu + lf[:-1],
        "short-lines": txu + b"PACK\nWLA\nTX\n",
        "no-dot": txu + b"PACKAGE:P\nWLAN:1660\nTXU:312\nRXU:45\n",
        "empty-parts": rxu + b"PACKAGE:P\nWLAN:1660\nTXU:.12\nRXU:4.\n",
        "nuls": txu + b"PACKAGE:P\0x\nWLAN:1660\0\nTXU:3.12\0junk\nRXU:4.5\n",
        "spaces-and-sign": txu + b"PACKAGE:P\nWLAN: +1660 \nTXU: 3 . 12\nRXU:4.5\n",
        "older-package": txu + b"PACKAGE:P\nWLAN:1500\nTXU:3.9\nRXU:4.5\n",
        "device-outside-range": header(1700, 3, 10) + lf,
        "device-minor-zero": header(1650, 3, 0) + lf,
        "no-device-type": header(1650, 3, 10, 2) + lf,
        "overlong-first-line": txu + b"PACKAGE:" + b"x" * 4100 + b"\nWLAN:1660\nTXU:3.12\nRXU:4.5\n",
        "empty": txu,
        "image-250-bytes": header(0, 0, 0, 0, 5, 1) + bytes((i * 37) & 0xFF for i in range(250)),
        "image-200-bytes": header(0, 0, 0, 0, 0, 3) + bytes((i * 11) & 0xFF for i in range(200)),
    }
    for name, data in seeds.items():
        write("fuzz_manifest", name, data)


def package():
    lf = b"PACKAGE:Tavero 1.6\nWLAN:1660\nTXU:3.12\nRXU:4.5\n"
    files = [("fw.txt", lf), ("wlan.bin", bytes((i * 7) & 0xFF for i in range(1234))),
             ("txu.ldr", bytes((i * 13) & 0xFF for i in range(300))), ("rxu.ldr", b"\x8d" * 150)]

    def info(name, method, mode=0o100644):
        """An entry with a fixed time, so that the seeds are the same on every run."""
        entry = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
        entry.compress_type = method
        entry.external_attr = mode << 16
        return entry

    def archive(entries, method=zipfile.ZIP_DEFLATED):
        out = io.BytesIO()
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")  # two entries of one name
            with zipfile.ZipFile(out, "w", method) as z:
                for entry in entries:
                    if isinstance(entry, zipfile.ZipInfo):
                        z.writestr(entry, b"/etc/passwd")
                    else:
                        z.writestr(info(entry[0], method), entry[1])
        return bytearray(out.getvalue())

    def patched(data, name, offset, value):
        """Sets a 32-bit field of `name`'s local and central headers."""
        for signature, at in ((b"PK\x03\x04", offset), (b"PK\x01\x02", offset + 2)):
            pos = 0
            while True:
                pos = data.index(signature, pos)
                name_at = pos + (30 if signature == b"PK\x03\x04" else 46)
                if data[name_at:name_at + len(name)] == name.encode():
                    struct.pack_into("<I", data, pos + at, value)
                    break
                pos += 4
        return data

    link = info("wlan.bin", zipfile.ZIP_DEFLATED, 0o120777)
    folder = [("firmware/" + n, d) for n, d in files]
    seeds = {
        "deflated": archive(files),
        "stored": archive(files, zipfile.ZIP_STORED),
        "extra-entries": archive([("notes/readme.txt", b"x" * 500), ("notes/WLAN.BIN", b"y")] + files),
        "names-differing-in-case": archive(files + [("WLAN.BIN", b"y")]),
        "in-a-folder": archive(folder),
        "aliases": archive([("./fw.txt", lf), ("a/../wlan.bin", b"z")] + files[2:]),
        "link": archive(files[:1] + [link] + files[2:]),
        "folder-entry": archive(files[:1] + [("wlan.bin/", b""), ("wlan.bin/x", b"x")] + files[2:]),
        "wrong-crc": patched(archive(files, zipfile.ZIP_STORED), "txu.ldr", 14, 0x12345678),
        "size-lies": patched(archive(files), "wlan.bin", 22, 100),
        "encrypted-flag": archive(files),
        "empty-manifest": archive([("fw.txt", b"")] + files[1:]),
    }
    # General purpose bit 0 (encrypted) on every entry.
    data = seeds["encrypted-flag"]
    for signature, at in ((b"PK\x03\x04", 6), (b"PK\x01\x02", 8)):
        pos = data.find(signature)
        while pos >= 0:
            data[pos + at] |= 1
            pos = data.find(signature, pos + 4)
    seeds["duplicate"] = archive(files + [("wlan.bin", b"again")])

    def commented(data, comment):
        """The archive with `comment` as its comment (it had none)."""
        return data[:-2] + struct.pack("<H", len(comment)) + comment

    def end_record(entries, size, offset):
        return b"PK\x05\x06" + struct.pack("<HHHHIIH", 0, 0, entries, entries, size, offset, 0)

    plain = bytes(archive(files))
    seeds["comment-with-signature"] = commented(plain, b"Packed for PK\x05\x06 release 1.6, no end record here.")
    # False end records in the comment: one counting four entries where its
    # directory would be garbage, then one that fits the file, with a copy
    # of the first three entries' directory.
    size, offset = struct.unpack("<II", plain[-10:-2])
    directory = plain[offset:offset + size]
    three = b""
    for _ in range(3):
        name, extra, comment = struct.unpack("<HHH", directory[len(three) + 28:len(three) + 34])
        three = directory[:len(three) + 46 + name + extra + comment]
    garbage = b"notes " + end_record(4, 200, 0)
    seeds["comment-false-end-records"] = commented(
        plain, garbage + three + end_record(3, len(three), len(plain) + len(garbage)))
    for name, data in seeds.items():
        write("fuzz_package", name, bytes(data))


reception()
frames()
manifest()
package()

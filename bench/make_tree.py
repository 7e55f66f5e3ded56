#!/usr/bin/env python3
"""Makes a folder tree for the cataloguing benchmark.

The tree has about ENTRIES entries: folders of 19 files and up to 5
subfolders each, filled breadth first. Every tenth file holds what an MP3
file begins or ends with (an ID3v2.3 tag, an ID3v1 block, or neither); with
--mp3 those files are named *.mp3, without it *.dat, so that both trees hold
the same bytes and differ only in what the scan has to read.
"""

import argparse
import os
import random
import struct
from collections import deque

FILES_PER_FOLDER = 19
SUBFOLDERS_PER_FOLDER = 5


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def frame(frame_id, text):
    body = b"\x00" + text.encode("latin-1")
    return frame_id.encode() + struct.pack(">I", len(body)) + b"\x00\x00" + body


def media_bytes(index, rng):
    kind = index % 5
    filler = bytes(rng.randrange(256) for _ in range(64)) * 3
    if kind < 3:  # ID3v2.3 with title and artist
        frames = frame("TIT2", "Title %d" % index) + frame("TPE1", "Artist %d" % (index % 97))
        frames += b"\x00" * 32  # padding
        return b"ID3\x03\x00\x00" + syncsafe(len(frames)) + frames + filler
    if kind == 3:  # ID3v1 at the end
        block = b"TAG" + ("Title %d" % index).encode().ljust(30, b"\x00")
        block += ("Artist %d" % (index % 97)).encode().ljust(30, b"\x00")
        block += b"Album".ljust(30, b"\x00") + b"2001" + b"".ljust(30, b"\x00") + b"\x11"
        return filler + block
    return filler  # untagged


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("root")
    parser.add_argument("--entries", type=int, default=500000)
    parser.add_argument("--mp3", action="store_true", help="name every tenth file *.mp3")
    parser.add_argument("--seed", type=int, default=1)
    args = parser.parse_args()

    rng = random.Random(args.seed)
    os.makedirs(args.root)
    entries = 0
    file_index = 0
    pending = deque([args.root])
    folder_index = 0
    while pending and entries < args.entries:
        folder = pending.popleft()
        for _ in range(FILES_PER_FOLDER):
            if entries >= args.entries:
                break
            stem = "file %06d %s" % (file_index, "x" * rng.randrange(1, 12))
            if file_index % 10 == 0:
                name = stem + (".mp3" if args.mp3 else ".dat")
                data = media_bytes(file_index // 10, rng)
            else:
                name = stem + rng.choice([".txt", ".jpg", ".doc", ".c", ""])
                data = b"" if file_index % 3 else b"x" * rng.randrange(1, 3000)
            fd = os.open(os.path.join(folder, name), os.O_WRONLY | os.O_CREAT | os.O_EXCL, 0o644)
            if data:
                os.write(fd, data)
            os.close(fd)
            file_index += 1
            entries += 1
        for _ in range(SUBFOLDERS_PER_FOLDER):
            if entries >= args.entries:
                break
            folder_index += 1
            sub = os.path.join(folder, "folder %05d" % folder_index)
            os.mkdir(sub)
            pending.append(sub)
            entries += 1
    print("%s: %d entries, %d files" % (args.root, entries, file_index))


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""Wraps an MPEG Layer-3 stream in a RIFF WAVE file (format tag 0x0055, MPEGLAYER3WAVEFORMAT).

usage: wrap_mp3.py IN.mp3 OUT.wav RATE CHANNELS KBPS SAMPLES
SAMPLES (the length of the sound in samples per channel) goes into the "fact" chunk.
"""
import struct
import sys


def chunk(tag: bytes, body: bytes) -> bytes:
    pad = b"\0" if len(body) % 2 else b""
    return tag + struct.pack("<I", len(body)) + body + pad


def main() -> None:
    src, dst, rate, channels, kbps, samples = sys.argv[1:7]
    rate, channels, kbps, samples = int(rate), int(channels), int(kbps), int(samples)
    mp3 = open(src, "rb").read()
    samples_per_frame = 1152 if rate >= 32000 else 576
    frame_bytes = samples_per_frame // 8 * kbps * 1000 // rate
    fmt = struct.pack(
        "<HHIIHHHHIHHH",
        0x0055,           # MPEG Layer-3
        channels,
        rate,
        kbps * 1000 // 8, # bytes per second
        1,                # block align
        0,                # bits per sample
        12,               # size of the extra fields
        1,                # MPEGLAYER3_ID_MPEG
        2,                # MPEGLAYER3_FLAG_PADDING_OFF
        frame_bytes,      # block size
        1,                # frames per block
        1393,             # codec delay
    )
    body = b"WAVE" + chunk(b"fmt ", fmt) + chunk(b"fact", struct.pack("<I", samples)) + chunk(b"data", mp3)
    with open(dst, "wb") as out:
        out.write(b"RIFF" + struct.pack("<I", len(body)) + body)


if __name__ == "__main__":
    main()

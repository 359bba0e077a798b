"""Future Composer files written by the integration tests: the sections laid
out one after another behind the header, with its offsets and lengths."""

import struct


def sequence_area(sequences):
    """64-byte sequences, each padded with E1 (stop)."""
    out = bytearray()
    for s in sequences:
        out += bytes(s) + b"\xe1" * (64 - len(s))
    return bytes(out)


def fc_file(steps, patterns, frequency, volume, samples=(), fc14=False, waves=()):
    """steps: 13-byte records; patterns: dicts {row: (note, info)};
    frequency, volume: lists of sequences; samples: up to 10 (bytes, loop start,
    loop words); waves ("FC14"): up to 80 byte strings."""
    header_size = 180 if fc14 else 100
    sequence = b"".join(bytes(s) for s in steps)
    pattern_data = bytearray()
    for rows in patterns:
        p = bytearray(64)
        for row, (note, info) in rows.items():
            p[2 * row], p[2 * row + 1] = note, info
        pattern_data += p
    freq, vol = sequence_area(frequency), sequence_area(volume)
    at = header_size + len(sequence)
    offsets = []
    for section in (pattern_data, freq, vol):
        offsets += [at, len(section)]
        at += len(section)
    sample_at = at
    sample_data = bytearray()
    table = bytearray()
    for k in range(10):
        data, loop_start, loop_words = samples[k] if k < len(samples) else (b"", 0, 1)
        table += struct.pack(">HHH", len(data) // 2, loop_start, loop_words)
        sample_data += data + b"\0\0"
    wave_at = sample_at + len(sample_data)
    header = (b"FC14" if fc14 else b"SMOD") + struct.pack(
        ">9I", len(sequence), *offsets, sample_at, wave_at if fc14 else 0) + table
    if fc14:
        header += bytes(len(waves[i]) // 2 if i < len(waves) else 0 for i in range(80))
    body = sequence + pattern_data + freq + vol + sample_data
    if fc14:
        body += b"".join(waves)
    return header + body

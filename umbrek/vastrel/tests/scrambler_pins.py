"""Recomputes the data library's pinned stream values and encodings from the
stream's definition alone, independently of the C++ code, so that the values
the C++ tests hold the library and its writer to are themselves right."""
import unittest


def stream(seed, count):
    state, values = seed, []
    for _ in range(count):
        state = (state * 6293 + 997) & 0xFFFFFFFF
        if state >= 0x80000000:
            state -= 0x100000000
        state -= int(state / 16384) * 16384  # the C remainder keeps the sign
        values.append(int(state * 50 / 16384))
    return values


class ScramblerPins(unittest.TestCase):
    def test_stream_values(self):
        pins = {
            0: [3, 0, 36, 41, 46, 27, 41, 13, 42, 33, 15, 24, 38, 1, 31, 33],
            1: [22, 5, 37, 30, 49, 39, 45, 10, 40, 14, 1, 36, 27, 3, 16, 6],
            12345: [35, 37, 48, 42, 13, 28, 28, 39, 22, 6, 26, 27, 47, 40, 0, 1],
            -7: [-31, -36, -22, -30, -25, -4, -39, -16, -37, -36, -39, -13, -34, -10, -11, -23],
        }
        for seed, values in pins.items():
            self.assertEqual(stream(seed, 16), values, seed)

    def test_name_and_password_encodings(self):
        values = stream(0, 10)
        encoded = bytes((c + v) % 256 for c, v in zip(b"FLARE1.PCX", values))
        self.assertEqual(encoded.hex(" ").upper(), "49 4C 65 7B 73 4C 57 5D 6D 79")
        self.assertEqual((0x20 + values[0]) % 256, 0x23)
        # Decoding gives the name back: stored minus value, as a byte.
        self.assertEqual(bytes((e - v) % 256 for e, v in zip(encoded, values)), b"FLARE1.PCX")


if __name__ == "__main__":
    unittest.main()

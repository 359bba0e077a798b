"""The 32-bit testhost names a function whose calling convention is wrong:
wrong_convention.dll's renderFrame removes its own argument, and its input
record calls the host's visFeedPcm1 as if the host removed the arguments.
Both go unnoticed where there is one convention; here each run fails with
exactly one fault, which names the wrong function and no right one."""

import os

from jktest import TempDirTest, main
from twins import WIN32, win_path

FAULTS = {
    "vis": "renderFrame removed 4 bytes of its arguments from the stack: it is not a cdecl "
           "function",
    "play": "the plug-in left the 16 argument bytes of visFeedPcm1 on the stack: it calls it "
            "as a function that removes them, but the player's functions are cdecl",
}


class ConventionTest(TempDirTest):
    def test_each_wrong_function_is_named(self):
        dll = WIN32.bin("wrong_convention.dll")
        song = os.path.join(self.tmp, "song.wrong")
        with open(song, "w") as f:
            f.write("song\n")
        for command, args in (("vis", ["--frames", "3"]), ("play", [win_path(song)])):
            with self.subTest(command):
                rc, data, out, err = WIN32.testhost(command, dll, *args)
                self.assertEqual(rc, 1, out + err)
                self.assertIsNotNone(data, err)
                self.assertEqual(data["violations"], [FAULTS[command]])
                self.assertIn("contract: " + FAULTS[command], err)


if __name__ == "__main__":
    main()

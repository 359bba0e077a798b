"""Every C and C++ file that git tracks is laid out as clang-format, with the
repository's .clang-format, would lay it out: a change that skipped the
formatter fails here and not in the next reader's diff."""

import shutil
import subprocess
import sys
import unittest

SOURCE = sys.argv.pop(1)
SUFFIXES = (".c", ".cpp", ".h")


class Format(unittest.TestCase):
    def test_tracked_sources_are_formatted(self):
        formatter = shutil.which("clang-format")
        self.assertIsNotNone(formatter, "clang-format is not installed (./run setup installs it)")
        listed = subprocess.run(["git", "-C", SOURCE, "ls-files", "-z"], capture_output=True,
                                check=True).stdout.decode().split("\0")
        files = [f for f in listed if f.endswith(SUFFIXES)]
        self.assertTrue(files, "git lists no C or C++ file under " + SOURCE)
        result = subprocess.run([formatter, "--dry-run", "-Werror", *files], cwd=SOURCE,
                                capture_output=True, text=True)
        self.assertEqual(result.returncode, 0,
                         "files clang-format would change (run clang-format -i on them):\n"
                         + result.stderr[-4000:])


if __name__ == "__main__":
    unittest.main()

"""Every deliverable and program of a Windows tree imports system DLLs only:
a fully static runtime, so that nothing is missing on the user's machine."""

import glob
import os
import subprocess
import sys
import unittest

SYSTEM = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "msvcrt.dll", "advapi32.dll",
    "comctl32.dll", "comdlg32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll",
    "winmm.dll", "ddraw.dll", "opengl32.dll", "glu32.dll", "version.dll",
    "shlwapi.dll", "uxtheme.dll", "imm32.dll", "ws2_32.dll",
    "api-ms-win-crt-runtime-l1-1-0.dll",
}

OBJDUMP = sys.argv.pop(1)
TREE = sys.argv.pop(1)


def imports(path):
    out = subprocess.run([OBJDUMP, "-p", path], capture_output=True, text=True,
                         check=True).stdout
    return [l.split("DLL Name:")[1].strip().lower() for l in out.splitlines()
            if "DLL Name:" in l]


class Imports(unittest.TestCase):
    def test_only_system_dlls(self):
        files = [f for d in ("dist", "bin") for f in glob.glob(os.path.join(TREE, d, "*"))
                 if f.lower().endswith((".dll", ".exe"))]
        self.assertTrue(files)
        for f in files:
            with self.subTest(file=os.path.basename(f)):
                self.assertEqual([d for d in imports(f) if d not in SYSTEM], [])

    def test_libraries_loaded_by_name_are_not_imported(self):
        # Fennick loads OpenGL and GLU itself, so that a machine without them
        # gets its message instead of a plug-in that does not load.
        path = os.path.join(TREE, "dist", "fennick.dll")
        if not os.path.exists(path):
            self.skipTest("no fennick.dll in this tree")
        self.assertEqual([d for d in imports(path) if d in ("opengl32.dll", "glu32.dll")], [])


if __name__ == "__main__":
    unittest.main(argv=[sys.argv[0], "-v"])

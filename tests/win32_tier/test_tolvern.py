"""The 32-bit tolvern.exe in batch mode beside its 64-bit twin: the bundled
demo YM (LHA-packed) becomes an XM and sample files byte-identical to the
twin's."""

import os
import shutil

from jktest import SOURCE_DIR, main
from twins import BUILDS, WIN32, TwinTest, read_bytes

DEMO = os.path.join(SOURCE_DIR, "tolvern", "demo", "demo.ym")


class TolvernTest(TwinTest):
    def test_the_demo_converts_as_the_twin(self):
        files = {}
        for b in BUILDS:
            folder = self.folder[b]
            shutil.copy(DEMO, os.path.join(folder, "demo.ym"))
            rc, out, err = b.run(b.dist("tolvern.exe"), "demo.ym", cwd=folder, timeout=120)
            self.assertEqual(rc, 0, "%d-bit: %s%s" % (b.bits, out, err))
            files[b] = {name: read_bytes(os.path.join(folder, name))
                        for name in sorted(os.listdir(folder))}
        self.assertIn("demo.xm", files[WIN32])
        self.assertTwins({b: sorted(f) for b, f in files.items()}, "the files written")
        for name in files[WIN32]:
            self.assertTwins({b: f[name] for b, f in files.items()}, name)


if __name__ == "__main__":
    main()

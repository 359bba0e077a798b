"""testhost info of every deliverable DLL of the 32-bit build, loaded by the
32-bit testhost: the same JSON as the 64-bit twin's (the exported records,
their strings and flags read through 32-bit pointers)."""

import glob
import os

from jktest import DIST_DIR, main
from twins import BUILDS, WIN32, TwinTest


class InfoTest(TwinTest):
    def test_every_deliverable_reports_what_its_twin_does(self):
        dlls = sorted(os.path.basename(p) for p in glob.glob(os.path.join(DIST_DIR, "*.dll")))
        self.assertIn("pelmit.dll", dlls)
        for dll in dlls:
            with self.subTest(dll):
                info = {}
                for b in BUILDS:
                    rc, data, out, err = b.testhost("info", b.dist(dll))
                    self.assertEqual(rc, 0, "%d-bit: %s%s" % (b.bits, out, err))
                    self.assertIsNotNone(data, err)
                    # A module whose record points at its object differs by
                    # address; that it has one is what both builds must agree on.
                    for values in data.get("moduleValues", []):
                        if "ownerData" in values:
                            values["ownerData"] = values["ownerData"] != 0
                    info[b] = data
                self.assertTwins(info, dll)
                self.assertIn(info[WIN32]["kind"], ("input", "vis"))


if __name__ == "__main__":
    main()

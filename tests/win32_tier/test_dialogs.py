"""One dialog of each plug-in DLL, from the 32-bit resources and dialog
procedures, opened by a window script and dumped: the same controls, texts,
states and places as the 64-bit twin's. (Tolvern's own dialog is driven by
its 32-bit test program in this tier.)"""

import json

from jktest import main
from twins import BUILDS, WIN32, TwinTest

# plug-in: (testhost command and options, the dialog's title, the button that closes it)
DIALOGS = {
    "pelmit.dll": (["config"], "Quistor Config", 2),
    "kalvo.dll": (["config"], "Orvane MP3 Decoder Configuration", 2),
    "morsk.dll": (["vis", "--config"], "Configuration: Visualization Mux", 104),
}


def dumps(stdout):
    return [json.loads(l[len("window "):]) for l in stdout.splitlines()
            if l.startswith("window ")]


class DialogTest(TwinTest):
    def test_each_dialog_is_the_twins(self):
        for dll, (command, title, close) in DIALOGS.items():
            with self.subTest(dll):
                windows = {}
                for b in BUILDS:
                    script = "wait %s; dump; click %d" % (title, close)
                    rc, _, out, err = b.testhost(command[0], b.dist(dll), *command[1:],
                                                 "--do", script, timeout=120)
                    self.assertEqual(rc, 0, "%d-bit: %s%s" % (b.bits, out, err))
                    windows[b] = dumps(out)
                self.assertEqual(len(windows[WIN32]), 1, out)
                self.assertEqual(windows[WIN32][0]["title"], title)
                self.assertGreater(len(windows[WIN32][0]["controls"]), 3)
                self.assertTwins(windows, dll + " dialog")


if __name__ == "__main__":
    main()

"""The 32-bit morsk.dll with two 32-bit probe children beside its 64-bit twin
with the twin's probes: each child is started with its own library, gets the
host's window and the rows it asked for, is started and stopped once, and
logs what the twin's children log."""

import os
import shutil

from jktest import main
from twins import BUILDS, TwinTest, win_path
from visprobe import ProbeFolder

# name: (probe settings, the rows it asks for: spectrum, waveform)
CHILDREN = {
    "a": (dict(spectrumChannels=0, waveformChannels=1, x=0, y=0), (False, True)),
    "b": (dict(spectrumChannels=2, waveformChannels=0, x=300, y=300), (True, False)),
}
FRAMES = 3


class MorskTest(TwinTest):
    def run_mux(self, b):
        folder = self.folder[b]
        probes = ProbeFolder(folder)
        for name, (settings, _) in CHILDREN.items():
            probes.add(name, **settings)
            # The probe of this build, not the tree's (ProbeFolder's) own.
            shutil.copy(b.bin("vis_probe.dll"), probes.path(name))
        shutil.copy(b.dist("morsk.dll"), os.path.join(folder, "morsk.dll"))
        with open(os.path.join(folder, "plugin.ini"), "w", newline="\r\n") as f:
            f.write("[Visualization Mux]\nREDO_ZODODEZ=%d\n" % len(CHILDREN))
            for n, name in enumerate(CHILDREN, 1):
                f.write("Vis%d=%s\n" % (n, win_path(probes.path(name))))
        rc, data, out, err = b.testhost("vis", os.path.join(folder, "morsk.dll"), "--frames",
                                        FRAMES, "--rate", "22050", "--channels", "1")
        self.assertEqual(rc, 0, "%d-bit: %s%s" % (b.bits, out, err))
        self.assertEqual(data["startResult"], 0, "%d-bit" % b.bits)
        return data, probes

    def test_two_children_run_as_the_twins(self):
        logs = {}
        for b in BUILDS:
            data, probes = self.run_mux(b)
            logs[b] = {}
            for name, (_, (spectrum, waveform)) in CHILDREN.items():
                calls = probes.calls(name)
                self.assertEqual([c["op"] for c in calls],
                                 ["start"] + ["render"] * FRAMES + ["stop"], name)
                for c in calls:
                    self.assertTrue(c["ownInstance"], name)
                    self.assertEqual(c["hostWindow"], data["hostWindow"], name)
                    self.assertEqual((c["rateHz"], c["channelCount"]), (22050, 1))
                    del c["hostWindow"]
                for c in calls[1:1 + FRAMES]:
                    self.assertEqual((c["spectrum"], c["waveform"]),
                                     ([spectrum] * 2, [waveform] * 2), name)
                logs[b][name] = probes.log(name)[:1] + calls
        self.assertTwins(logs, "the children's logs")


if __name__ == "__main__":
    main()

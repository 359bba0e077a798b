// The replayer beside libxmp on real modules nobody here wrote: for their
// first minute, tick by tick, positions, speeds and tempos agree, and every
// channel's period and volume agree but where a documented quirk of the
// replayer explains the difference.
#include "pelmit/formats/tests/mod_trace.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

using namespace pelmit::test;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> realModules() {
    const char* root = std::getenv("JK_TESTDATA_DIR");
    std::vector<fs::path> found;
    if (!root) return found;
    for (const char* package : {"tecnoballz-data", "freedroid-data", "circuslinux-data"}) {
        const fs::path dir = fs::path(root) / package;
        if (!fs::exists(dir)) continue;
        for (const auto& e : fs::recursive_directory_iterator(dir))
            if (e.path().extension() == ".mod") found.push_back(e.path());
    }
    std::sort(found.begin(), found.end());
    return found;
}

} // namespace

TEST(ModTrace, RealModulesTickByTickBesideLibxmp) {
    const auto modules = realModules();
    if (modules.empty()) GTEST_SKIP() << "no test data (JK_TESTDATA_DIR, tools/fetch-testdata)";
    std::map<std::string, int> explained;
    for (const fs::path& path : modules) {
        SCOPED_TRACE(path.filename().string());
        const auto ours = traceModPlayer(path.string(), 60);
        const auto theirs = traceLibxmp(path.string(), 60);
        if (path.filename() == "area1-game2.mod") { // an XM named .mod
            EXPECT_TRUE(ours.empty());
            continue;
        }
        ASSERT_FALSE(ours.empty());
        EXPECT_EQ(ours.size(), theirs.size());
        int unexplained = 0;
        for (const TraceDifference& d : compareTraces(ours, theirs)) {
            if (!d.quirk.empty()) {
                ++explained[d.quirk];
            } else if (++unexplained <= 5) {
                ADD_FAILURE() << "tick " << d.tick << " channel " << d.channel << ": " << d.what;
            }
        }
        EXPECT_EQ(unexplained, 0);
    }
    for (const auto& [quirk, count] : explained)
        std::printf("%6d ticks differ because %s\n", count, quirk.c_str());
}

// The multiplexer's rules on fake child libraries: which children start, what
// they are handed, who renders and who is stopped, what is written back, and
// that no library is freed twice or kept after a failed start.
#include "morsk/multiplexer.h"
#include "morsk/tests/fake_children.h"

#include <gtest/gtest.h>

namespace morsk {
namespace {

const char ownName[] = "Morsk Visualization Mux v1.11";

class MultiplexerTest : public ::testing::Test {
protected:
    MultiplexerTest() : mux(ownName) {
        record.displayName = "Visualization Mux";
        record.hostWindow = reinterpret_cast<JkWindow>(0x1234);
        record.pluginInstance = reinterpret_cast<JkInstance>(0x5678);
        record.rateHz = 22050;
        record.channelCount = 1;
        record.frameLatencyMs = 25;
        record.frameDelayMs = 25;
        record.spectrumChannels = record.waveformChannels = 2;
    }
    void slots(std::initializer_list<const char*> names, int count = 0) {
        int n = 1;
        for (const char* name : names) settings.values["Vis" + std::to_string(n++)] = name;
        settings.values["REDO_ZODODEZ"] = std::to_string(count ? count : n - 1);
    }
    int start() { return mux.Start(record, settings, loader); }
    int render() {
        std::memset(record.spectrumRows, 1, sizeof record.spectrumRows);
        std::memset(record.waveformRows, 2, sizeof record.waveformRows);
        return mux.Render(record);
    }
    void stop() { mux.Stop(loader); }

    fake::Loader loader;
    fake::Store settings;
    VisModule record{};
    Multiplexer mux;
};

TEST_F(MultiplexerTest, NoSettingsGivesFourEmptySlotsAndNoStart) {
    EXPECT_EQ(start(), 1);
    std::vector<std::pair<std::string, std::string>> expected = {{"REDO_ZODODEZ", "4"}};
    for (int n = 1; n <= 4; ++n) {
        expected.push_back({"Vis" + std::to_string(n), ""});
        expected.push_back({"Mod" + std::to_string(n), "0"});
    }
    expected.push_back({"Compatibility", "0"});
    EXPECT_EQ(settings.writes, expected);
    EXPECT_EQ(render(), 1);
}

TEST_F(MultiplexerTest, OverLongPathIsAnEmptySlotThatIsNeverLoaded) {
    std::string longPath(maxSystemText + 1, 'x');
    fake::Library& shadow = loader.add(longPath);
    fake::Library& a = loader.add("a");
    slots({longPath.c_str(), "a"});
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(shadow.starts, 0);
    EXPECT_EQ(shadow.refs, 0);
    EXPECT_EQ(a.starts, 1);
    EXPECT_EQ(settings.values["Vis1"], "");
    stop();
}

TEST_F(MultiplexerTest, ChildGetsItsLibraryTheHostFieldsAndAllRowsBeforeStart) {
    fake::Library& a = loader.add("a");
    slots({"a"});
    std::memset(record.spectrumRows, 7, sizeof record.spectrumRows);
    std::memset(record.waveformRows, 7, sizeof record.waveformRows);
    EXPECT_EQ(start(), 0);
    const VisModule& m = a.records[0];
    EXPECT_EQ(m.pluginInstance, static_cast<void*>(&a));
    EXPECT_EQ(m.hostWindow, record.hostWindow);
    EXPECT_EQ(m.rateHz, 22050);
    EXPECT_EQ(m.channelCount, 1);
    EXPECT_TRUE(a.spectrumWritten);
    EXPECT_TRUE(a.waveformWritten);
    EXPECT_EQ(a.refs, 1);
    stop();
    EXPECT_EQ(a.calls, (std::vector<std::string>{"start 0", "stop"}));
    EXPECT_EQ(a.refs, 0);
}

TEST_F(MultiplexerTest, RowsEachFrameOnlyOfTheKindsAsked) {
    struct Case {
        int spectrum, waveform;
    } cases[] = {{0, 0}, {1, 0}, {0, 2}, {2, 1}};
    for (const Case& c : cases) {
        fake::Loader fresh;
        fake::Library& a = fresh.add("a");
        a.spectrumChannels = c.spectrum;
        a.waveformChannels = c.waveform;
        Multiplexer m(ownName);
        slots({"a"});
        ASSERT_EQ(m.Start(record, settings, fresh), 0);
        EXPECT_EQ(m.Render(record), 0);
        EXPECT_EQ(a.spectrumWritten, c.spectrum > 0);
        EXPECT_EQ(a.waveformWritten, c.waveform > 0);
        m.Stop(fresh);
    }
}

TEST_F(MultiplexerTest, ModuleSearchAndWhatIsWrittenBack) {
    fake::Library& four = loader.add("four");
    four.modules = 4;
    fake::Library& none = loader.add("none");
    none.modules = 0;
    fake::Library& direct = loader.add("direct");
    direct.modules = 3;
    slots({"four", "none", "direct", "missing"});
    settings.values["Mod1"] = "7";
    settings.values["Mod2"] = "5";
    settings.values["Mod3"] = "2";
    settings.values["Mod4"] = "9";
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(settings.values["Mod1"], "0");  // found by the search
    EXPECT_EQ(settings.values["Mod2"], "-1"); // nothing at 0 to 100
    EXPECT_EQ(settings.values["Mod3"], "2");
    EXPECT_EQ(settings.values["Mod4"], "9"); // did not load: as it was
    EXPECT_EQ(four.calls, (std::vector<std::string>{"start 0"}));
    EXPECT_EQ(direct.calls, (std::vector<std::string>{"start 2"}));
    EXPECT_EQ(none.starts, 0);
    EXPECT_EQ(none.refs, 1); // kept loaded until the stop
    stop();
    EXPECT_EQ(none.refs, 0);
    EXPECT_EQ(four.refs + direct.refs, 0);
}

TEST_F(MultiplexerTest, FailedStartKeepsTheOthersAndTheLastStopEndsTheFrame) {
    fake::Library& first = loader.add("first");
    first.startResult = 1;
    fake::Library& second = loader.add("second");
    second.stopAfter = 2;
    slots({"first", "second"});
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(render(), 0);
    EXPECT_EQ(render(), 1); // the second stops itself: no child is left
    EXPECT_EQ(first.calls, (std::vector<std::string>{"start 0"}));
    EXPECT_EQ(second.calls, (std::vector<std::string>{"start 0", "render", "render", "stop"}));
    stop();
    EXPECT_EQ(second.stops, 1);
    EXPECT_EQ(first.refs + second.refs, 0);
}

TEST_F(MultiplexerTest, StartCountsAsCalledEvenWhenEveryChildFails) {
    fake::Library& a = loader.add("a");
    a.startResult = 3;
    slots({"a"});
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(render(), 1);
    stop();
    EXPECT_EQ(a.calls, (std::vector<std::string>{"start 0"}));
    EXPECT_EQ(a.refs, 0);
}

TEST_F(MultiplexerTest, StartThatFailsFreesEveryLibraryItLoaded) {
    fake::Library& noGetter = loader.add("noGetter");
    noGetter.hasGetter = false;
    fake::Library& nullHeader = loader.add("nullHeader");
    nullHeader.nullHeader = true;
    fake::Library& empty = loader.add("empty");
    empty.modules = 0;
    slots({"noGetter", "nullHeader", "empty", "missing"});
    EXPECT_EQ(start(), 1);
    EXPECT_EQ(noGetter.refs + nullHeader.refs + empty.refs, 0);
    EXPECT_EQ(loader.frees, 3);
    stop(); // a host that stops anyway frees nothing more
    EXPECT_EQ(loader.frees, 3);
}

TEST_F(MultiplexerTest, SecondStopFreesNothingTwice) {
    fake::Library& a = loader.add("a");
    slots({"a"});
    start();
    stop();
    stop();
    EXPECT_EQ(a.stops, 1);
    EXPECT_EQ(a.refs, 0);
    EXPECT_EQ(loader.frees, 1);
}

TEST_F(MultiplexerTest, SameLibraryInTwoSlotsStartsOnce) {
    fake::Library& a = loader.add("a");
    a.modules = 2;
    slots({"a", "a"});
    settings.values["Mod2"] = "1";
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(a.calls, (std::vector<std::string>{"start 0"}));
    EXPECT_EQ(settings.values["Mod2"], "1");
    render();
    stop();
    EXPECT_EQ(a.calls, (std::vector<std::string>{"start 0", "render", "stop"}));
    EXPECT_EQ(a.refs, 0);
}

TEST_F(MultiplexerTest, NeverStartsItselfNorACopyOfItself) {
    fake::Library& self = loader.add("C:\\morsk.dll");
    self.headerName = ownName;
    loader.self = &self;
    fake::Library& copy = loader.add("C:\\renamed.dll");
    copy.headerName = ownName;
    fake::Library& a = loader.add("a");
    slots({"C:\\morsk.dll", "C:\\renamed.dll", "a"});
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(self.starts + copy.starts, 0);
    EXPECT_EQ(a.starts, 1);
    stop();
    EXPECT_EQ(self.refs + copy.refs + a.refs, 0);
}

TEST_F(MultiplexerTest, CallsBackIntoTheMuxFromAChildDoNothing) {
    fake::Library& a = loader.add("a");
    int nested = -1;
    a.duringStart = [&] {
        nested = mux.Start(record, settings, loader);
        EXPECT_EQ(mux.Render(record), 1);
        mux.Stop(loader);
    };
    slots({"a"});
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(a.calls, (std::vector<std::string>{"start 0"}));
    EXPECT_EQ(render(), 0);
    stop();
    EXPECT_EQ(a.refs, 0);
}

TEST_F(MultiplexerTest, CompatibilityLowersOnlyForSearchedChildrenAndHandsValuesOn) {
    fake::Library& direct = loader.add("direct");
    direct.latency = 5;
    direct.delay = 5;
    fake::Library& searched = loader.add("searched");
    searched.modules = 2;
    searched.latency = 10;
    searched.delay = 40;
    fake::Library& later = loader.add("later");
    later.latency = 99;
    slots({"direct", "searched", "later"});
    settings.values["Mod2"] = "9";
    settings.values["Compatibility"] = "1";
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(record.frameLatencyMs, 10);
    EXPECT_EQ(record.frameDelayMs, 25);
    EXPECT_EQ(direct.records[0].frameLatencyMs, 25);
    EXPECT_EQ(searched.records[0].frameLatencyMs, 10);
    EXPECT_EQ(searched.records[0].frameDelayMs, 25);
    EXPECT_EQ(later.records[0].frameLatencyMs, 10);
    stop();

    // Without compatibility mode the children keep their own values.
    settings.values["Compatibility"] = "0";
    settings.values["Mod2"] = "9";
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(searched.records[0].frameDelayMs, 40);
    EXPECT_EQ(later.records[0].frameLatencyMs, 99);
    EXPECT_EQ(record.frameLatencyMs, 10); // lowered values stay lowered
    stop();
}

TEST_F(MultiplexerTest, ChildWhoseModuleVanishesIsDroppedWithoutStop) {
    fake::Library& a = loader.add("a");
    fake::Library& b = loader.add("b");
    slots({"a", "b"});
    start();
    a.modules = 0;
    EXPECT_EQ(render(), 0);
    EXPECT_EQ(render(), 0);
    stop();
    EXPECT_EQ(a.calls, (std::vector<std::string>{"start 0"}));
    EXPECT_EQ(b.renders, 2);
    EXPECT_EQ(a.refs + b.refs, 0);
}

TEST_F(MultiplexerTest, StartWithoutStopFirstEndsTheRunningChildren) {
    fake::Library& a = loader.add("a");
    slots({"a"});
    start();
    start();
    EXPECT_EQ(a.calls, (std::vector<std::string>{"start 0", "stop", "start 0"}));
    EXPECT_EQ(a.refs, 1);
    stop();
    EXPECT_EQ(a.refs, 0);
}

TEST_F(MultiplexerTest, ThirtySlotsAtMost) {
    std::vector<std::string> names;
    for (int n = 1; n <= 31; ++n) {
        names.push_back("lib" + std::to_string(n));
        loader.add(names.back());
        settings.values["Vis" + std::to_string(n)] = names.back();
    }
    settings.values["REDO_ZODODEZ"] = "50";
    EXPECT_EQ(start(), 0);
    EXPECT_EQ(fake::libraries[29]->starts, 1);
    EXPECT_EQ(fake::libraries[30]->refs, 0);
    EXPECT_EQ(settings.values["REDO_ZODODEZ"], "30");
    stop();
}

} // namespace
} // namespace morsk

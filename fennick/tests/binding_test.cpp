// Binding by name: which library and name fail, what the box says, and what
// the table holds afterwards.
#include "fennick/gl_binding.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

namespace fennick {
namespace {

// Two fake libraries whose exports are addresses inside one array, so that
// each name has its own recognisable address.
class FakeLoader : public GlLoader {
public:
    std::set<std::string> missingLibraries, missingNames;
    std::vector<std::string> events; // load, release and report, in order
    bool releaseFails = false;

    void* load(const char* library) override {
        events.push_back(std::string("load ") + library);
        if (missingLibraries.count(library)) return nullptr;
        return library == std::string(glLibraryName) ? &libraries[0] : &libraries[1];
    }
    void* resolve(void*, const char* name) override {
        if (missingNames.count(name)) return nullptr;
        return &exports[indexOf(name)];
    }
    bool release(void* library, unsigned& error) override {
        events.push_back(library == &libraries[0] ? "release gl" : "release glu");
        error = 5;
        return !releaseFails;
    }
    void report(const char* text, const char* caption) override {
        events.push_back(std::string("report ") + text + " | " + caption);
    }

    static int indexOf(const std::string& name) {
        for (int i = 0; i < glNameCount + gluNameCount; ++i)
            if (name == glBindingTable[i].name) return i;
        return -1;
    }
    void* exportOf(int row) { return &exports[row]; }

private:
    char libraries[2] = {};
    char exports[glNameCount + gluNameCount] = {};
};

std::vector<void*> slots(GlBinding& b) {
    std::vector<void*> out;
    for (const GlBindingRow& row : glBindingTable) out.push_back(glSlot(b.gl, row));
    return out;
}

TEST(Binding, TableHoldsTheNamesInBindingOrder) {
    EXPECT_STREQ(glBindingTable[0].name, "glBegin");
    EXPECT_STREQ(glBindingTable[37].name, "wglMakeCurrent");
    EXPECT_STREQ(glBindingTable[38].name, "gluLookAt");
    EXPECT_STREQ(glBindingTable[41].name, "gluBuild1DMipmaps");
    std::set<std::size_t> offsets;
    for (const GlBindingRow& row : glBindingTable) offsets.insert(row.offset);
    EXPECT_EQ(offsets.size(), std::size_t(glNameCount + gluNameCount)) << "one slot per name";
}

TEST(Binding, EverySlotGetsTheAddressOfItsOwnName) {
    FakeLoader loader;
    GlBinding b;
    ASSERT_EQ(bindGl(b, loader), 1);
    std::vector<void*> s = slots(b);
    for (int i = 0; i < glNameCount + gluNameCount; ++i)
        EXPECT_EQ(s[i], loader.exportOf(i)) << glBindingTable[i].name;
    EXPECT_EQ(reinterpret_cast<void*>(b.gl.glVertex3f), loader.exportOf(15));
    EXPECT_EQ(reinterpret_cast<void*>(b.gl.gluPerspective), loader.exportOf(39));
    EXPECT_EQ(loader.events, (std::vector<std::string>{"load OpenGL32.dll", "load Glu32.dll"}));
}

TEST(Binding, LoadFailuresNameTheLibrary) {
    struct Case {
        const char* missing;
        int boundSlots;
    } cases[] = {{"OpenGL32.dll", 0}, {"Glu32.dll", glNameCount}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.missing);
        FakeLoader loader;
        loader.missingLibraries = {c.missing};
        GlBinding b;
        EXPECT_EQ(bindGl(b, loader), 0);
        EXPECT_EQ(loader.events.back(),
                  std::string("report Unable to load \"") + c.missing +
                      "\", please consult READMEGL.TXT | Gorwen's 3D Plugin Error");
        std::vector<void*> s = slots(b);
        for (int i = 0; i < glNameCount + gluNameCount; ++i)
            EXPECT_EQ(s[i] != nullptr, i < c.boundSlots) << glBindingTable[i].name;
    }
}

TEST(Binding, ResolveFailureAtNameKKeepsTheSlotsBeforeIt) {
    for (int k : {0, 17, 37, 38, 41}) {
        SCOPED_TRACE(glBindingTable[k].name);
        FakeLoader loader;
        loader.missingNames = {glBindingTable[k].name};
        GlBinding b;
        EXPECT_EQ(bindGl(b, loader), 0);
        int reports = 0;
        for (const std::string& e : loader.events) reports += e.rfind("report", 0) == 0;
        EXPECT_EQ(reports, 1);
        EXPECT_EQ(loader.events.back(),
                  std::string("report Unable to resolve \"") + glBindingTable[k].name +
                      "\", please consult READMEGL.TXT | Gorwen's 3D Plugin Error");
        std::vector<void*> s = slots(b);
        for (int i = 0; i < glNameCount + gluNameCount; ++i)
            EXPECT_EQ(s[i], i < k ? loader.exportOf(i) : nullptr) << glBindingTable[i].name;
    }
}

TEST(Binding, UnbindClearsAndFreesGluFirstAndRebindingBalancesTheLoads) {
    FakeLoader loader;
    GlBinding b;
    ASSERT_EQ(bindGl(b, loader), 1);
    ASSERT_EQ(bindGl(b, loader), 1); // a start without the stop that unbinds
    unbindGl(b, loader);
    EXPECT_EQ(loader.events,
              (std::vector<std::string>{"load OpenGL32.dll", "load Glu32.dll", "release glu",
                                        "release gl", "load OpenGL32.dll", "load Glu32.dll",
                                        "release glu", "release gl"}));
    for (void* s : slots(b)) EXPECT_EQ(s, nullptr);
    EXPECT_EQ(b.glLibrary, nullptr);
    EXPECT_EQ(b.gluLibrary, nullptr);
}

TEST(Binding, AFailedFreeIsReportedWithTheErrorNumberAsCaption) {
    FakeLoader loader;
    GlBinding b;
    ASSERT_EQ(bindGl(b, loader), 1);
    loader.releaseFails = true;
    loader.events.clear();
    unbindGl(b, loader);
    EXPECT_EQ(loader.events,
              (std::vector<std::string>{"release glu", "report FreeLibrary() failed | 5",
                                        "release gl", "report FreeLibrary() failed | 5"}));
}

} // namespace
} // namespace fennick

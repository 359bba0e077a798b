#include "pelmit/file_type_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace pelmit;

namespace {

const FileTypeEntry defaultEntries[] = {
    {"MOD", "Quistor Amiga music file"},
    {"BP;BP3", "Halbrecht's SoundMon music file"},
    {"SFX", "SoundFX music file"},
    {"FC;FC3;FC4;FC13;FC14", "Future Composer music file"},
    {"HIP;MON;CUST;CUS;DM2;SID1", "Emulated Amiga music file"},
};

// Splits a double-NUL-ended list into its texts, as the player reads it.
std::vector<std::string> texts(const char* list, size_t used) {
    std::vector<std::string> out;
    size_t i = 0;
    while (i < used && list[i]) {
        std::string t(list + i);
        out.push_back(t);
        i += t.size() + 1;
    }
    EXPECT_LT(i, used) << "list lacks its final NUL";
    return out;
}

} // namespace

TEST(FileTypeList, DefaultListIsExact) {
    char buf[fileTypeBufferSize];
    size_t used = buildFileTypeList(buf, sizeof buf, defaultEntries, 5);
    std::vector<std::string> expected = {
        "MOD",
        "Quistor Amiga music file (*.MOD)",
        "BP;BP3",
        "Halbrecht's SoundMon music file (*.BP;*.BP3)",
        "SFX",
        "SoundFX music file (*.SFX)",
        "FC;FC3;FC4;FC13;FC14",
        "Future Composer music file (*.FC;*.FC3;*.FC4;*.FC13;*.FC14)",
        "HIP;MON;CUST;CUS;DM2;SID1",
        "Emulated Amiga music file (*.HIP;*.MON;*.CUST;*.CUS;*.DM2;*.SID1)"};
    EXPECT_EQ(texts(buf, used), expected);
    EXPECT_EQ(used, 294u);
    EXPECT_EQ(buf[used - 1], '\0');
    EXPECT_EQ(buf[used - 2], '\0');
}

TEST(FileTypeList, PatternForms) {
    struct Case {
        const char* list;
        const char* description;
    } cases[] = {
        {"A;", "trailing separator kept (*.A;)"},
        {"A;;B", "empty element gives a bare pattern (*.A;*.;*.B)"},
        {";", "only a separator (*.;)"},
    };
    for (const Case& c : cases) {
        char buf[128];
        FileTypeEntry e{c.list, "d"};
        size_t used = buildFileTypeList(buf, sizeof buf, &e, 1);
        auto t = texts(buf, used);
        ASSERT_EQ(t.size(), 2u) << c.list;
        std::string want = c.description;
        want = "d " + want.substr(want.find('('));
        EXPECT_EQ(t[1], want) << c.list;
    }
}

TEST(FileTypeList, EmptyExtensionListEndsTheListEarly) {
    FileTypeEntry entries[] = {{"MOD", "a"}, {"", "b"}, {"SFX", "c"}};
    char buf[256];
    size_t used = buildFileTypeList(buf, sizeof buf, entries, 3);
    EXPECT_EQ(texts(buf, used), (std::vector<std::string>{"MOD", "a (*.MOD)"}));
}

TEST(FileTypeList, OversizedListsStopBeforeThePairThatDoesNotFit) {
    // Five user-edited lists of 49 separators need more than the buffer holds.
    std::string semis(49, ';');
    std::vector<FileTypeEntry> entries;
    for (const auto& e : defaultEntries) entries.push_back({semis.c_str(), e.description});
    std::vector<char> buf(fileTypeBufferSize + 64, '\x7f');
    size_t used = buildFileTypeList(buf.data(), fileTypeBufferSize, entries.data(), entries.size());
    ASSERT_LE(used, fileTypeBufferSize);
    for (size_t i = fileTypeBufferSize; i < buf.size(); ++i) ASSERT_EQ(buf[i], '\x7f');
    auto t = texts(buf.data(), used);
    ASSERT_EQ(t.size() % 2, 0u);
    EXPECT_LT(t.size(), 10u);
    EXPECT_GE(t.size(), 6u);
    for (size_t i = 0; i < t.size(); i += 2) EXPECT_EQ(t[i], semis);
}

TEST(FileTypeList, AppendRefusesWithoutWriting) {
    char buf[8] = "xxxxxxx";
    EXPECT_EQ(appendFileType(buf, buf + sizeof buf, "MOD", "desc"), nullptr);
    EXPECT_STREQ(buf, "xxxxxxx");
    char one[1];
    EXPECT_EQ(buildFileTypeList(one, 1, defaultEntries, 5), 1u);
    EXPECT_EQ(one[0], '\0');
}

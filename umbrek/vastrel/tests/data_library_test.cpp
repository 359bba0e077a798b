// The data library against pinned stream values (so that a shared mistake of
// writer and reader cannot hide), round trips through the writer, and the
// damaged libraries the reader must survive.
#include "umbrek/vastrel/data_library.h"
#include "umbrek/vastrel/tests/library_writer.h"

#include "tests/test_files.h"

#include <gtest/gtest.h>

#include <string>

using namespace umbrek::test;

namespace {

std::vector<uint8_t> bytesOf(const std::string& s) {
    return {s.begin(), s.end()};
}

// Everything a stream gives from where it stands, up to LIMIT bytes.
std::string readAll(DataStream& stream, size_t limit = 1 << 20) {
    std::string out(limit, '\0');
    out.resize(stream.read(out.data(), limit));
    return out;
}

std::string member(const char* name, size_t size) {
    std::unique_ptr<DataStream> stream = LKXO_File_Open(name);
    if (!stream) return "(none)";
    std::string out(size, '\0');
    out.resize(stream->read(out.data(), size));
    return out;
}

class DataLibraryTest : public ::testing::Test {
protected:
    void TearDown() override { KX_SetDataLibrary(nullptr); }
    void select(const std::vector<uint8_t>& bytes) {
        library_ = bytes;
        KX_SetDataLibraryBytes(library_.data(), library_.size());
    }
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (size_t i = 0; i < KX_LibraryMemberCount(); ++i)
            out.push_back(KX_LibraryMember(i)->name);
        return out;
    }
    std::vector<uint8_t> library_;
};

TEST(LibraryScramblerTest, StreamValuesMatchThePinnedVectors) {
    const struct {
        int32_t seed;
        std::vector<int32_t> values;
    } cases[] = {
        {0, {3, 0, 36, 41, 46, 27, 41, 13, 42, 33, 15, 24, 38, 1, 31, 33}},
        {1, {22, 5, 37, 30, 49, 39, 45, 10, 40, 14, 1, 36, 27, 3, 16, 6}},
        {12345, {35, 37, 48, 42, 13, 28, 28, 39, 22, 6, 26, 27, 47, 40, 0, 1}},
        {-7, {-31, -36, -22, -30, -25, -4, -39, -16, -37, -36, -39, -13, -34, -10, -11, -23}},
    };
    for (const auto& c : cases) EXPECT_EQ(scramblerValues(c.seed, 16), c.values) << c.seed;
}

TEST(LibraryWriterTest, EncodesNamesAndPasswordAsPinned) {
    EXPECT_EQ(scrambleName("FLARE1.PCX", 0),
              (std::vector<uint8_t>{0x49, 0x4C, 0x65, 0x7B, 0x73, 0x4C, 0x57, 0x5D, 0x6D, 0x79}));
    const std::vector<uint8_t> library = writeLibrary({{"FLARE1.PCX", bytesOf("abc")}});
    EXPECT_EQ(library[6], 0x23); // a blank plus the stream's first value
    EXPECT_EQ(library[21], 10);  // the name's length
    EXPECT_EQ(library.size(), 21u + 19u + 3u);
}

TEST_F(DataLibraryTest, MembersRoundTripInAnyLetterCaseAndAnySeed) {
    for (int32_t seed : {0, 1, 12345, -7}) {
        select(writeLibrary({{"METAL.PCX", bytesOf("metal")},
                             {"EMPTY.BLK", {}},
                             {"FLARE1.PCX", bytesOf("flare")},
                             {"METAL.PCX", bytesOf("second")}},
                            {.seed = seed}));
        EXPECT_EQ(names(),
                  (std::vector<std::string>{"METAL.PCX", "EMPTY.BLK", "FLARE1.PCX", "METAL.PCX"}));
        EXPECT_EQ(member("metal.pcx", 5), "metal") << seed; // first in file order
        EXPECT_EQ(member("Flare1.Pcx", 5), "flare");
        // A zero-length member: the next entry follows at once, and reads run on into it.
        EXPECT_EQ(member("EMPTY.BLK", 1), "\x0A");
        // Reading nothing needs no buffer: an empty member's bytes are an empty vector.
        EXPECT_EQ(LKXO_File_Open("EMPTY.BLK")->read(nullptr, 0), 0u);
        EXPECT_EQ(member("absent.pcx", 1), "(none)");
    }
}

TEST_F(DataLibraryTest, NamesAreComparedCutToFourteenCharacters) {
    // The writer cuts the 15-character name as a library must hold it.
    select(writeLibrary({{"ZEPHRINSPIN.KXO", bytesOf("model")}}));
    EXPECT_EQ(names(), std::vector<std::string>{"ZEPHRINSPIN.KX"});
    EXPECT_EQ(member("zephrinspin.kxo", 5), "model");
    EXPECT_EQ(member("zephrinspin.kx", 5), "model");
    EXPECT_EQ(member("zephrinspin.k", 5), "(none)");
}

TEST_F(DataLibraryTest, ABadPasswordFailsEveryOpen) {
    select(writeLibrary({{"A.PCX", bytesOf("a")}}, {.badPassword = true}));
    EXPECT_EQ(names(), std::vector<std::string>{"A.PCX"});
    EXPECT_EQ(member("a.pcx", 1), "(none)");
    // Only a matching password opens such a field; Umbrek gives none.
    EXPECT_TRUE(KX_LibraryPasswordMatches(0, library_.data() + 6, "x"));
    EXPECT_FALSE(KX_LibraryPasswordMatches(0, library_.data() + 6, "y"));
    EXPECT_FALSE(KX_LibraryPasswordMatches(0, library_.data() + 6, ""));
}

TEST_F(DataLibraryTest, DamagedDirectoriesEndQuietly) {
    const std::vector<uint8_t> a = bytesOf("aaaa");
    const struct {
        const char* what;
        std::vector<uint8_t> library;
        std::vector<std::string> names;
    } cases[] = {
        {"no entries", writeLibrary({}), {}},
        {"a header cut short", writeLibrary({{"A.PCX", a}}, {.cutBytes = 34}), {}},
        {"the last entry cut short",
         writeLibrary({{"A.PCX", a}, {"B.PCX", a}}, {.cutBytes = 10}),
         {"A.PCX"}},
        {"a name length above 14",
         writeLibrary({{"ABCDEFGHIJKLMN", a, 200}, {"B.PCX", a}}),
         {"ABCDEFGHIJKLMN", "B.PCX"}},
        {"a negative length",
         writeLibrary({{"A.PCX", a}, {"B.PCX", a, {}, -30}, {"C.PCX", a}}),
         {"A.PCX"}},
        {"a huge length", writeLibrary({{"A.PCX", a, {}, 0x7FFFFFFF}, {"B.PCX", a}}), {"A.PCX"}},
        {"an entry beyond the end", writeLibrary({{"A.PCX", a, {}, 40}, {"B.PCX", a}}), {"A.PCX"}},
    };
    for (const auto& c : cases) {
        select(c.library);
        EXPECT_EQ(names(), c.names) << c.what;
        EXPECT_EQ(member("c.pcx", 1), "(none)") << c.what;
        for (const std::string& name : c.names) EXPECT_EQ(member(name.c_str(), 1), "a") << c.what;
    }
}

TEST_F(DataLibraryTest, ManyZeroLengthEntriesAreAllListed) {
    std::vector<LibraryEntry> entries;
    for (int i = 0; i < 5000; ++i)
        entries.push_back({std::string("E").append(std::to_string(i)), {}});
    entries.push_back({"LAST", bytesOf("z")});
    select(writeLibrary(entries));
    EXPECT_EQ(KX_LibraryMemberCount(), 5001u);
    EXPECT_EQ(member("last", 1), "z");
}

TEST_F(DataLibraryTest, FilesOnDiskWithAndWithoutALibrary) {
    const std::string loose = jk::test::tempPath("loose.txt");
    const std::string libraryPath = jk::test::tempPath("files.dat");
    jk::test::writeFile(loose, std::string("on disk"));
    jk::test::writeFile(libraryPath, writeLibrary({{"INSIDE.TXT", bytesOf("inside")}}));

    EXPECT_EQ(member(loose.c_str(), 7), "on disk");
    KX_SetDataLibrary(libraryPath.c_str());
    EXPECT_EQ(member("inside.txt", 6), "inside");
    EXPECT_EQ(member(loose.c_str(), 7), "(none)"); // a library holds every file
    // Reselecting replaces the directory.
    select(writeLibrary({{"OTHER.TXT", bytesOf("other")}}));
    EXPECT_EQ(member("inside.txt", 6), "(none)");
    EXPECT_EQ(member("other.txt", 5), "other");
    // Deselecting falls back to disk.
    KX_SetDataLibrary(nullptr);
    EXPECT_EQ(member(loose.c_str(), 7), "on disk");
    // A library that does not open leaves nothing to open.
    KX_SetDataLibrary(jk::test::tempPath("missing.dat").c_str());
    EXPECT_EQ(KX_LibraryMemberCount(), 0u);
    EXPECT_EQ(member(loose.c_str(), 7), "(none)");
}

TEST_F(DataLibraryTest, AMemberStreamStartsAtTheMembersFirstByte) {
    select(writeLibrary({{"A", bytesOf("first")}, {"B", bytesOf("second")}}));
    std::unique_ptr<DataStream> stream = LKXO_File_Open("b");
    ASSERT_TRUE(stream);
    EXPECT_EQ(stream->tell(), KX_LibraryMember(1)->offset);
    EXPECT_EQ(readAll(*stream), "second");
}

} // namespace

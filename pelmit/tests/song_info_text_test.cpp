#include "pelmit/song_info_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <utility>

namespace pelmit {
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;

Rows plain(const std::vector<EffectText>& rows) {
    Rows out;
    for (const EffectText& r : rows) out.emplace_back(r.code, r.description);
    return out;
}

constexpr uint32_t bit(int n) {
    return uint32_t(1) << n;
}

TEST(ModEffectRows, CodesFollowTheBitsAndSpeedComesLast) {
    // Effects 0, 3, 8, E8, EE and F, with bit 14 set too.
    uint32_t used = bit(0) | bit(3) | bit(8) | bit(14) | bit(15) | bit(16 + 8) | bit(16 + 14);
    EXPECT_EQ(plain(modEffectRows(used)), (Rows{{"0nn", "Arpeggio"},
                                                {"3nn", "Portamento"},
                                                {"8nn", "unknown"},
                                                {"E8n", "unknown"},
                                                {"EEn", "Pattern delay"},
                                                {"Fnn", "Set speed/tempo"}}));
}

TEST(ModEffectRows, EveryBitHasItsCode) {
    Rows all = plain(modEffectRows(0xFFFFFFFF));
    ASSERT_EQ(all.size(), 14u + 16u + 1u);
    EXPECT_EQ(all[9], (std::pair<std::string, std::string>{"9nn", "Sample offset"}));
    EXPECT_EQ(all[13], (std::pair<std::string, std::string>{"Dnn", "Position jump"}));
    EXPECT_EQ(all[14], (std::pair<std::string, std::string>{"E0n", "Filter on/off"}));
    EXPECT_EQ(all[29], (std::pair<std::string, std::string>{"EFn", "Invert loop"}));
    EXPECT_EQ(all[30].first, "Fnn");
    EXPECT_TRUE(modEffectRows(0).empty());
    EXPECT_TRUE(modEffectRows(bit(14)).empty());
}

TEST(SoundMonEffectRows, VariantDecidesBitSixAndTheLaterEffects) {
    uint32_t used = bit(6) | bit(10) | bit(11) | bit(12) | bit(13) | bit(14) | bit(15);
    EXPECT_EQ(plain(soundMonEffectRows(used, 1)),
              (Rows{{"6nn", "Set repeat count"}, {"Ann", "Transpose control"}}));
    EXPECT_EQ(plain(soundMonEffectRows(used, 0)), plain(soundMonEffectRows(used, 1)));
    EXPECT_EQ(plain(soundMonEffectRows(used, 2)), (Rows{{"6nn", "Vibrato"},
                                                        {"Ann", "Transpose control"},
                                                        {"Bnn", "FX control"},
                                                        {"Dnn", "Swap FX / Autoarpeggio"},
                                                        {"Enn", "Reset ADSR / Autopeggio"},
                                                        {"Fnn", "Autoarpeggio"}}));
    // A variant beyond 2 keeps the later effects but not the vibrato name.
    EXPECT_EQ(plain(soundMonEffectRows(bit(6) | bit(11), 3)),
              (Rows{{"6nn", "Set repeat count"}, {"Bnn", "FX control"}}));
}

TEST(SoundFxEffectRows, OnlyNamedBitsGiveRows) {
    EXPECT_EQ(plain(soundFxEffectRows(0xFFFF)), (Rows{{"1nn", "Arpeggio"},
                                                      {"2nn", "Slide"},
                                                      {"5nn", "Volume Up"},
                                                      {"6nn", "Volume Down"},
                                                      {"7nn", "Portamento Down"},
                                                      {"8nn", "Portamento Up"}}));
}

TEST(SongInfoText, NumbersAndNames) {
    EXPECT_EQ(soundFxBpmText(14187), "125.01");
    EXPECT_EQ(soundFxBpmText(0), "-");
    EXPECT_EQ(soundFxBpmText(0xFFFF), "27.06");
    // A 22-byte name without its NUL stops at the field's end.
    const char name[22] = {'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 'i', 'j', 'k',
                           'l', 'm', 'n', 'o', 'p', 'q', 'r', 's', 't', 'u', 'v'};
    EXPECT_EQ(instrumentLine(3, name, sizeof name), "03: abcdefghijklmnopqrstuv");
    EXPECT_EQ(instrumentLine(31, "bass\0junk", 22), "31: bass");
    EXPECT_EQ(instrumentLine(1, nullptr, 22), "01: ");
    EXPECT_STREQ(soundMonVersionText(0), "V1");
    EXPECT_STREQ(soundMonVersionText(2), "V3");
    EXPECT_STREQ(soundMonVersionText(3), "");
    EXPECT_STREQ(soundMonVersionText(-1), "");
    EXPECT_STREQ(futureComposerVersionText(true), "1.4");
    EXPECT_STREQ(futureComposerVersionText(false), "1.3");
}

TEST(CopyBounded, CutsToTheBufferAndTerminates) {
    char buffer[8];
    std::memset(buffer, 'x', sizeof buffer);
    copyBounded(buffer, 4, "Portamento");
    EXPECT_EQ(std::string(buffer, 5), std::string("Por\0x", 5));
    copyBounded(buffer, 1, "Portamento");
    EXPECT_EQ(buffer[0], '\0');
    std::memset(buffer, 'x', sizeof buffer);
    copyBounded(buffer, 0, "Portamento");
    copyBounded<char>(nullptr, 8, "Portamento");
    EXPECT_EQ(buffer[0], 'x');
    wchar_t wide[16];
    copyBounded(wide, 16, "E8n");
    EXPECT_EQ(std::wstring(wide), L"E8n");
}

} // namespace
} // namespace pelmit

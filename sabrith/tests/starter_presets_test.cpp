// The presets shipped beside the plug-in must be what the effects themselves
// save: the effect's section, every key in its order, every value within its
// range. Loading one and saving it again must give the same bytes.
#include "sabrith/flame_effect.h"
#include "sabrith/frequency_effect.h"
#include "sabrith/fyre_effect.h"
#include "sabrith/tests/effect_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace sabrith::test {
namespace {

using MakeEffect = std::function<std::unique_ptr<Effect>(EffectContext)>;

template <class EffectType>
MakeEffect make() {
    return [](EffectContext context) { return std::make_unique<EffectType>(context); };
}

TEST(StarterPresets, EachLoadsIntoItsEffectAndSavesBackUnchanged) {
    const struct {
        const char* file;
        MakeEffect effect;
    } cases[] = {
        {"Ice Columns.lbp", make<FrequencyEffect>()},
        {"Slow Rain.lbp", make<FyreEffect>()},
        {"Blue Flame.lbp", make<FlameEffect>()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string shipped = std::string(JK_STARTER_PRESETS) + "/" + c.file;
        const std::vector<uint8_t> bytes = jk::test::readFile(shipped);
        StoreFixture fixture;
        std::unique_ptr<Effect> effect = c.effect(fixture.context);
        effect->loadSettings(shipped.c_str());
        const std::string again = fixture.presetPath(std::string("again-") + c.file);
        effect->saveSettings(again.c_str());
        EXPECT_EQ(jk::test::readFile(again), bytes);
    }
}

} // namespace
} // namespace sabrith::test

#include "sabrith/flame_effect.h"
#include "sabrith/frequency_effect.h"
#include "sabrith/fyre_effect.h"
#include "sabrith/tests/effect_fixture.h"

#include <memory>

namespace sabrith::test {
namespace {

template <class EffectType>
class PageTargetTest : public ::testing::Test, public StoreFixture {};

using EffectTypes = ::testing::Types<FrequencyEffect, FyreEffect, FlameEffect>;
TYPED_TEST_SUITE(PageTargetTest, EffectTypes);

// Pages left open must never reach an effect that has gone away, and an
// effect that is not their target must not take them away from the one that
// is.
TYPED_TEST(PageTargetTest, AnEffectGoingAwayClearsOnlyItsOwnTarget) {
    auto edited = std::make_unique<TypeParam>(this->context);
    pageTarget<TypeParam> = edited.get();
    auto other = std::make_unique<TypeParam>(this->context);
    EXPECT_EQ(pageTarget<TypeParam>, nullptr) << "creating an effect starts with no target";

    pageTarget<TypeParam> = edited.get();
    other.reset();
    EXPECT_EQ(pageTarget<TypeParam>, edited.get());
    edited.reset();
    EXPECT_EQ(pageTarget<TypeParam>, nullptr);
}

} // namespace
} // namespace sabrith::test

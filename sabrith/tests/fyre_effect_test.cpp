#include "sabrith/fyre_effect.h"
#include "sabrith/tests/effect_fixture.h"

#include <random>

namespace sabrith {
namespace {

using test::Canvas;
using test::flatSpectrum;

// Values handed out in order: the first becomes framesAccumulated (mod 4),
// the next 2000 the source's random table; then zeros.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<int> values) : values_(std::move(values)) {}
    int next() override { return index_ < values_.size() ? values_[index_++] : 0; }

private:
    std::vector<int> values_;
    std::size_t index_ = 0;
};

// A source whose table repeats `pattern`; framesAccumulated starts at 0.
ParticleSource makeSource(const SourceSettings& settings, const std::vector<int>& pattern) {
    std::vector<int> values{0};
    for (int i = 0; i < ParticleSource::randomCount; ++i)
        values.push_back(pattern[std::size_t(i) % pattern.size()]);
    ScriptedRandom random(values);
    return ParticleSource(settings, random);
}

SourceSettings band(int minFreq, int maxFreq, int speed = 10) {
    SourceSettings s;
    s.minFreq = minFreq;
    s.maxFreq = maxFreq;
    s.speed = speed;
    return s;
}

int aliveCount(const ParticleSource& source) {
    int count = 0;
    for (int i = 0; i < ParticleSource::particleCount; ++i) count += !source.particle(i).dead;
    return count;
}

TEST(ParticleSource, VelocityTableRampAndBandRules) {
    CrtRandom random;
    ParticleSource source(newSource, random);
    EXPECT_EQ(source.velocityX(256, 29), 3711);
    EXPECT_EQ(source.velocityX(512, 29), 1) << "the angle constant is not pi";
    EXPECT_EQ(source.velocityY(512, 29), -3711);
    EXPECT_EQ(source.velocityY(0, 29), 3712);
    for (int a : {0, 300, 1023}) EXPECT_EQ(source.velocityX(a, 0), 0);
    EXPECT_EQ(source.rampPixel(128), 0x800505u); // 0x0A0AFF: red 255, green and blue 10
    EXPECT_EQ(source.rampPixel(255), 0xFF0A0Au);

    struct Case {
        bool setMin;
        int min, max, value, expectedMin, expectedMax;
    };
    const Case cases[] = {
        {true, 10, 50, -5, 0, 50},     {true, 10, 50, 60, 49, 50}, {true, 0, 0, 3, 0, 1},
        {false, 10, 50, 900, 10, 575}, {false, 10, 50, 5, 10, 11}, {false, 575, 575, 3, 574, 575},
    };
    for (const Case& c : cases) {
        ParticleSource s(band(c.min, c.max), random);
        const int set = c.setMin ? s.setMinFreq(c.value) : s.setMaxFreq(c.value);
        EXPECT_EQ(s.minFreq(), c.expectedMin) << c.min << "-" << c.max << " set " << c.value;
        EXPECT_EQ(s.maxFreq(), c.expectedMax) << c.min << "-" << c.max << " set " << c.value;
        EXPECT_EQ(set, c.setMin ? c.expectedMin : c.expectedMax);
    }
    ParticleSource reversed(band(700, -3), random);
    EXPECT_EQ(reversed.minFreq(), 0);
    EXPECT_EQ(reversed.maxFreq(), 575);
    SourceSettings loud = newSource;
    loud.sensitivity = 900;
    EXPECT_EQ(ParticleSource(loud, random).sensitivity(), 255);
}

TEST(ParticleSource, QuietBandsAccumulateLoudBandsFire) {
    const FyreParameters p; // stationary, normal type
    ParticleSource equal = makeSource(band(5, 5), {7});
    for (int f = 0; f < 10; ++f) equal.explode(flatSpectrum(255, 255), 64, 64, p);
    EXPECT_EQ(equal.framesAccumulated, 0);
    EXPECT_EQ(aliveCount(equal), 0);

    ParticleSource silent = makeSource(band(10, 20), {7});
    for (int f = 1; f <= 3; ++f) {
        silent.explode(flatSpectrum(0, 0), 64, 64, p);
        EXPECT_EQ(silent.framesAccumulated, f);
    }
    silent.explode(flatSpectrum(0, 0), 64, 64, p);
    EXPECT_EQ(silent.framesAccumulated, 0) << "fires at the 4th frame with n < 1";
    EXPECT_EQ(aliveCount(silent), 0);

    // Band 10..20, left level 200: sums 11 x 100; 1100 / 10 > sensitivity
    // 100. n = 1100 * 100 * 3 / 2560 = 128, life = 180 + 82500 / 2560 = 212.
    // Draws: x, y, then per particle angle, speed, the spare value.
    ParticleSource loud = makeSource(band(10, 20), {70, 33, 1030, 17, 5});
    loud.explode(flatSpectrum(200, 0), 64, 48, p);
    EXPECT_EQ(loud.nextSlot(), 128);
    EXPECT_EQ(aliveCount(loud), 128);
    const Particle& first = loud.particle(0);
    EXPECT_EQ(first.x, (70 % 64) << 8);
    EXPECT_EQ(first.y, (33 % 48) << 8);
    EXPECT_EQ(first.life, 212);
    EXPECT_EQ(first.vx, loud.velocityX(1030 % 1024, 17 % 10));
    EXPECT_EQ(first.vy, loud.velocityY(6, 7));
    EXPECT_EQ(first.ay, p.gravity);
    EXPECT_EQ(first.intensity, 128 << 8);
    // The second particle's draws continue the table: 70, 33 (angle, speed).
    EXPECT_EQ(loud.particle(1).vx, loud.velocityX(70, 33 % 10));
    EXPECT_EQ(loud.sumLeft + loud.sumRight + loud.framesAccumulated, 0);
}

TEST(ParticleSource, BurstKindsStereoAndSlotWrap) {
    FyreParameters rings;
    rings.type = 1;
    ParticleSource ring = makeSource(band(10, 20), {1, 2, 3, 4, 5, 6, 7});
    ring.explode(flatSpectrum(200, 200), 64, 64, rings);
    for (int i = 0; i < ring.nextSlot(); ++i) {
        const Particle& q = ring.particle(i);
        const double speed = std::hypot(double(q.vx), double(q.vy));
        EXPECT_NEAR(speed, 10 * 3840 / 30.0, 2.0) << "every particle at step 10";
    }
    for (int speed : {0, 1}) {
        ParticleSource slow = makeSource(band(10, 20, speed), {1, 2, 3, 4, 5, 6, 7});
        slow.explode(flatSpectrum(200, 200), 64, 64, FyreParameters{});
        ASSERT_GT(slow.nextSlot(), 0);
        EXPECT_EQ(slow.particle(0).vx, 0) << "speed " << speed;
        EXPECT_EQ(slow.particle(0).vy, 0) << "speed " << speed;
    }
    FyreParameters stereo;
    stereo.stereo = true;
    ParticleSource share = makeSource(band(10, 20), {5});
    share.explode(flatSpectrum(200, 100), 90, 64, stereo);
    EXPECT_EQ(share.particle(0).x, (90 * 1100 / 1650) << 8) << "x from the left share";
    EXPECT_EQ(share.particle(0).y, 5 << 8);

    ParticleSource many = makeSource(band(10, 20), {3});
    for (int burst = 0; burst < 8; ++burst)
        many.explode(flatSpectrum(200, 0), 64, 64, FyreParameters{});
    EXPECT_EQ(many.nextSlot(), 8 * 128 - 1000) << "the oldest slots are reused";
}

TEST(ParticleSource, FrequencySprayRestartsOneSlotPerBin) {
    FyreParameters spray;
    spray.type = 2;
    ParticleSource source = makeSource(band(100, 102), {9});
    auto levels = flatSpectrum(0, 0);
    levels[101] = 100 << 8;
    levels[spectrumBins + 101] = 60 << 8;
    levels[100] = 2 << 8; // (4 << 8) >> 6 = 16 below the top: y = 240 x 10
    levels[spectrumBins + 100] = 2 << 8;
    source.explode(levels, 576, 10, spray);
    EXPECT_EQ(aliveCount(source), 0) << "only every second frame";
    source.explode(levels, 576, 10, spray);
    EXPECT_EQ(aliveCount(source), 3);
    EXPECT_EQ(source.framesAccumulated, 0);
    const Particle& p = source.particle(101);
    EXPECT_EQ(p.x, 101 * 256);
    EXPECT_EQ(p.y, 0) << "(160 << 8) >> 6 = 640 is past 256: the top";
    EXPECT_EQ(source.particle(102).y, 256 * 10) << "a silent bin starts at the bottom";
    EXPECT_EQ(source.particle(100).y, 240 * 10);
    EXPECT_EQ(p.life, 255);
    EXPECT_EQ(p.vx, source.velocityX(9, 5));
}

TEST(ParticleSource, UpdateMovesDrawsAndClips) {
    ParticleSource source = makeSource(band(10, 20), {4, 5}); // jitter draws: 4%3-1=0, 5%3-1=1
    FyreParameters p;
    p.fadeRate = 100;
    Canvas canvas(6, 5, 2);
    Particle& q = source.particle(0);
    q = Particle{};
    q.dead = false;
    q.x = 2 << 8;
    q.y = 1 << 8;
    q.intensity = 128 << 8;
    q.vx = 256;
    q.vy = -300;
    q.ay = 76;
    q.life = 200;
    q.jitter = true;
    canvas.inView(2, 1) = 0x00FFF000;
    source.updateAndDraw(canvas.view, p);
    const uint32_t light = source.rampPixel((128 * 200) >> 8); // ramp[100]
    EXPECT_EQ(canvas.inView(3, 2), light) << "a 2 x 2 square";
    EXPECT_EQ(canvas.inView(2, 1), saturatingAdd(0x00FFF000, light));
    EXPECT_EQ(canvas.inView(4, 1), 0u);
    EXPECT_EQ(q.x, (3 << 8) + 0);
    EXPECT_EQ(q.y, (1 << 8) - 300 + 128);
    EXPECT_EQ(q.vy, -300 + 76);
    EXPECT_EQ(q.life, 100);
    source.updateAndDraw(canvas.view, p);
    EXPECT_TRUE(q.dead) << "life 100 with a fade of 100";

    // Air resistance truncates toward zero; negative positions are not drawn.
    p.airResistance = true;
    q = Particle{};
    q.dead = false;
    q.x = -1;
    q.y = 0;
    q.intensity = 128 << 8;
    q.vx = -257;
    q.vy = 256;
    q.life = 255;
    Canvas dark(6, 5, 2);
    source.updateAndDraw(dark.view, p);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(dark.inView(x, y), 0u);
    EXPECT_EQ(q.vx, -257 * 110 / 128);
    EXPECT_EQ(q.vy, 220);

    // A square at the image's corner stops one pixel short of its edge.
    source.particleSize = 5;
    q = Particle{};
    q.dead = false;
    q.x = 5 << 8;
    q.y = 4 << 8;
    q.intensity = 128 << 8;
    q.life = 255;
    Canvas corner(6, 5, 2);
    source.updateAndDraw(corner.view, p);
    // The view's corner (5, 4) is image pixel (7, 6) of a 10 x 9 image.
    EXPECT_NE(corner.at(8, 7), test::canary);
    EXPECT_EQ(corner.at(9, 7), test::canary) << "the image's last column";
    EXPECT_EQ(corner.at(8, 8), test::canary) << "the image's last row";
}

class FyreEffectTest : public testing::Test, public test::StoreFixture {};

TEST_F(FyreEffectTest, SettingsSourcesAndPresets) {
    {
        FyreEffect effect(context);
        ASSERT_EQ(effect.sourceCount(), 3) << "three default sources on a first run";
        EXPECT_EQ(effect.source(0).name(), "Bass");
        EXPECT_EQ(effect.source(2).maxFreq(), 456);
        EXPECT_EQ(effect.source(1).color(), 0xFF6C86);
        SourceSettings named = newSource;
        named.name = std::string(120, 'n');
        ASSERT_TRUE(effect.addSource(named));
        EXPECT_EQ(effect.source(3).name().size(), 87u);
    }
    FyreEffect effect(context);
    EXPECT_EQ(effect.sourceCount(), 4) << "the store keeps what the destructor saved";
    while (effect.addSource(newSource)) {
    }
    EXPECT_EQ(effect.sourceCount(), FyreEffect::maxSources);

    const std::string empty = writePreset("empty", "[VedozadI]\nNumParticles=0\nGravityRate=900\n"
                                                   "FadeRate=-4\nType=7\n");
    effect.loadSettings(empty.c_str());
    EXPECT_EQ(effect.sourceCount(), 0) << "a preset may hold no sources";
    EXPECT_EQ(effect.gravityRate, 512);
    EXPECT_EQ(effect.fadeRate, 0);
    EXPECT_EQ(effect.type, 2);
    Canvas canvas(32, 32);
    effect.render(flatSpectrum(200, 200), canvas.view);

    ASSERT_TRUE(effect.addSource(defaultSources[0]));
    effect.source(0).particleSize = 4;
    const std::string other = writePreset("other", "[ZirarovoZ]\nNumParticles=0\n");
    effect.loadSettings(other.c_str());
    EXPECT_EQ(effect.sourceCount(), 1) << "a preset for another effect changes nothing";

    const std::string wild = writePreset("wild", "[VedozadI]\nNumParticles=30\n"
                                                 "Sensitivity_1=999\nParticleSize_1=0\n"
                                                 "PPE_1=5000\nSpeed_1=-1\nMinFreq_1=900\n"
                                                 "MaxFreq_1=-9\nName_1=\n");
    effect.loadSettings(wild.c_str());
    ASSERT_EQ(effect.sourceCount(), 20);
    EXPECT_EQ(effect.source(0).sensitivity(), 200);
    EXPECT_EQ(effect.source(0).particleSize, 1);
    EXPECT_EQ(effect.source(0).particlesPerBurst, 400);
    EXPECT_EQ(effect.source(0).speed, 0);
    EXPECT_EQ(effect.source(0).minFreq(), 0);
    EXPECT_EQ(effect.source(0).maxFreq(), 575);
    EXPECT_EQ(effect.source(0).name(), "Unnamed");

    const std::string saved = presetPath("saved");
    effect.deleteSource(0);
    effect.source(0).setName("Kick");
    effect.source(0).setColor(0x123456);
    effect.saveSettings(saved.c_str());
    FyreEffect loaded(context);
    loaded.loadSettings(saved.c_str());
    ASSERT_EQ(loaded.sourceCount(), 19);
    EXPECT_EQ(loaded.source(0).name(), "Kick");
    EXPECT_EQ(loaded.source(0).color(), 0x123456);
}

TEST_F(FyreEffectTest, RendersInsideTheImageForRandomSettings) {
    std::mt19937 rng(11);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    FyreEffect effect(context);
    for (int round = 0; round < 120; ++round) {
        effect.type = pick(0, 2);
        effect.stereoMode = pick(0, 1);
        effect.stationary = pick(0, 1);
        effect.jitter = pick(0, 1);
        effect.airResistance = pick(0, 1);
        effect.gravityRate = pick(0, 512);
        effect.fadeRate = pick(0, 32);
        for (int i = 0; i < effect.sourceCount(); ++i) effect.source(i).particleSize = pick(1, 5);
        const int w = round < 64 ? round % 8 + 1 : pick(1, 120);
        const int h = round < 64 ? round / 8 + 1 : pick(1, 90);
        Canvas canvas(w, h, 6);
        test::SpectrumRows levels{};
        for (uint32_t& v : levels) v = uint32_t(pick(0, 65280));
        for (int f = 0; f < 6; ++f) effect.render(levels, canvas.view);
        // Squares start inside the view and may pass its right and bottom
        // edges by their size less one, never its left or top.
        canvas.expectCanariesKept(4, 4);
        if (HasFatalFailure()) return;
    }
}

} // namespace
} // namespace sabrith

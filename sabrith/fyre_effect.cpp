#include "sabrith/fyre_effect.h"

#include <cmath>
#include <cstdlib>
#include <new>

namespace sabrith {

const SourceSettings defaultSources[3] = {
    {"Bass", 0x1496FF, 6, 72, 100, 3, 184, 10},
    {"MidRange", 0xFF6C86, 46, 105, 100, 2, 183, 20},
    {"Treble", 0x3CF014, 106, 456, 100, 2, 182, 30},
};

const SourceSettings newSource{"New Source", 0x0A0AFF, 1, 50, 100, 2, 100, 10};

namespace {

// Positions and velocities wrap at 32 bits instead of overflowing: immortal
// particles under full gravity pass the range after some thousand frames.
int32_t wrapAdd(int32_t a, int32_t b) {
    return int32_t(uint32_t(a) + uint32_t(b));
}

// The angle constant is the float nearest 3.14128, not pi, so the table
// reaches velocityX[512][29] = 1 rather than 0.
constexpr double angleScale = 3.1412789821624756 / 512;

} // namespace

ParticleSource::ParticleSource(const SourceSettings& s, RandomSource& random)
    : particleSize(s.particleSize), particlesPerBurst(s.particlesPerBurst), speed(s.speed),
      velocityX_(std::size_t(angleSteps * speedSteps)),
      velocityY_(std::size_t(angleSteps * speedSteps)), particles_(particleCount) {
    minFreq_ = std::clamp(s.minFreq, 0, maxBin);
    maxFreq_ = std::clamp(s.maxFreq, 0, maxBin);
    if (minFreq_ > maxFreq_) std::swap(minFreq_, maxFreq_);
    setSensitivity(s.sensitivity);
    // Sources start on different frames.
    framesAccumulated = random.next() % 4;
    setName(s.name);
    for (int a = 0; a < angleSteps; ++a) {
        const double theta = a * angleScale;
        for (int m = 0; m < speedSteps; ++m) {
            const std::size_t i = std::size_t(a * speedSteps + m);
            velocityX_[i] = int32_t(std::trunc(m * 3840.0 * std::sin(theta) * (1.0 / 30)));
            velocityY_[i] = int32_t(std::trunc(m * 3840.0 * std::cos(theta) * (1.0 / 30)));
        }
    }
    for (int& value : randomValues_) value = random.next();
    setColor(s.color);
}

void ParticleSource::setColor(int color) {
    color_ = color;
    const uint32_t r = uint32_t(color) & 0xFF, g = (uint32_t(color) >> 8) & 0xFF,
                   b = (uint32_t(color) >> 16) & 0xFF;
    for (uint32_t i = 0; i < 256; ++i)
        ramp_[i] = (r * i / 255) << 16 | (g * i / 255) << 8 | (b * i / 255);
}

int ParticleSource::setMinFreq(int value) {
    value = std::max(value, 0);
    if (value < maxFreq_)
        minFreq_ = value;
    else if (maxFreq_ < 1)
        minFreq_ = 0, maxFreq_ = 1;
    else
        minFreq_ = maxFreq_ - 1;
    return minFreq_;
}

int ParticleSource::setMaxFreq(int value) {
    value = std::min(value, maxBin);
    if (value > minFreq_)
        maxFreq_ = value;
    else if (minFreq_ >= maxBin)
        minFreq_ = maxBin - 1, maxFreq_ = maxBin;
    else
        maxFreq_ = minFreq_ + 1;
    return maxFreq_;
}

int ParticleSource::draw() {
    const int value = randomValues_[std::size_t(randomIndex_)];
    randomIndex_ = (randomIndex_ + 1) % randomCount;
    return value;
}

void ParticleSource::drift(const FyreParameters& p, int& dvx, int& dvy) {
    dvx = dvy = 0;
    if (p.stationary) return;
    dvx = (draw() % 7 - 3) * 256;
    dvy = (draw() % 7 - 3) * 256;
}

void ParticleSource::startParticle(Particle& particle, int32_t x, int32_t y, int life, int angle,
                                   int step, int dvx, int dvy, const FyreParameters& p) {
    particle.x = x;
    particle.y = y;
    particle.intensity = 128 << 8;
    particle.life = uint8_t(life);
    particle.vx = velocityX(angle, step) + dvx;
    particle.vy = velocityY(angle, step) + dvy;
    draw(); // the intensity change, which is always 0
    particle.dIntensity = 0;
    particle.ax = 0;
    particle.ay = p.gravity;
    particle.ddIntensity = 0;
    particle.jitter = p.jitter;
    particle.dead = false;
}

void ParticleSource::explode(Spectrum spectrum, int width, int height, const FyreParameters& p) {
    if (maxFreq_ == minFreq_ || width < 1 || height < 1) return;
    ++framesAccumulated;
    if (p.type == 2) {
        spray(spectrum, width, height, p);
        return;
    }
    for (int b = minFreq_; b <= maxFreq_; ++b) {
        sumLeft += int(spectrum[std::size_t(b)] >> 9);
        sumRight += int(spectrum[std::size_t(spectrumBins + b)] >> 9);
    }
    const int64_t total = int64_t(sumLeft) + sumRight;
    const int64_t weight = int64_t(maxFreq_ - minFreq_) * framesAccumulated;
    if (total / weight <= sensitivity_ && framesAccumulated < 4) return;

    const int32_t x =
        p.stereo && total >= 1 ? int32_t(width * sumLeft / total) << 8 : (draw() % width) << 8;
    const int32_t y = (draw() % height) << 8;
    int dvx, dvy;
    drift(p, dvx, dvy);
    const int m = std::clamp(speed, 1, 29);
    const int64_t n = std::min<int64_t>(300, total * particlesPerBurst * 3 / (weight * 256));
    if (n >= 1) {
        const int life = int(std::min<int64_t>(255, 180 + total * 75 / (weight * 256)));
        for (int64_t i = 0; i < n; ++i) {
            const int angle = std::abs(draw()) % angleSteps;
            const int step = p.type == 0 ? draw() % m : m;
            Particle& particle = particles_[std::size_t(nextSlot_)];
            nextSlot_ = (nextSlot_ + 1) % particleCount;
            startParticle(particle, x, y, life, angle, step, dvx, dvy, p);
        }
    }
    sumLeft = sumRight = framesAccumulated = 0;
}

void ParticleSource::spray(Spectrum spectrum, int width, int height, const FyreParameters& p) {
    if (framesAccumulated < 2) return;
    framesAccumulated = 0;
    for (int b = minFreq_; b <= maxFreq_; ++b) {
        int dvx, dvy;
        drift(p, dvx, dvy);
        const int angle = std::abs(draw()) % angleSteps;
        const int64_t loudness =
            (int64_t(spectrum[std::size_t(b)]) + spectrum[std::size_t(spectrumBins + b)]) >> 6;
        // Louder bins start higher.
        const int64_t y = std::max<int64_t>(0, (256 - loudness) * height);
        const int64_t x = int64_t(b) * width * 256 / spectrumBins;
        startParticle(particles_[std::size_t(b)], int32_t(x),
                      int32_t(std::min<int64_t>(y, INT32_MAX)), 255, angle, 5, dvx, dvy, p);
    }
}

void ParticleSource::updateAndDraw(const FrameView& view, const FyreParameters& p) {
    for (Particle& particle : particles_) {
        if (particle.dead) continue;
        const int brightness = (std::min(255, particle.intensity >> 8) * particle.life) >> 8;
        const int px = particle.x >> 8, py = particle.y >> 8;
        if (px >= 0 && px < view.width && py >= 0 && py < view.height && brightness > 0) {
            // The square may pass the view's edge but never the image's.
            const int left = view.x + px, top = view.y + py;
            const int right = std::min(left + particleSize, view.imageWidth - 1);
            const int bottom = std::min(top + particleSize, view.imageHeight - 1);
            const uint32_t colour = ramp_[std::size_t(std::min(brightness, 255))];
            for (int yy = top; yy < bottom; ++yy) {
                uint32_t* row = view.pixels + std::size_t(yy) * std::size_t(view.imageWidth);
                for (int xx = left; xx < right; ++xx) row[xx] = saturatingAdd(row[xx], colour);
            }
        }
        particle.x = wrapAdd(particle.x, particle.vx);
        particle.y = wrapAdd(particle.y, particle.vy);
        particle.intensity = wrapAdd(particle.intensity, particle.dIntensity);
        particle.vx = wrapAdd(particle.vx, particle.ax);
        particle.vy = wrapAdd(particle.vy, particle.ay);
        particle.dIntensity = wrapAdd(particle.dIntensity, particle.ddIntensity);
        if (p.airResistance) {
            particle.vx = int32_t(int64_t(particle.vx) * 110 / 128);
            particle.vy = int32_t(int64_t(particle.vy) * 110 / 128);
        }
        if (particle.jitter) {
            particle.x = wrapAdd(particle.x, (draw() % 3 - 1) * 128);
            particle.y = wrapAdd(particle.y, (draw() % 3 - 1) * 128);
        }
        if (particle.life > p.fadeRate) {
            particle.life = uint8_t(particle.life - p.fadeRate);
        } else {
            particle.life = 0;
            particle.dead = true;
        }
    }
}

namespace {

using Key = IntKey<FyreEffect>;

constexpr Key generalKeys[] = {
    {"Blur", 0, &FyreEffect::blur, 1, 0, 1},
    {"Fade", 0, &FyreEffect::fade, 80, 0, 130},
    {"DropOff", 0, &FyreEffect::dropOff, 1600, 0, 2000},
    {"FadeRate", 0, &FyreEffect::fadeRate, 6, 0, 32},
    {"GravityRate", 0, &FyreEffect::gravityRate, 204, 0, 512},
    {"Jitter", 0, &FyreEffect::jitter, 1, 0, 1},
    {"Stationary", 0, &FyreEffect::stationary, 1, 0, 1},
    {"AirResistance", 0, &FyreEffect::airResistance, 0, 0, 1},
    {"StereoMode", 0, &FyreEffect::stereoMode, 0, 0, 1},
    {"Type", 0, &FyreEffect::type, 0, 0, 2},
    {"NumParticles", 0, &FyreEffect::numParticles, 0, 0, FyreEffect::maxSources},
};

} // namespace

FyreEffect::FyreEffect(EffectContext context) : Effect(context) {
    pageTarget<FyreEffect> = nullptr;
    loadSettings(nullptr);
}

FyreEffect::~FyreEffect() {
    forgetPageTarget(this);
    saveSettings(nullptr);
}

FyreParameters FyreEffect::parameters() const {
    return {gravityRate - 128, jitter != 0,       stationary != 0, stereoMode != 0, type,
            fadeRate,          airResistance != 0};
}

bool FyreEffect::addSource(const SourceSettings& settings) {
    if (sourceCount() >= maxSources) return false;
    try {
        sources_.push_back(std::make_unique<ParticleSource>(settings, *context_.random));
    } catch (const std::bad_alloc&) {
        return false; // a source that cannot be made is not added
    }
    numParticles = sourceCount();
    return true;
}

void FyreEffect::deleteSource(int index) {
    if (index < 0 || index >= sourceCount()) return;
    sources_.erase(sources_.begin() + index);
    numParticles = sourceCount();
}

void FyreEffect::loadSettings(const char* file) {
    SettingsStore& store = context_.store;
    if (file && !store.sectionExists(file, section)) return;
    readKeys<FyreEffect>(store, file, section, generalKeys, *this);
    const int stored = numParticles;
    sources_.clear();
    for (int i = 1; i <= stored; ++i) {
        SourceSettings s;
        s.name = store.readString(file, section, "Name", 256, "Unnamed", i);
        store.readInt(file, section, "Sensitivity", s.sensitivity, 100, 0, 200, i);
        store.readInt(file, section, "ParticleSize", s.particleSize, 2, 1, 5, i);
        store.readInt(file, section, "PPE", s.particlesPerBurst, 100, 10, 400, i);
        store.readInt(file, section, "Speed", s.speed, 10, 0, 30, i);
        store.readInt(file, section, "MinFreq", s.minFreq, 1, 0, maxBin, i);
        store.readInt(file, section, "MaxFreq", s.maxFreq, 50, 0, maxBin, i);
        store.readInt(file, section, "Color", s.color, 0x0A0AFF, 0, 0xFFFFFF, i);
        addSource(s);
    }
    // The user's settings always have sources; a preset may have none.
    if (!file && stored == 0)
        for (const SourceSettings& s : defaultSources) addSource(s);
    numParticles = sourceCount();
}

void FyreEffect::saveSettings(const char* file) {
    SettingsStore& store = context_.store;
    numParticles = sourceCount();
    writeKeys<FyreEffect>(store, file, section, generalKeys, *this);
    for (int i = 1; i <= sourceCount(); ++i) {
        const ParticleSource& s = *sources_[std::size_t(i - 1)];
        store.writeString(file, section, "Name", s.name().c_str(), i);
        store.writeInt(file, section, "Sensitivity", s.sensitivity(), i);
        store.writeInt(file, section, "ParticleSize", s.particleSize, i);
        store.writeInt(file, section, "PPE", s.particlesPerBurst, i);
        store.writeInt(file, section, "Speed", s.speed, i);
        store.writeInt(file, section, "MinFreq", s.minFreq(), i);
        store.writeInt(file, section, "MaxFreq", s.maxFreq(), i);
        store.writeInt(file, section, "Color", s.color(), i);
    }
}

void FyreEffect::render(Spectrum spectrum, const FrameView& view) {
    if (view.width < 1 || view.height < 1) return;
    const FyreParameters p = parameters();
    for (auto& source : sources_) {
        source->explode(spectrum, view.width, view.height, p);
        source->updateAndDraw(view, p);
    }
}

} // namespace sabrith

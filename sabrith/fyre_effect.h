// Particle fountains: up to 20 sources, each watching its own band of the
// spectrum and throwing bursts of glowing particles that fly outward, fall
// under a common gravity and fade out.
//
// The source list is changed only between frames: the frame loop runs list
// changes (New, Delete, a settings or preset load) on its own thread, so a
// frame never meets a source being created or deleted.
#pragma once

#include "sabrith/effect.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

namespace sabrith {

struct Particle {
    int32_t x = 0, y = 0; // pixels with 8 fraction bits, from the view's origin
    int32_t intensity = 0;
    int32_t vx = 0, vy = 0, dIntensity = 0;
    int32_t ax = 0, ay = 0, ddIntensity = 0;
    uint8_t life = 0;
    bool jitter = false;
    bool dead = true;
};

struct SourceSettings {
    std::string name = "Unnamed";
    int color = 0x0A0AFF; // 0x00BBGGRR
    int minFreq = 1;
    int maxFreq = 50;
    int sensitivity = 100;
    int particleSize = 2;
    int particlesPerBurst = 100;
    int speed = 10;
};

// What a burst and a frame's movement depend on, from the effect.
struct FyreParameters {
    int gravity = 204 - 128;
    bool jitter = true;
    bool stationary = true;
    bool stereo = false;
    int type = 0; // 0 normal, 1 rings, 2 frequency spray
    int fadeRate = 6;
    bool airResistance = false;
};

class ParticleSource {
public:
    static constexpr int particleCount = 1000;
    static constexpr int randomCount = 2000;
    static constexpr int angleSteps = 1024;
    static constexpr int speedSteps = 30;
    static constexpr std::size_t nameLength = 87;

    ParticleSource(const SourceSettings& settings, RandomSource& random);

    void explode(Spectrum spectrum, int width, int height, const FyreParameters& p);
    void updateAndDraw(const FrameView& view, const FyreParameters& p);

    const std::string& name() const { return name_; }
    void setName(const std::string& name) { name_ = name.substr(0, nameLength); }
    int color() const { return color_; }
    void setColor(int color);
    int minFreq() const { return minFreq_; }
    int maxFreq() const { return maxFreq_; }
    int setMinFreq(int value);
    int setMaxFreq(int value);
    int sensitivity() const { return sensitivity_; }
    void setSensitivity(int value) { sensitivity_ = std::min(value, 255); }
    int particleSize = 2;
    int particlesPerBurst = 100;
    int speed = 10;

    int32_t velocityX(int angle, int step) const {
        return velocityX_[std::size_t(angle * speedSteps + step)];
    }
    int32_t velocityY(int angle, int step) const {
        return velocityY_[std::size_t(angle * speedSteps + step)];
    }
    uint32_t rampPixel(int brightness) const { return ramp_[std::size_t(brightness)]; }
    const Particle& particle(int slot) const { return particles_[std::size_t(slot)]; }
    Particle& particle(int slot) { return particles_[std::size_t(slot)]; }
    int nextSlot() const { return nextSlot_; }
    int framesAccumulated = 0;
    int sumLeft = 0;
    int sumRight = 0;

private:
    int draw();
    void startParticle(Particle& particle, int32_t x, int32_t y, int life, int angle, int step,
                       int dvx, int dvy, const FyreParameters& p);
    void drift(const FyreParameters& p, int& dvx, int& dvy);
    void spray(Spectrum spectrum, int width, int height, const FyreParameters& p);

    std::string name_;
    int color_ = 0;
    int minFreq_ = 0;
    int maxFreq_ = 0;
    int sensitivity_ = 0;
    std::vector<int32_t> velocityX_;
    std::vector<int32_t> velocityY_;
    std::vector<Particle> particles_;
    int nextSlot_ = 0;
    std::array<int, randomCount> randomValues_{};
    int randomIndex_ = 0;
    std::array<uint32_t, 256> ramp_{};
};

class FyreEffect final : public Effect {
public:
    static constexpr const char* section = "VedozadI";
    static constexpr int maxSources = 20;

    // context.random must be set: sources draw their tables from it.
    explicit FyreEffect(EffectContext context);
    ~FyreEffect() override;

    void render(Spectrum spectrum, const FrameView& view) override;
    void loadSettings(const char* file) override;
    void saveSettings(const char* file) override;

    // List changes, to be run between frames. addSource gives false at the limit.
    bool addSource(const SourceSettings& settings);
    void deleteSource(int index);
    int sourceCount() const { return int(sources_.size()); }
    ParticleSource& source(int index) { return *sources_[std::size_t(index)]; }
    FyreParameters parameters() const;

    int fadeRate = 6;
    int gravityRate = 204;
    int jitter = 1;
    int stationary = 1;
    int airResistance = 0;
    int stereoMode = 0;
    int type = 0;
    int numParticles = 0; // read and written with the sources

private:
    std::vector<std::unique_ptr<ParticleSource>> sources_;
};

extern const SourceSettings defaultSources[3];
extern const SourceSettings newSource;

} // namespace sabrith

#pragma once

#include "shell/image_array.h"

#include <array>
#include <cstdint>
#include <memory>

// Random numbers for the splash, replaceable so tests can script them.
class SplashRandom {
public:
    virtual ~SplashRandom() = default;
    // An integer in 0 … n − 1; only ever asked with n > 0.
    virtual int below(int n) = 0;
    // A real in [0, 1).
    virtual double real() = 0;
};

// Seeded from the clock.
std::unique_ptr<SplashRandom> clockSeededRandom();

struct SplashSprite {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t depth = 0;
    std::int32_t dx = 0;
    std::int32_t dy = 0;
    std::int32_t ddepth = 0;
    float angle = 0;
    float spin = 0;
    float scale = 0;
    bool mirrored = false;
};

// Five copies of a sprite drifting over a background, bouncing off its
// edges, nearing and spinning. Each tick erases the squares the sprites
// covered, moves them and draws them into the work image.
class SplashAnimation {
public:
    static constexpr int spriteCount = 5;

    // random must outlive the animation.
    SplashAnimation(RgbBitmap background, const RgbBitmap& sprite, SplashRandom& random);

    // Erases, moves and draws every sprite. With draw false the sprites only
    // move (the window is hidden); redraw() catches the picture up.
    void tick(bool draw = true);
    // The background with every sprite drawn where it is now.
    void redraw();

    const RgbBitmap& work() const { return work_; }
    const RgbBitmap& background() const { return background_; }
    const TImageArray& picture() const { return picture_; }
    std::array<SplashSprite, spriteCount>& sprites() { return sprites_; }
    int radius(float scale) const;

private:
    int random(int n); // 0 for an empty range: the generator is never asked
    float newSpin();
    void erase(const SplashSprite& s);
    void draw(const SplashSprite& s);

    SplashRandom& random_;
    RgbBitmap background_;
    RgbBitmap work_;
    RgbBitmap scratch_;
    TImageArray picture_;
    int bgW_ = 0;
    int bgH_ = 0;
    int spriteW_ = 0;
    int spriteH_ = 0;
    std::array<SplashSprite, spriteCount> sprites_;
};

#include "shell/splash_animation.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <random>
#include <utility>

namespace {

constexpr double twoPi = 2 * 3.14159265358979323846;

class ClockRandom final : public SplashRandom {
public:
    ClockRandom()
        : engine_(std::uint32_t(std::chrono::system_clock::now().time_since_epoch().count()))
    { }
    int below(int n) override { return std::uniform_int_distribution<int>(0, n - 1)(engine_); }
    double real() override { return std::uniform_real_distribution<double>(0.0, 1.0)(engine_); }

private:
    std::mt19937 engine_;
};

int sign(SplashRandom& r) { return r.below(2) * 2 - 1; }

} // namespace

std::unique_ptr<SplashRandom> clockSeededRandom() { return std::make_unique<ClockRandom>(); }

SplashAnimation::SplashAnimation(RgbBitmap background, const RgbBitmap& sprite, SplashRandom& random)
    : random_(random)
    , background_(std::move(background))
{
    picture_.LoadBitmap(sprite);
    bgW_ = background_.width;
    bgH_ = background_.height;
    spriteW_ = sprite.width;
    spriteH_ = sprite.height;
    for (int i = 0; i < spriteCount; ++i) {
        SplashSprite& s = sprites_[std::size_t(i)];
        s.x = spriteW_ + this->random(bgW_ - 2 * spriteW_);
        s.y = spriteH_ + this->random(bgH_ - 2 * spriteH_);
        s.depth = 50 + this->random(bgH_ - 50);
        s.dx = (i + 1) * sign(random_);
        s.dy = (i + 1) * sign(random_);
        s.ddepth = (i + 1) * sign(random_);
        s.angle = float(random_.real() * twoPi);
        s.spin = newSpin();
        s.scale = float(i + 1) / 4;
        s.mirrored = i % 2 == 0;
    }
    work_ = background_;
}

int SplashAnimation::random(int n) { return n > 0 ? random_.below(n) : 0; }

float SplashAnimation::newSpin() { return float(random_.real() * 0.4 - 0.2); }

int SplashAnimation::radius(float scale) const
{
    return int(std::sqrt(double(spriteH_) * spriteH_ + double(spriteW_) * spriteW_) * scale / 2);
}

void SplashAnimation::erase(const SplashSprite& s)
{
    const int r = radius(s.scale);
    if (r == 0)
        return;
    // Sprites reach beyond the picture's edges; only what is inside is
    // restored.
    const int left = std::max(s.x - r, 0);
    const int right = std::min(s.x + r, bgW_);
    const int top = std::max(s.y - r, 0);
    const int bottom = std::min(s.y + r, bgH_);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            work_.at(x, y) = background_.at(x, y);
}

void SplashAnimation::draw(const SplashSprite& s)
{
    if (radius(s.scale) == 0)
        return;
    const TImageArray::Point pivot = picture_.DrawRotated(
        scratch_, { spriteW_ / 2, spriteH_ / 2 }, s.mirrored, s.scale, s.angle);
    const int left = s.x - pivot.x;
    const int top = s.y - pivot.y;
    const std::uint32_t clear = picture_.transparentColour();
    const int fromX = std::max(0, -left);
    const int toX = std::min(scratch_.width, bgW_ - left);
    const int fromY = std::max(0, -top);
    const int toY = std::min(scratch_.height, bgH_ - top);
    for (int y = fromY; y < toY; ++y) {
        const std::uint32_t* src = scratch_.pixels.data() + std::size_t(y) * std::size_t(scratch_.width);
        std::uint32_t* dst = work_.pixels.data() + std::size_t(top + y) * std::size_t(bgW_) + left;
        for (int x = fromX; x < toX; ++x)
            if (src[x] != clear)
                dst[x] = src[x];
    }
}

void SplashAnimation::tick(bool drawn)
{
    if (drawn)
        for (const SplashSprite& s : sprites_)
            erase(s);
    for (SplashSprite& s : sprites_) {
        s.scale = 100.0f / float(s.depth);
        const int r = radius(s.scale);

        s.x += s.dx;
        if (s.x > bgW_ - r + 8) {
            s.dx = -s.dx;
            s.spin = newSpin();
            s.x = bgW_ - r + 8;
        }
        if (s.x < r - 8) {
            s.dx = -s.dx;
            s.spin = newSpin();
            s.x = r - 8;
        }
        s.y += s.dy;
        if (s.y > bgH_ - r + 8) {
            s.dy = -s.dy;
            s.spin = newSpin();
            s.y = bgH_ - r + 8;
        }
        if (s.y < r - 8) {
            s.dy = -s.dy;
            s.spin = newSpin();
            s.y = r - 8;
        }
        s.depth += s.ddepth;
        if (s.depth > bgH_ || s.depth < 50) {
            s.ddepth = -s.ddepth;
            s.spin = newSpin();
        }
        s.angle += s.spin;
        if (s.angle > twoPi)
            s.angle = float(s.angle - twoPi);
        if (s.angle < 0)
            s.angle = float(s.angle + twoPi);

        if (drawn)
            draw(s);
    }
}

void SplashAnimation::redraw()
{
    work_ = background_;
    for (const SplashSprite& s : sprites_)
        draw(s);
}

#include "shell/image_array.h"

#include <cfenv>
#include <cmath>
#include <cstdlib>

void RgbBitmap::resize(int w, int h, std::uint32_t fill)
{
    width = w < 0 ? 0 : w;
    height = h < 0 ? 0 : h;
    pixels.assign(std::size_t(width) * std::size_t(height), fill);
}

void TImageArray::setHeight(int h)
{
    if (h == height_)
        return;
    height_ = h;
    for (auto& column : columns_)
        column.resize(std::size_t(h));
}

void TImageArray::setWidth(int w)
{
    if (w == width_)
        return;
    width_ = w;
    columns_.resize(std::size_t(w), std::vector<std::uint32_t>(std::size_t(height_)));
}

void TImageArray::LoadBitmap(const RgbBitmap& bitmap)
{
    setWidth(bitmap.width);
    setHeight(bitmap.height);
    transparent_ = isEmpty() ? 0xFF000000u : bitmap.at(0, bitmap.height - 1);
    for (int r = 0; r < height_; ++r)
        for (int c = 0; c < width_; ++c)
            columns_[std::size_t(c)][std::size_t(r)] = bitmap.at(c, r);
}

int TImageArray::nearest(double v)
{
    // The default rounding mode rounds halves to even.
    return int(std::nearbyint(v));
}

TImageArray::Point TImageArray::DrawRotated(
    RgbBitmap& target, Point /*pivot*/, bool mirrored, float scale, float angle) const
{
    const int W = width_;
    const int H = height_;
    if (isEmpty()) {
        target.resize(0, 0);
        return {};
    }
    const float sinA = std::sin(angle);
    const float cosA = std::cos(angle);
    const float k = 1.0f / scale;
    const double s = scale;
    const int outW = std::abs(nearest(s * H * sinA)) + std::abs(nearest(s * W * cosA));
    const int outH = std::abs(nearest(s * W * sinA)) + std::abs(nearest(s * H * cosA));
    target.resize(outW, outH);
    const std::uint32_t background = columns_[0][std::size_t(H - 1)];

    if (angle != 0.0f) {
        for (int y = 0; y < outH; ++y) {
            std::uint32_t* line = target.pixels.data() + std::size_t(y) * std::size_t(outW);
            const int hy = 2 * y - outH + 1;
            for (int x = outW - 1; x >= 0; --x) {
                const int hx = 2 * x - (outW - 1);
                // Integer division truncates toward zero, as the picture's
                // old arithmetic did: -1 div 2 is 0.
                int sc = (W + nearest(double(k) * (double(cosA) * hx - double(sinA) * hy)) - 1) / 2;
                const int sr = (H + nearest(double(k) * (double(sinA) * hx + double(cosA) * hy)) - 1) / 2;
                if (mirrored)
                    sc = W - sc - 1;
                line[x] = (sc < 0 || sc >= W || sr < 0 || sr >= H) ? background
                                                                   : columns_[std::size_t(sc)][std::size_t(sr)];
            }
        }
    } else {
        for (int y = 0; y < outH; ++y) {
            std::uint32_t* line = target.pixels.data() + std::size_t(y) * std::size_t(outW);
            const int sr = int(k * float(y));
            for (int x = outW - 1; x >= 0; --x) {
                int sc = int(k * float(x));
                if (mirrored)
                    sc = W - sc - 1;
                // Rounding can put the last column one step past the
                // picture; it reads as background instead of past the end.
                line[x] = (sc < 0 || sc >= W || sr < 0 || sr >= H) ? background
                                                                   : columns_[std::size_t(sc)][std::size_t(sr)];
            }
        }
    }
    return { outW / 2, outH / 2 };
}

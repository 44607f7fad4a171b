#pragma once

#include <cstdint>
#include <vector>

// A plain picture, row by row, one 0xAARRGGBB value per pixel (alpha kept
// at 0xFF, so a QImage in Format_RGB32 can show it without a copy).
struct RgbBitmap {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    RgbBitmap() = default;
    RgbBitmap(int w, int h, std::uint32_t fill = 0xFF000000u) { resize(w, h, fill); }
    void resize(int w, int h, std::uint32_t fill = 0xFF000000u);
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    std::uint32_t& at(int x, int y) { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    bool contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// Sprite picture held column by column, so a rotated lookup reads one
// column array and no bitmap. The transparent colour is the picture's
// bottom-left pixel.
class TImageArray {
public:
    int width() const { return width_; }
    int height() const { return height_; }
    std::uint32_t transparentColour() const { return transparent_; }
    bool isEmpty() const { return width_ == 0 || height_ == 0; }
    std::uint32_t pixel(int column, int row) const { return columns_[std::size_t(column)][std::size_t(row)]; }

    void setHeight(int h);
    void setWidth(int w);
    void LoadBitmap(const RgbBitmap& bitmap);

    // Renders the picture rotated by angle and scaled by scale into target,
    // which is resized to fit; returns the pivot's position in target (the
    // centre's: the only pivot used). Where the rotated picture does not
    // reach, target gets the transparent colour.
    struct Point {
        int x = 0;
        int y = 0;
    };
    Point DrawRotated(RgbBitmap& target, Point pivot, bool mirrored, float scale, float angle) const;

    // Banker's rounding, as the drawing's arithmetic needs it.
    static int nearest(double v);

private:
    int width_ = 0;
    int height_ = 0;
    std::uint32_t transparent_ = 0xFF000000u;
    std::vector<std::vector<std::uint32_t>> columns_;
};

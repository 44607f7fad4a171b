#include "shell/image_array.h"
#include "shell/splash_animation.h"

#include <QList>
#include <QtTest>

#include <cmath>

namespace {

constexpr float pi = 3.14159265358979323846f;
constexpr std::uint32_t key = 0xFFFF00FFu; // magenta, the sprite's transparent colour

// Answers from lists (then fixed values) and remembers every range asked.
class ScriptedRandom final : public SplashRandom {
public:
    int below(int n) override
    {
        ranges << n;
        return integers.isEmpty() ? 0 : integers.takeFirst();
    }
    double real() override
    {
        ++reals;
        return fractions.isEmpty() ? 0.5 : fractions.takeFirst();
    }
    QList<int> integers;
    QList<double> fractions;
    QList<int> ranges;
    int reals = 0;
};

// A picture whose every pixel tells where it came from: 0xFF00ccrr.
RgbBitmap numbered(int w, int h)
{
    RgbBitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.at(x, y) = 0xFF000000u | std::uint32_t(x << 8 | y);
    return b;
}

// A filled square sprite with the key colour in its bottom-left corner.
RgbBitmap solidSprite(int size, std::uint32_t colour)
{
    RgbBitmap b(size, size, colour);
    b.at(0, size - 1) = key;
    return b;
}

TImageArray loaded(const RgbBitmap& b)
{
    TImageArray a;
    a.LoadBitmap(b);
    return a;
}

// Sprites that stay where they are and never bounce, so a test moves only
// the one it looks at.
void park(SplashAnimation& a, int x, int y, int depth)
{
    for (SplashSprite& s : a.sprites()) {
        s.x = x;
        s.y = y;
        s.depth = depth;
        s.dx = s.dy = s.ddepth = 0;
        s.spin = 0;
        s.angle = 0;
    }
}

} // namespace

class TestSplashAnimation : public QObject {
    Q_OBJECT
private slots:
    void rotatedSizes_data();
    void rotatedSizes();
    void quarterTurnMovesPixels();
    void plainScalingAndMirroring();

    void setUpFromRandom();
    void tinyBackgroundNeverAsksEmptyRange();
    void doubleBounceEndsAtLowerBound();
    void depthOvershootsAndTurns();
    void zeroRadiusNeitherErasedNorDrawn();
    void spriteBeyondEdgeDrawsInsideOnly();
    void hiddenTicksMoveWithoutDrawing();
};

void TestSplashAnimation::rotatedSizes_data()
{
    QTest::addColumn<float>("scale");
    QTest::addColumn<float>("angle");
    QTest::addColumn<QSize>("size");
    // A 4 × 2 picture.
    QTest::newRow("as it is") << 1.0f << 0.0f << QSize(4, 2);
    QTest::newRow("quarter turn") << 1.0f << pi / 2 << QSize(2, 4);
    QTest::newRow("quarter turn, double") << 2.0f << pi / 2 << QSize(4, 8);
    QTest::newRow("half size") << 0.5f << 0.0f << QSize(2, 1);
    // 0.625 × 4 = 2.5 and 0.625 × 2 = 1.25: halves go to even.
    QTest::newRow("half rounds to even") << 0.625f << 0.0f << QSize(2, 1);
    QTest::newRow("eighth turn") << 1.0f << pi / 4 << QSize(4, 4);
}

void TestSplashAnimation::rotatedSizes()
{
    QFETCH(float, scale);
    QFETCH(float, angle);
    QFETCH(QSize, size);
    RgbBitmap out;
    const TImageArray::Point pivot = loaded(numbered(4, 2)).DrawRotated(out, { 2, 1 }, false, scale, angle);
    QCOMPARE(QSize(out.width, out.height), size);
    QCOMPARE(int(out.pixels.size()), size.width() * size.height());
    QCOMPARE(pivot.x, size.width() / 2);
    QCOMPARE(pivot.y, size.height() / 2);
}

void TestSplashAnimation::quarterTurnMovesPixels()
{
    // Worked out from the lookup: at a quarter turn target (x, y) reads
    // column 3 − y, row x.
    const TImageArray a = loaded(numbered(4, 2));
    RgbBitmap out;
    a.DrawRotated(out, { 2, 1 }, false, 1.0f, pi / 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            QCOMPARE(out.at(x, y), a.pixel(3 - y, x));
    a.DrawRotated(out, { 2, 1 }, true, 1.0f, pi / 2);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 2; ++x)
            QCOMPARE(out.at(x, y), a.pixel(y, x));
}

void TestSplashAnimation::plainScalingAndMirroring()
{
    const TImageArray a = loaded(numbered(4, 2));
    RgbBitmap out;
    a.DrawRotated(out, { 2, 1 }, false, 2.0f, 0.0f);
    QCOMPARE(QSize(out.width, out.height), QSize(8, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            QCOMPARE(out.at(x, y), a.pixel(x / 2, y / 2));
    a.DrawRotated(out, { 2, 1 }, true, 1.0f, 0.0f);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            QCOMPARE(out.at(x, y), a.pixel(3 - x, y));
}

void TestSplashAnimation::setUpFromRandom()
{
    ScriptedRandom r;
    // Per sprite: x, y, depth, three signs (0 → −1, 1 → +1).
    for (int i = 0; i < 5; ++i)
        r.integers << 10 * i << 20 + i << 30 << (i % 2) << 1 << 0;
    r.fractions = { 0.5, 0.25 };
    SplashAnimation a(RgbBitmap(600, 368), solidSprite(64, 0xFF123456u), r);
    QCOMPARE(r.ranges.mid(0, 6), (QList<int> { 600 - 128, 368 - 128, 368 - 50, 2, 2, 2 }));
    for (int i = 0; i < 5; ++i) {
        const SplashSprite& s = a.sprites()[std::size_t(i)];
        QCOMPARE(s.x, 64 + 10 * i);
        QCOMPARE(s.y, 64 + 20 + i);
        QCOMPARE(s.depth, 80);
        QCOMPARE(s.dx, (i % 2 ? 1 : -1) * (i + 1));
        QCOMPARE(s.dy, i + 1);
        QCOMPARE(s.ddepth, -(i + 1));
        QCOMPARE(s.scale, float(i + 1) / 4);
        QCOMPARE(s.mirrored, i % 2 == 0);
    }
    QCOMPARE(a.sprites()[0].spin, float(0.25 * 0.4 - 0.2));
}

void TestSplashAnimation::tinyBackgroundNeverAsksEmptyRange()
{
    ScriptedRandom r;
    SplashAnimation a(RgbBitmap(5, 30), solidSprite(64, 0xFF00FF00u), r);
    for (int n : r.ranges)
        QVERIFY2(n > 0, qPrintable(QString::number(n)));
    for (const SplashSprite& s : a.sprites()) {
        QCOMPARE(s.x, 64);
        QCOMPARE(s.depth, 50);
    }
    for (int i = 0; i < 200; ++i)
        a.tick();
    a.redraw();
    QCOMPARE(a.work().width, 5);
}

void TestSplashAnimation::doubleBounceEndsAtLowerBound()
{
    ScriptedRandom r;
    // 10 × 10 sprite: R(2) = 14; on a 10 wide picture the upper bound
    // (10 − 14 + 8 = 4) lies below the lower one (14 − 8 = 6).
    SplashAnimation a(RgbBitmap(10, 200), solidSprite(10, 0xFF0000FFu), r);
    park(a, 5, 100, 200);
    SplashSprite& s = a.sprites()[0];
    s.depth = 50;
    s.x = 3;
    s.dx = 2;
    r.fractions = { 0.25, 0.75 };
    r.reals = 0;
    a.tick();
    QCOMPARE(r.reals, 2);
    QCOMPARE(s.x, 6);
    QCOMPARE(s.dx, 2);
    QCOMPARE(s.spin, float(0.75 * 0.4 - 0.2));
    QCOMPARE(s.scale, 2.0f);
    QCOMPARE(s.y, 100);
}

void TestSplashAnimation::depthOvershootsAndTurns()
{
    ScriptedRandom r;
    SplashAnimation a(RgbBitmap(300, 200), solidSprite(8, 0xFF0000FFu), r);
    park(a, 100, 100, 150);
    SplashSprite& s = a.sprites()[2];
    s.depth = 198;
    s.ddepth = 3;
    a.tick();
    QCOMPARE(s.depth, 201);
    QCOMPARE(s.ddepth, -3);
    a.tick();
    QCOMPARE(s.depth, 198);
    s.depth = 51;
    a.tick();
    QCOMPARE(s.depth, 48);
    QCOMPARE(s.ddepth, 3);
}

void TestSplashAnimation::zeroRadiusNeitherErasedNorDrawn()
{
    ScriptedRandom r;
    // 2 × 2 sprite at depth 200: scale 0.5, R = Trunc(2.83 × 0.5 / 2) = 0.
    SplashAnimation a(numbered(50, 220), solidSprite(2, 0xFF0000FFu), r);
    park(a, 20, 20, 200);
    a.tick();
    QCOMPARE(a.radius(a.sprites()[0].scale), 0);
    QCOMPARE(a.work().pixels, a.background().pixels);
}

void TestSplashAnimation::spriteBeyondEdgeDrawsInsideOnly()
{
    ScriptedRandom r;
    const std::uint32_t red = 0xFFFF0000u;
    SplashAnimation a(numbered(40, 60), solidSprite(10, red), r);
    park(a, 20, 30, 1000); // scale 0.1: too small to show
    SplashSprite& s = a.sprites()[4];
    s.depth = 50; // scale 2, R = 14: may stand 8 px beyond each edge
    s.x = -20;
    s.y = 70;
    s.dx = -1;
    s.dy = 1;
    a.tick();
    QCOMPARE(s.x, 14 - 8);
    QCOMPARE(s.y, 60 - 14 + 8);
    // The sprite's visible part is there, clipped at the corner.
    QCOMPARE(a.work().at(0, 59), red);
    // Nothing wraps round into the other end of a row.
    for (int y = 0; y < 60; ++y)
        for (int x = 16; x < 40; ++x)
            QCOMPARE(a.work().at(x, y), a.background().at(x, y));

    // Moved away, it is erased, also where it stood beyond the edge.
    s.dx = 20;
    s.dy = -20;
    a.tick();
    QCOMPARE(a.work().at(0, 59), a.background().at(0, 59));
    QCOMPARE(a.work().at(26, 34), red);
}

void TestSplashAnimation::hiddenTicksMoveWithoutDrawing()
{
    ScriptedRandom r;
    SplashAnimation a(numbered(200, 200), solidSprite(10, 0xFF00FF00u), r);
    park(a, 100, 100, 60);
    a.sprites()[0].dx = 3;
    a.tick();
    const std::vector<std::uint32_t> shown = a.work().pixels;
    a.tick(false);
    a.tick(false);
    QCOMPARE(a.work().pixels, shown);
    QCOMPARE(a.sprites()[0].x, 109);

    // Shown again: the picture catches up, and the next tick erases it right.
    a.redraw();
    SplashAnimation fresh(numbered(200, 200), solidSprite(10, 0xFF00FF00u), r);
    fresh.sprites() = a.sprites();
    fresh.redraw();
    QCOMPARE(a.work().pixels, fresh.work().pixels);
    a.tick();
    fresh.sprites() = a.sprites();
    fresh.redraw();
    QCOMPARE(a.work().pixels, fresh.work().pixels);
}

QTEST_GUILESS_MAIN(TestSplashAnimation)
#include "test_splash_animation.moc"

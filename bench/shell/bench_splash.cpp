// One tick of the splash animation (five sprites erased, moved, drawn) over
// the program's own pictures; the median against the 50 ms interval.
#include "bench_util.h"
#include "shell/frm_splash.h"
#include "shell/splash_animation.h"

#include <QApplication>
#include <QImage>
#include <QWindow>

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    RgbBitmap background, sprite;
    TfrmSplash::toBitmap(QImage(QStringLiteral(":/img/splash_sfondo.png")), background);
    TfrmSplash::toBitmap(QImage(QStringLiteral(":/img/splash_sprite.png")), sprite);
    auto random = clockSeededRandom();
    SplashAnimation animation(background, sprite, *random);
    for (int i = 0; i < 200; ++i) // the sprites spread out first
        animation.tick();
    const double tick = medianMs(2000, [&] { animation.tick(); });
    report("splash: one tick of five sprites", tick);
    std::printf("%-48s %10.2f %%\n", "share of the 50 ms interval", tick / 50 * 100);

    // With the window's repaint of the whole picture.
    TfrmSplash splash;
    splash.show();
    while (!splash.windowHandle() || !splash.windowHandle()->isExposed())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    const double painted = medianMs(500, [&] {
        splash.Timer1Timer();
        splash.repaint();
    });
    report("splash: tick and repaint of the window", painted);
    std::printf("%-48s %10.2f %%\n", "share of the 50 ms interval", painted / 50 * 100);
    return 0;
}

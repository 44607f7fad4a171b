#include "shell/frm_splash.h"
#include "shell/maker.h"
#include "shell/splash_animation.h"
#include "support/test_seams.h"

#include <QImage>
#include <QLabel>
#include <QTimer>
#include <QtTest>

class TestFrmSplash : public QObject {
    Q_OBJECT
private slots:
    void picturesAndLook();
    void ticksWhileHiddenWithoutDrawing();
    void clickOpensWebPageAndCloses();
    void refusesPictureWithAlpha();
};

void TestFrmSplash::picturesAndLook()
{
    ScriptedDialogs dialogs;
    TfrmSplash splash;
    QVERIFY(splash.Timer1->isActive()); // from creation on
    const SplashAnimation& a = splash.animation();
    QCOMPARE(a.work().width, 600);
    QCOMPARE(a.work().height, 368);
    // Our sprite: opaque 24-bit, its bottom-left pixel the transparent colour.
    QCOMPARE(splash.animation().picture().transparentColour(), 0xFFFF00FFu);
    QVERIFY(splash.animation().picture().width() > 0);
    QCOMPARE(dialogs.count(), 0);
}

void TestFrmSplash::ticksWhileHiddenWithoutDrawing()
{
    ScriptedDialogs dialogs;
    TfrmSplash splash;
    const std::vector<std::uint32_t> before = splash.animation().work().pixels;
    const auto sprites = splash.animation().sprites();
    splash.Timer1Timer();
    splash.Timer1Timer();
    QCOMPARE(splash.animation().work().pixels, before);
    QVERIFY(splash.animation().sprites()[4].x != sprites[4].x || splash.animation().sprites()[4].y != sprites[4].y);

    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QVERIFY(splash.animation().work().pixels != before);
    const QImage shot = splash.grab().toImage();
    QCOMPARE(shot.size(), QSize(600, 368));
}

void TestFrmSplash::clickOpensWebPageAndCloses()
{
    ScriptedDialogs dialogs;
    RecordingDesktop desktop;
    TfrmSplash splash;
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QTest::mouseClick(&splash, Qt::RightButton, Qt::NoModifier, QPoint(300, 200));
    QCOMPARE(desktop.opened, QStringList { Maker::webAddress() });
    QVERIFY(!splash.isVisible());
    QCOMPARE(splash.result(), int(QDialog::Accepted));
}

void TestFrmSplash::refusesPictureWithAlpha()
{
    ScriptedDialogs dialogs;
    RgbBitmap out(2, 2);
    QVERIFY(!TfrmSplash::toBitmap(QImage(4, 4, QImage::Format_ARGB32), out));
    QCOMPARE(dialogs.last().text, QStringLiteral("only 8 bit and 24 bit bitmaps are allowed"));
    QCOMPARE(out.width, 0);
    // A missing picture draws nothing and says nothing.
    QVERIFY(!TfrmSplash::toBitmap(QImage(), out));
    QCOMPARE(dialogs.count(), 1);
    QImage indexed(3, 2, QImage::Format_Indexed8);
    indexed.setColorTable({ qRgb(1, 2, 3), qRgb(255, 0, 255) });
    indexed.fill(0);
    indexed.setPixel(0, 1, 1);
    QVERIFY(TfrmSplash::toBitmap(indexed, out));
    QCOMPARE(out.at(0, 1), 0xFFFF00FFu);
    QCOMPARE(out.at(2, 0), 0xFF010203u);
}

QTEST_MAIN(TestFrmSplash)
#include "test_frm_splash.moc"

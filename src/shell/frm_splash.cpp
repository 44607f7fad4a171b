#include "shell/frm_splash.h"

#include "shell/maker.h"
#include "shell/splash_animation.h"
#include "ui/dialogs.h"

#include <QImage>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include <cstdint>
#include <utility>

TfrmSplash* frmSplash = nullptr;

TfrmSplash::TfrmSplash(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral(" Velmaro"));
    setFixedSize(600, 368);
    setCursor(Qt::PointingHandCursor);
    setToolTip(QStringLiteral("  Visita il sito Internet dell'autore "));
    // The whole window is repainted from the work picture every frame.
    setAttribute(Qt::WA_OpaquePaintEvent);

    BackImage = new QLabel(this);
    BackImage->setObjectName(QStringLiteral("BackImage"));
    BackImage->hide();
    SpriteImage = new QLabel(this);
    SpriteImage->setObjectName(QStringLiteral("SpriteImage"));
    SpriteImage->hide();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(50);
    connect(Timer1, &QTimer::timeout, this, &TfrmSplash::Timer1Timer);
    Timer1->start();
}

TfrmSplash::~TfrmSplash() = default;

SplashAnimation& TfrmSplash::animation()
{
    // Built at the first tick or showing, not while the program starts: the
    // pictures' decoding would hold up the login window for nothing.
    if (!animation_) {
        BackImage->setPixmap(QPixmap(QStringLiteral(":/img/splash_sfondo.png")));
        SpriteImage->setPixmap(QPixmap(QStringLiteral(":/img/splash_sprite.png")));
        RgbBitmap background, sprite;
        toBitmap(BackImage->pixmap().toImage(), background);
        toBitmap(SpriteImage->pixmap().toImage(), sprite);
        random_ = clockSeededRandom();
        animation_ = std::make_unique<SplashAnimation>(std::move(background), sprite, *random_);
    }
    return *animation_;
}

bool TfrmSplash::toBitmap(const QImage& image, RgbBitmap& out)
{
    out = RgbBitmap();
    if (image.isNull()) // no picture: nothing to draw, nothing to say
        return false;
    QImage source;
    switch (image.format()) {
    case QImage::Format_Indexed8:
    case QImage::Format_RGB888:
    case QImage::Format_BGR888:
    case QImage::Format_RGB32: // 24 bits of colour, the fourth byte unused
        source = image.convertToFormat(QImage::Format_RGB32);
        break;
    default:
        Dialogs::message(QStringLiteral("only 8 bit and 24 bit bitmaps are allowed"));
        return false;
    }
    out.resize(source.width(), source.height());
    std::uint32_t* to = out.pixels.data();
    for (int y = 0; y < source.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < source.width(); ++x)
            *to++ = line[x] | 0xFF000000u;
    }
    return true;
}

void TfrmSplash::Timer1Timer()
{
    // The sprites move on while nobody looks; drawing waits until the
    // window is shown again.
    const bool visible = isVisible();
    animation().tick(visible);
    if (visible)
        update();
}

void TfrmSplash::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    animation().redraw();
}

void TfrmSplash::paintEvent(QPaintEvent*)
{
    const RgbBitmap& work = animation().work();
    QPainter painter(this);
    if (work.width == 0 || work.height == 0) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const QImage frame(reinterpret_cast<const uchar*>(work.pixels.data()), work.width, work.height,
        qsizetype(work.width) * 4, QImage::Format_RGB32);
    painter.drawImage(0, 0, frame);
}

void TfrmSplash::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    Maker::openWebPage();
    accept();
}

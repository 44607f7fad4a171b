#pragma once

#include <QDialog>

#include <memory>

class QLabel;
class QTimer;
class SplashAnimation;
class SplashRandom;
struct RgbBitmap;

// The welcome picture: five sprites drifting over a background, 20 frames a
// second. A click opens the maker's web page and closes the window.
class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(QWidget* parent = nullptr);
    ~TfrmSplash() override;

    // Turns a picture into the animation's pixels; false (with the message
    // shown) for a picture that is neither 8-bit nor 24-bit.
    static bool toBitmap(const QImage& image, RgbBitmap& out);

    // The animation, set up on first use.
    SplashAnimation& animation();

    QLabel* BackImage = nullptr;
    QLabel* SpriteImage = nullptr;
    QTimer* Timer1 = nullptr;

public slots:
    void Timer1Timer();

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    std::unique_ptr<SplashRandom> random_;
    std::unique_ptr<SplashAnimation> animation_;
};

extern TfrmSplash* frmSplash;

// The splash window: borderless, on top, centred, its picture at an opacity of 250 out of 255.
#include "mainwindow/splash.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

static void InitSplashResources() {
    Q_INIT_RESOURCE(kalvor);
}

namespace kalvor {

namespace {
constexpr int Width = 340;
constexpr int Height = 206;
} // namespace

TSplashForm::TSplashForm(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    InitSplashResources();
    setObjectName(QStringLiteral("SplashForm"));
    setWindowTitle(QStringLiteral("Добро пожаловать"));
    setFixedSize(Width, Height);
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("SplashPicture"));
    picture->setGeometry(0, 0, Width, Height);
    picture->setAlignment(Qt::AlignCenter);
    picture->setPixmap(QPixmap(QStringLiteral(":/pictures/splash.png")));
    setWindowOpacity(250 / 255.0);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

void TSplashForm::FadeOut() {
    for (int opacity = 200; opacity >= 0; --opacity) {
        setWindowOpacity(opacity / 255.0);
    }
    hide();
}

} // namespace kalvor

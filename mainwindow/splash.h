// The splash window: the program's picture while the windows are being created.
#pragma once

#include <QWidget>

namespace kalvor {

class TSplashForm : public QWidget {
    Q_OBJECT

public:
    explicit TSplashForm(QWidget* parent = nullptr);

    // Lowers the opacity from 200 to 0 a step of 1/255 at a time, with no pause, then hides.
    void FadeOut();
};

} // namespace kalvor

// A menu bar look that shows a top-level menu's picture beside its caption, not instead of it.
#pragma once

#include <QProxyStyle>

namespace kalvor {

class MenuBarStyle : public QProxyStyle {
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override;
};

} // namespace kalvor

// A menu bar look that shows a top-level menu's picture beside its caption.
#include "widgets/MenuBarStyle.h"

#include <QPainter>
#include <QStyleOptionMenuItem>

namespace kalvor {

namespace {
constexpr int Gap = 4;
} // namespace

void MenuBarStyle::drawControl(ControlElement element, const QStyleOption* option,
                               QPainter* painter, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element != CE_MenuBarItem || item == nullptr || item->icon.isNull()) {
        QProxyStyle::drawControl(element, option, painter, widget);
        return;
    }
    // The background (and highlight) as usual, then the picture and the caption side by side.
    QStyleOptionMenuItem background(*item);
    background.icon = QIcon();
    background.text.clear();
    QProxyStyle::drawControl(element, &background, painter, widget);

    const int extent = pixelMetric(PM_SmallIconSize, option, widget);
    const int textWidth = item->fontMetrics.horizontalAdvance(QString(item->text).remove('&'));
    const int left = item->rect.left() + (item->rect.width() - extent - Gap - textWidth) / 2;
    const QRect iconRect(left, item->rect.top() + (item->rect.height() - extent) / 2, extent,
                         extent);
    const bool enabled = item->state & State_Enabled;
    item->icon.paint(painter, iconRect, Qt::AlignCenter, enabled ? QIcon::Normal : QIcon::Disabled);
    const QRect textRect(iconRect.right() + 1 + Gap, item->rect.top(), textWidth + 2,
                         item->rect.height());
    int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic | Qt::TextSingleLine;
    if (!styleHint(SH_UnderlineShortcut, option, widget)) {
        flags |= Qt::TextHideMnemonic;
    }
    drawItemText(painter, textRect, flags, item->palette, enabled, item->text,
                 QPalette::ButtonText);
}

QSize MenuBarStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                     const QSize& size, const QWidget* widget) const {
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (type == CT_MenuBarItem && item != nullptr && !item->icon.isNull()) {
        // The base size is that of the picture alone: make room for the caption too.
        const int extent = pixelMetric(PM_SmallIconSize, option, widget);
        const int textWidth = item->fontMetrics.horizontalAdvance(QString(item->text).remove('&'));
        result.setWidth(result.width() + Gap + textWidth);
        result.setHeight(qMax(result.height(), extent));
    }
    return result;
}

} // namespace kalvor

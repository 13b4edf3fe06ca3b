// The notification-area icon over QSystemTrayIcon, and the factory that tests can replace.
#include "widgets/Tray.h"

namespace kalvor {

SystemTrayIcon::SystemTrayIcon(QObject* parent)
    : TrayIcon(parent)
    , m_icon(new QSystemTrayIcon(this)) {
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::activated);
}

bool SystemTrayIcon::available() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}
void SystemTrayIcon::show() {
    m_icon->show();
}
void SystemTrayIcon::hide() {
    m_icon->hide();
}
bool SystemTrayIcon::visible() const {
    return m_icon->isVisible();
}
QRect SystemTrayIcon::geometry() const {
    return m_icon->geometry();
}
void SystemTrayIcon::setIcon(const QIcon& icon) {
    m_icon->setIcon(icon);
}
void SystemTrayIcon::setToolTip(const QString& tip) {
    m_icon->setToolTip(tip);
}

namespace {
TrayIconFactory& Factory() {
    static TrayIconFactory factory;
    return factory;
}
} // namespace

std::unique_ptr<TrayIcon> CreateTrayIcon() {
    if (Factory()) {
        return Factory()();
    }
    return std::make_unique<SystemTrayIcon>();
}

void SetTrayIconFactory(TrayIconFactory factory) {
    Factory() = std::move(factory);
}

} // namespace kalvor

// The notification-area icon behind a small interface, so that tests can put a fake in its place.
#pragma once

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QSystemTrayIcon>

#include <functional>
#include <memory>

namespace kalvor {

class TrayIcon : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    virtual bool available() const = 0; // the desktop has a notification area
    virtual void show() = 0;
    virtual void hide() = 0;
    virtual bool visible() const = 0;
    virtual QRect geometry() const = 0; // where the icon stands on the screen, if known
    virtual void setIcon(const QIcon& icon) = 0;
    virtual void setToolTip(const QString& tip) = 0;

signals:
    void activated(QSystemTrayIcon::ActivationReason reason);
};

// The real icon, over QSystemTrayIcon.
class SystemTrayIcon : public TrayIcon {
    Q_OBJECT

public:
    explicit SystemTrayIcon(QObject* parent = nullptr);

    bool available() const override;
    void show() override;
    void hide() override;
    bool visible() const override;
    QRect geometry() const override;
    void setIcon(const QIcon& icon) override;
    void setToolTip(const QString& tip) override;

private:
    QSystemTrayIcon* m_icon;
};

// Creates the icon for a window; tests replace the factory with one that makes a fake.
using TrayIconFactory = std::function<std::unique_ptr<TrayIcon>()>;
std::unique_ptr<TrayIcon> CreateTrayIcon();
void SetTrayIconFactory(TrayIconFactory factory); // nullptr: the real icon again

} // namespace kalvor

// Hiding the main window to the notification area on minimise, and its return.
#include "mainwindow/MainFormUnit.h"

#include "widgets/Tray.h"

#include <QApplication>
#include <QCursor>
#include <QEvent>
#include <QMenu>

namespace kalvor {

void TmainForm::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || !(windowState() & Qt::WindowMinimized)) {
        return;
    }
    // Without a notification area the window stays minimised as usual, so it remains reachable
    // from the task bar.
    if (m_tray && m_tray->available() && !m_closed) {
        // Hiding from inside the state change confuses some window managers: do it right after.
        QMetaObject::invokeMethod(this, &TmainForm::hideToTray, Qt::QueuedConnection);
    }
}

void TmainForm::hideToTray() {
    if (!(windowState() & Qt::WindowMinimized) || m_closed) {
        return; // restored or closed in the meantime
    }
    // Only hidden: changing the state of a hidden window would map it again on X11, leaving an
    // empty frame on the screen. The state is set back to normal when the window returns.
    hide();
    m_tray->setIcon(windowIcon());
    m_tray->setToolTip(QStringLiteral("restore program"));
    m_tray->show();
    m_hiddenToTray = true;
}

void TmainForm::restoreFromTray() {
    showNormal();
    raise();
    activateWindow();
    // A modal window open when the program went to the tray comes back in front of it: the
    // main window takes no input while it is open.
    if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr && modal != this) {
        modal->showNormal();
        modal->raise();
        modal->activateWindow();
    }
    m_tray->hide();
    m_hiddenToTray = false;
}

void TmainForm::trayActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        restoreFromTray();
        break;
    case QSystemTrayIcon::Context:
        m_popupMenu->popup(QCursor::pos());
        break;
    default:
        break; // double and middle clicks do nothing
    }
}

void TmainForm::N2Click() {
    restoreFromTray();
}

} // namespace kalvor

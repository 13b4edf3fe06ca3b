// The common frame of the modal windows: flags, modality, placement, closing, minimising.
#include "widgets/ModalDialog.h"

#include "widgets/Messages.h"

#include <QCloseEvent>
#include <QShowEvent>
#include <QWindow>

namespace kalvor {

ModalDialog::ModalDialog(Qt::WindowType type, QWidget* owner)
    : QDialog(nullptr)
    , m_owner(owner) {
    setWindowFlags(type | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowModality(Qt::WindowModal);
}

void ModalDialog::closeEvent(QCloseEvent* event) {
    if (closeRequested()) {
        event->accept();
    } else {
        event->ignore();
    }
}

void ModalDialog::showEvent(QShowEvent* event) {
    if (m_owner != nullptr && !event->spontaneous()) {
        // Stands over its owner and blocks it while open, as a child window would.
        if (QWindow* window = windowHandle(); window != nullptr) {
            window->setTransientParent(m_owner->window()->windowHandle());
        }
        CentreOver(this, m_owner);
    }
    QDialog::showEvent(event);
}

void ModalDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // A window manager that offers a minimise button anyway: the whole program goes, as when
    // its main window is minimised, and comes back with this window in front.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized) &&
        m_owner != nullptr && !(m_owner->windowState() & Qt::WindowMinimized) &&
        m_owner->isVisible()) {
        m_owner->showMinimized();
    }
}

void ModalDialog::reject() {
    close(); // through closeRequested, which may keep the window open
}

} // namespace kalvor

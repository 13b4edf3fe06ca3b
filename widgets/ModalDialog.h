// The common frame of the program's modal windows (settings, catalogue editor): shown over the
// window they belong to, closed only when their close handler agrees, never a trap.
#pragma once

#include <QDialog>
#include <QPointer>

namespace kalvor {

class ModalDialog : public QDialog {
    Q_OBJECT

public:
    // type: Qt::Dialog or Qt::Tool. The window has a caption and a close button only, and is
    // modal to its owner alone, so that the notification-area icon still answers while it is
    // open. owner is the window it stands over, is centred on and is minimised with; it is not
    // the dialog's parent, so whoever creates the dialog owns it alone.
    ModalDialog(Qt::WindowType type, QWidget* owner);

protected:
    // Runs whenever the window is about to close; false keeps it open.
    virtual bool closeRequested() = 0;

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;
    void reject() override; // Escape: closes the window as its close button does

private:
    QPointer<QWidget> m_owner;
};

} // namespace kalvor

// Kalvor: splash, the three windows, the fade, then the message loop until the main window closes.
#include "mainwindow/EndSignals.h"
#include "mainwindow/SettingsCheck.h"
#include "mainwindow/SingleInstance.h"
#include "mainwindow/Startup.h"
#include "mainwindow/splash.h"

#include <QApplication>
#include <QThread>

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    // A second start of the same user's calculator brings the running one to the front instead.
    kalvor::SingleInstance instance;
    if (instance.anotherRuns()) {
        return 0;
    }
    // Before the splash, which would stand over the box, and before anything writes the settings.
    kalvor::ReportUnusableSettings(nullptr);

    auto splash = std::make_unique<kalvor::TSplashForm>();
    splash->show();
    splash->repaint();
    QApplication::processEvents(); // on the screen before the slow part begins

    QThread::msleep(300);

    // The application title, "Подбор сечений воздуховода", is the caption of every error box
    // (kalvor::ApplicationTitle). It is not made Qt's display name, which the desktop would append
    // to each window's caption.
    QApplication::setApplicationName(QStringLiteral("kalvor"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/kalvor.png")));

    kalvor::Forms forms = kalvor::CreateForms();
    // Back from the notification area or a minimised state as "Восстановить" brings it.
    QObject::connect(&instance, &kalvor::SingleInstance::activationRequested, forms.mainForm.get(),
                     &kalvor::TmainForm::N2Click);

    splash->FadeOut();
    splash.reset();

    // Ended from outside (a logout, kill, Ctrl+C in a terminal), it closes as the user closes it.
    kalvor::EndSignals endSignals(forms.mainForm.get());

    if (forms.mainForm->closed()) {
        return 0; // the settings load found no key and closed the main window
    }
    return QApplication::exec();
}

// SIGTERM, SIGINT and SIGHUP as a close of the main window: the close handler saves the settings
// and the icon is removed, as when the user closes it; a second such signal during that close
// ends the process at once.
#pragma once

#include <QObject>

class QSocketNotifier;
class QWidget;

namespace kalvor {

class EndSignals : public QObject {
public:
    // Watches the three signals from now on, for the window to close. Only one may exist.
    explicit EndSignals(QWidget* window);
    ~EndSignals() override; // the signals' default handling again

    bool watching() const { return m_notifier != nullptr; }

private:
    void closeWindow();

    QWidget* m_window;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace kalvor

// The end signals reach the event loop through a pipe: the handler only writes a byte to it (or,
// for a second signal, ends the process), and the loop closes the window.
#include "mainwindow/EndSignals.h"

#include <QSocketNotifier>
#include <QWidget>

#include <atomic>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace kalvor {

namespace {

int g_pipe[2] = {-1, -1};
std::atomic<int> g_received{0};
constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void OnEndSignal(int number) {
    if (g_received.fetch_add(1) > 0) {
        ::_exit(128 + number); // asked again while the window closes: at once
    }
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const auto written = ::write(g_pipe[1], &byte, 1);
}

} // namespace

EndSignals::EndSignals(QWidget* window)
    : QObject(window)
    , m_window(window) {
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        return; // the signals keep their default handling: the process ends, unsaved
    }
    g_received = 0;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &EndSignals::closeWindow);
    struct sigaction action {};
    action.sa_handler = OnEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : Signals) {
        ::sigaction(number, &action, nullptr);
    }
}

EndSignals::~EndSignals() {
    for (const int number : Signals) {
        std::signal(number, SIG_DFL);
    }
    for (int& fd : g_pipe) {
        if (fd >= 0) {
            ::close(fd);
            fd = -1;
        }
    }
}

void EndSignals::closeWindow() {
    char byte = 0;
    while (::read(g_pipe[0], &byte, 1) > 0) {
    }
    m_window->close(); // the close handler saves and ends the program
}

} // namespace kalvor

// Running a window's event loop until it is idle, so that a measured step counts the layout and
// paint that Qt defers to posted events, as the user waits for them.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

namespace kalvor::bench {

// Counts every event delivered in the application while it lives.
class EventCounter : public QObject {
public:
    EventCounter() { QCoreApplication::instance()->installEventFilter(this); }
    ~EventCounter() override { QCoreApplication::instance()->removeEventFilter(this); }
    EventCounter(const EventCounter&) = delete;
    EventCounter& operator=(const EventCounter&) = delete;

    int delivered = 0;

protected:
    bool eventFilter(QObject*, QEvent*) override {
        ++delivered;
        return false;
    }
};

// Processes events until a pass delivers none: the posted layout requests, updates and deferred
// deletions, and whatever they post in turn. Returns false when the loop did not come to rest
// within the passes allowed (something posts forever).
inline bool ProcessUntilIdle(int maxPasses = 100) {
    EventCounter counter;
    for (int pass = 0; pass < maxPasses; ++pass) {
        counter.delivered = 0;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents(QEventLoop::AllEvents);
        if (counter.delivered == 0) {
            return true;
        }
    }
    return false;
}

} // namespace kalvor::bench

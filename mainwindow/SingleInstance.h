// One running copy per user: a later start asks the running copy to come to the front and ends.
#pragma once

#include <QObject>
#include <QString>

class QLocalServer;

namespace kalvor {

// The copy that runs holds an exclusive lock (flock) on kalvor.instance in the settings folder
// for its whole life and listens on a local socket beside it (in $XDG_RUNTIME_DIR when that path
// would be too long for a socket). A copy that finds the lock taken sends "raise" to that socket.
class SingleInstance : public QObject {
    Q_OBJECT

public:
    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // Another copy runs for this user and has been asked to come to the front: this one ends.
    bool anotherRuns() const { return m_anotherRuns; }
    // This copy answers later starts.
    bool listening() const;

signals:
    void activationRequested(); // a later start asked this copy to come to the front

private:
    void acceptConnections();

    int m_lockFd = -1;
    QLocalServer* m_server = nullptr;
    bool m_anotherRuns = false;
};

} // namespace kalvor

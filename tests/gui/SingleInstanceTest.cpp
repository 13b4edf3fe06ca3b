// Tests of the single running copy: a second start, in this process or as a real second program,
// brings the first copy's window to the front and ends at once with status 0.
#include "GuiTest.h"
#include "GuiTestSupport.h"

#include "mainwindow/SingleInstance.h"
#include "settings/SettingsStore.h"
#include "widgets/Tray.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <csignal>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#ifndef KALVOR_EXECUTABLE
#error "KALVOR_EXECUTABLE must name the program"
#endif

using namespace kalvor;
using namespace kalvor::test;

namespace {

// A notification area that is always there and only remembers whether its icon shows.
class PresentTray : public TrayIcon {
public:
    bool available() const override { return true; }
    void show() override { m_visible = true; }
    void hide() override { m_visible = false; }
    bool visible() const override { return m_visible; }
    QRect geometry() const override { return {}; }
    void setIcon(const QIcon&) override {}
    void setToolTip(const QString&) override {}

private:
    bool m_visible = false;
};

QString SettingsFolder() {
    return QFileInfo(QString::fromStdString(UserHivePath())).path();
}

// Leaves a socket file with nobody listening, as a killed copy does.
void LeaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toLocal8Bit();
    QVERIFY(fd >= 0 && static_cast<std::size_t>(bytes.size()) < sizeof address.sun_path);
    std::copy(bytes.begin(), bytes.end(), address.sun_path);
    QCOMPARE(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
}

} // namespace

class SingleInstanceTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        SetTrayIconFactory([] { return std::make_unique<PresentTray>(); });
    }
    void cleanup() { SetTrayIconFactory(nullptr); }

    // The second copy of this process finds the first one's lock and asks it forward.
    void secondCopyAsksTheFirst_data() {
        QTest::addColumn<bool>("staleSocket");
        QTest::newRow("fresh folder") << false;
        QTest::newRow("socket of a killed copy left behind") << true;
    }
    void secondCopyAsksTheFirst() {
        QFETCH(bool, staleSocket);
        TempUser user;
        if (staleSocket) {
            LeaveStaleSocket(SettingsFolder() + "/kalvor.socket");
        }
        SingleInstance first;
        QVERIFY(!first.anotherRuns());
        QVERIFY(first.listening());
        QSignalSpy asked(&first, &SingleInstance::activationRequested);
        {
            SingleInstance second;
            QVERIFY(second.anotherRuns());
            QVERIFY(!second.listening());
        }
        QTRY_COMPARE(asked.size(), 1);
        QTest::qWait(50);
        QCOMPARE(asked.size(), 1);
    }

    // Once the first copy has ended, the next start is the running copy.
    void lockEndsWithTheCopy() {
        TempUser user;
        { SingleInstance first; }
        SingleInstance next;
        QVERIFY(!next.anotherRuns());
        QVERIFY(next.listening());
    }

    // Ended from outside, the real program closes as the user closes it: the close handler
    // saves the settings ("v" among them) and the program ends normally.
    void endSignalsSaveTheSettings_data() {
        QTest::addColumn<int>("number");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    void endSignalsSaveTheSettings() {
        QFETCH(int, number);
        TempUser user;
        TempUser::storeString("v", "old");
        QProcess program;
        program.setWorkingDirectory(user.folder());
        program.start(QStringLiteral(KALVOR_EXECUTABLE), {});
        QVERIFY(program.waitForStarted(5000));
        // Running its event loop once its single-copy socket listens; the windows come first.
        const QString socket = QDir(SettingsFolder()).filePath(QStringLiteral("kalvor.socket"));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(socket), 10000);
        QTest::qWait(1500); // past the splash's fade, into the message loop
        QCOMPARE(::kill(static_cast<pid_t>(program.processId()), number), 0);
        QTRY_VERIFY_WITH_TIMEOUT(program.state() == QProcess::NotRunning, 10000);
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(TempUser::storedString("v"), QStringLiteral("5"));
    }

    // The real program started again: the running window comes back from the notification area,
    // and the second process ends by itself with status 0, writing no setting.
    void secondStartRaisesTheRunningWindow() {
        TempUser user;
        BoxAnswerer boxes;
        Forms forms = MakeForms();
        SingleInstance instance;
        QVERIFY(instance.listening());
        connect(&instance, &SingleInstance::activationRequested, forms.mainForm.get(),
                &TmainForm::N2Click);
        forms.mainForm->showMinimized();
        QTRY_VERIFY(forms.mainForm->hiddenToTray());
        QVERIFY(!forms.mainForm->isVisible());
        QFile hive(QString::fromStdString(UserHivePath()));
        QVERIFY(hive.open(QIODevice::ReadOnly));
        const QByteArray before = hive.readAll();
        hive.close();

        QProcess second;
        second.setWorkingDirectory(user.folder());
        QElapsedTimer clock;
        clock.start();
        second.start(QStringLiteral(KALVOR_EXECUTABLE), {});
        QVERIFY(second.waitForStarted(5000));
        // The first copy answers from its event loop while the second waits for it.
        QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 10000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QVERIFY2(clock.elapsed() < 5000, "the second copy went through a start-up of its own");

        QTRY_VERIFY(forms.mainForm->isVisible());
        QVERIFY(!forms.mainForm->hiddenToTray());
        QVERIFY(!forms.mainForm->trayIcon()->visible());
        QVERIFY(hive.open(QIODevice::ReadOnly));
        QCOMPARE(hive.readAll(), before);
        QVERIFY(boxes.boxes.isEmpty());
    }
};

KALVOR_GUI_TEST(SingleInstanceTest);
#include "SingleInstanceTest.moc"

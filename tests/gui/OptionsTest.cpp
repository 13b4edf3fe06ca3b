// Tests of the settings window: the settings load, the apply step, OK and closing, refusals.
#include "GuiTest.h"

#include "ui_MainFormUnit.h"
#include "ui_Options.h"

#include "mainwindow/MainFormUnit.h"
#include "settings/Options.h"
#include "settings/SettingsStore.h"
#include "widgets/KeyFilter.h"
#include "widgets/Messages.h"
#include "widgets/RadioGroup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace kalvor;

namespace {

// A number text with the system's decimal separator in place of the point.
QString Local(QString text) {
    return text.replace('.', QChar(SystemDecimalSeparator()));
}

struct Settings {
    int Shag = 50, mm = 1, AB = 0;
    QString t = "0", PBar = "990";
    bool withShag = true;
};

// Each test's own settings hive and working folder with three small catalogues, and the windows.
class Session {
public:
    explicit Session(const Settings& settings) {
        m_oldDir = QDir::currentPath();
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8());
        QDir::setCurrent(m_dir.path());
        WriteFile("Duct.txt", "0.5 0.25\r\n0.5 0.4\r\n0.8 0.5\r\n");
        WriteFile("OvalDuct.txt", "0.3 0.1\r\n0.6 0.3\r\n1.0 0.5\r\n");
        WriteFile("RoundDuct.txt", "0.4\r\n0.5\r\n");
        SettingsStore store;
        store.OpenKey(SettingsKey, true);
        if (settings.withShag) {
            store.WriteInteger("Shag", settings.Shag);
        }
        store.WriteInteger("mm", settings.mm);
        store.WriteInteger("AB", settings.AB);
        store.WriteString("t", settings.t.toStdString());
        store.WriteString("PBar", settings.PBar.toStdString());
        SetMessageHook([this](const ShownMessage& message) { messages.push_back(message); });

        main = std::make_unique<TmainForm>();
        options = std::make_unique<TOptionsForm>(main.get());
        main->setOptionsForm(options.get());
    }
    ~Session() {
        options.reset();
        main.reset();
        SetMessageHook(nullptr);
        QDir::setCurrent(m_oldDir);
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }

    void WriteFile(const QString& name, const QByteArray& bytes) {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    int StoredInteger(const char* name) {
        SettingsStore store;
        store.OpenKey(SettingsKey, false);
        return store.ReadInteger(name);
    }
    QString StoredString(const char* name) {
        SettingsStore store;
        store.OpenKey(SettingsKey, false);
        return QString::fromStdString(store.ReadString(name));
    }

    Ui::TOptionsForm* ui() const { return options->ui(); }
    Ui::TmainForm* mainUi() const { return main->ui(); }

    std::vector<ShownMessage> messages;
    std::unique_ptr<TmainForm> main;
    std::unique_ptr<TOptionsForm> options;

private:
    QTemporaryDir m_dir;
    QString m_oldDir;
    QByteArray m_oldConfig;
};

QStringList Items(const RadioGroup* group) {
    return group->items();
}

const QString Standard = QStringLiteral("Стандартный");
const QString FixA = QStringLiteral("Закрепить \"A\"");
const QString FixB = QStringLiteral("Закрепить \"B\"");

// Watches an object for close events and runs a callback when one arrives, before the window
// itself sees it.
class CloseWatcher : public QObject {
public:
    explicit CloseWatcher(std::function<void()> onClose)
        : m_onClose(std::move(onClose)) {}
    int closes = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            ++closes;
            if (m_onClose) {
                m_onClose();
            }
        }
        return false;
    }

private:
    std::function<void()> m_onClose;
};

} // namespace

class OptionsTest : public QObject {
    Q_OBJECT

private slots:
    void load_data() {
        QTest::addColumn<int>("mm");
        QTest::addColumn<int>("AB");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QStringList>("methods");
        QTest::newRow("metres, A first") << 0 << 0 << "AxB" << QStringList{Standard, FixA, FixB};
        QTest::newRow("millimetres, B first")
            << 1 << 1 << "BxA" << QStringList{Standard, FixB, FixA};
    }
    void load() {
        QFETCH(int, mm);
        QFETCH(int, AB);
        QFETCH(QString, heading);
        QFETCH(QStringList, methods);
        Session session({120, mm, AB, Local("-2.5"), "1013", true});

        QVERIFY(session.messages.empty());
        QCOMPARE(session.ui()->ShagLe->text(), "120");
        QCOMPARE(session.ui()->m_mmRg->itemIndex(), mm);
        QCOMPARE(session.ui()->ABRadioGroup->itemIndex(), AB);
        QCOMPARE(session.ui()->tEdit->text(), Local("-2.5"));
        QCOMPARE(session.ui()->PBarEdit->text(), "1013");
        QCOMPARE(session.mainUi()->ABLabel->text(), heading);
        QCOMPARE(session.mainUi()->ABOvalLabel->text(), heading);
        QCOMPARE(Items(session.mainUi()->ZakrepitRazmerRg), methods);
        QCOMPARE(session.mainUi()->ZakrepitRazmerRg->itemIndex(), 0);
    }

    void apply_data() {
        QTest::addColumn<int>("storedMm");
        QTest::addColumn<int>("storedAB");
        QTest::addColumn<int>("mm");
        QTest::addColumn<int>("AB");
        QTest::addColumn<QString>("pressure");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("rectangular");
        QTest::addColumn<QString>("flatOval");
        QTest::addColumn<QString>("round");
        QTest::addColumn<QString>("firstListItem"); // built at start, kept until the next build
        QTest::newRow("to millimetres") << 0 << 0 << 1 << 0 << "990"
                                        << "AxB"
                                        << "500*400"
                                        << "1000*500"
                                        << "500" << Local("0.5*0.25");
        QTest::newRow("to metres, B first")
            << 1 << 0 << 0 << 1 << "1013"
            << "BxA" << Local("0.4*0.5") << Local("0.5*1") << Local("0.5") << "500*250";
    }
    void apply() {
        QFETCH(int, storedMm);
        QFETCH(int, storedAB);
        QFETCH(int, mm);
        QFETCH(int, AB);
        QFETCH(QString, pressure);
        QFETCH(QString, heading);
        Session session({50, storedMm, storedAB, "0", "990", true});
        session.mainUi()->Qedit->setText("3000"); // needs 0.1667 m2 at 5 m/s
        session.mainUi()->ZakrepitRazmerRg->setItemIndex(2);
        session.ui()->m_mmRg->setItemIndex(mm);
        session.ui()->ABRadioGroup->setItemIndex(AB);
        session.ui()->PBarEdit->setText(pressure);
        session.ui()->tEdit->setText(Local("-5.5"));
        session.messages.clear();

        QTest::mouseClick(session.ui()->ApplyBtn, Qt::LeftButton);

        QVERIFY(session.messages.empty());
        QCOMPARE(session.StoredInteger("mm"), mm);
        QCOMPARE(session.StoredInteger("AB"), AB);
        QCOMPARE(session.StoredInteger("Shag"), 50);
        QCOMPARE(session.StoredString("PBar"), pressure);
        QCOMPARE(session.StoredString("t"), Local("-5.5"));
        QCOMPARE(session.ui()->PBarEdit->text(), pressure);
        QCOMPARE(session.mainUi()->ABLabel->text(), heading);
        QCOMPARE(session.mainUi()->ZakrepitRazmerRg->itemIndex(), 0);
        QTEST(session.mainUi()->DuctCb->currentText(), "rectangular");
        QTEST(session.mainUi()->OvalDuctCb->currentText(), "flatOval");
        QTEST(session.mainUi()->DEdit->currentText(), "round");
        QTEST(session.mainUi()->DuctCb->itemText(0), "firstListItem");
    }

    // A step that is not a whole number stops the apply step before its first write, and both OK
    // and closing leave the window open.
    void refusedStep_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("byOk");
        for (const bool byOk : {true, false}) {
            const char* how = byOk ? "OK" : "close";
            QTest::addRow("%s, decimal", how) << Local("5.5") << byOk;
            QTest::addRow("%s, empty", how) << "" << byOk;
            QTest::addRow("%s, product", how) << "5*2" << byOk;
        }
    }
    void refusedStep() {
        QFETCH(QString, step);
        QFETCH(bool, byOk);
        Session session({50, 1, 0, "0", "990", true});
        session.options->show();
        session.ui()->ShagLe->setText(step);
        session.ui()->m_mmRg->setItemIndex(0);

        if (byOk) {
            QTest::mouseClick(session.ui()->OKBtn, Qt::LeftButton);
        } else {
            QVERIFY(!session.options->close());
        }

        QVERIFY(session.options->isVisible());
        QCOMPARE(session.messages.size(), 1u);
        QVERIFY(session.messages[0].error);
        QCOMPARE(session.messages[0].text, QString("'%1' is not a valid integer value.").arg(step));
        QCOMPARE(session.StoredInteger("mm"), 1);

        session.ui()->ShagLe->setText("-40"); // any whole number passes, even a negative one
        QVERIFY(session.options->close());
        QVERIFY(!session.options->isVisible());
        QCOMPARE(session.StoredInteger("Shag"), -40);
        QCOMPARE(session.StoredInteger("mm"), 0);
    }

    // OK applies, then closes, and closing applies again; closing by the title bar applies once.
    // The close event is caught before the window handles it, the state seen then is recorded
    // and disturbed, so that only an apply step run by the closing can restore it.
    void applyCount_data() {
        QTest::addColumn<bool>("byOk");
        QTest::addColumn<int>("shagAtClose");
        QTest::addColumn<int>("methodAtClose");
        QTest::addColumn<QString>("sizeAtClose");
        QTest::newRow("OK") << true << 40 << 0 << "500*400";
        QTest::newRow("title bar") << false << 50 << 1 << "100*100";
    }
    void applyCount() {
        QFETCH(bool, byOk);
        Session session({50, 1, 0, "0", "990", true});
        session.mainUi()->Qedit->setText("3000");
        session.mainUi()->DuctCb->setEditText("100*100");
        session.mainUi()->ZakrepitRazmerRg->setItemIndex(1);
        session.ui()->ShagLe->setText("40");
        int shagAtClose = 0;
        int methodAtClose = -1;
        QString sizeAtClose;
        CloseWatcher watcher([&] {
            shagAtClose = session.StoredInteger("Shag");
            methodAtClose = session.mainUi()->ZakrepitRazmerRg->itemIndex();
            sizeAtClose = session.mainUi()->DuctCb->currentText();
            SettingsStore store;
            store.OpenKey(SettingsKey, true);
            store.WriteInteger("Shag", 7);
            session.mainUi()->ZakrepitRazmerRg->setItemIndex(2);
            session.mainUi()->DuctCb->setEditText("1*1");
        });
        session.options->show();
        session.options->installEventFilter(&watcher);

        if (byOk) {
            QTest::mouseClick(session.ui()->OKBtn, Qt::LeftButton);
        } else {
            QVERIFY(session.options->close());
        }

        QCOMPARE(watcher.closes, 1);
        QTEST(shagAtClose, "shagAtClose");
        QTEST(methodAtClose, "methodAtClose");
        QTEST(sizeAtClose, "sizeAtClose");
        QVERIFY(!session.options->isVisible());
        QCOMPARE(session.StoredInteger("Shag"), 40);
        QCOMPARE(session.mainUi()->ZakrepitRazmerRg->itemIndex(), 0);
        QCOMPARE(session.mainUi()->DuctCb->currentText(), "500*400");
        QVERIFY(session.messages.empty());
    }

    // The key has gone: the reinstall message, the main window is asked to close, nothing else.
    void keyGone() {
        Session session({50, 1, 0, "0", "990", true});
        CloseWatcher watcher(nullptr);
        session.main->installEventFilter(&watcher);
        session.ui()->ShagLe->setText("77");
        session.ui()->m_mmRg->setItemIndex(0);
        SettingsStore store;
        QVERIFY(QFile::remove(QString::fromStdString(store.HivePath())));

        session.options->FormCreate();

        QCOMPARE(session.messages.size(), 1u);
        QCOMPARE(session.messages[0].caption, "Ошибка, что-то не так");
        QCOMPARE(session.messages[0].text, "Пожалуйста, переустановите программу");
        QVERIFY(!session.messages[0].error);
        QCOMPARE(watcher.closes, 1);
        QCOMPARE(session.ui()->ShagLe->text(), "77");
        QCOMPARE(session.ui()->m_mmRg->itemIndex(), 0);
    }

    // A key without "Shag" at start-up: the load stops at its first read; both windows keep
    // their design values.
    void missingStep() {
        Session session({0, 0, 0, "3", "1000", false});

        QCOMPARE(session.messages.size(), 1u);
        QVERIFY(session.messages[0].error);
        QCOMPARE(session.messages[0].text, "Failed to get data for 'Shag'");
        QCOMPARE(session.ui()->ShagLe->text(), "");
        QCOMPARE(session.ui()->m_mmRg->itemIndex(), 1);
        QCOMPARE(session.ui()->ABRadioGroup->itemIndex(), 1);
        QCOMPARE(session.ui()->tEdit->text(), "0");
        QCOMPARE(session.ui()->PBarEdit->text(), "990");
        QCOMPARE(session.mainUi()->ABLabel->text(), "AxB");
        QCOMPARE(session.mainUi()->ABOvalLabel->text(), "AxB");
        QCOMPARE(Items(session.mainUi()->ZakrepitRazmerRg), (QStringList{Standard, FixA, FixB}));
    }

    // The numeric fields take digits and signs, and a point or comma as the system's separator.
    void keyFilter_data() {
        QTest::addColumn<QString>("field");
        QTest::newRow("step") << "ShagLe";
        QTest::newRow("temperature") << "tEdit";
        QTest::newRow("pressure") << "PBarEdit";
    }
    void keyFilter() {
        QFETCH(QString, field);
        Session session({50, 1, 0, "0", "990", true});
        auto* edit = session.options->findChild<QLineEdit*>(field);
        QVERIFY(edit != nullptr);
        edit->clear();
        QTest::keyClicks(edit, "-1a.5 x,2*");
        QCOMPARE(edit->text(), Local("-1.5.2*"));
    }
};

KALVOR_GUI_TEST(OptionsTest);
#include "OptionsTest.moc"

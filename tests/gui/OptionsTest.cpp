// Tests of the settings window: the settings load, the apply step, OK and closing, refusals.
#include "FormAccess.h"
#include "GuiTest.h"
#include "GuiTestSupport.h"

#include "ui_MainFormUnit.h"
#include "ui_Options.h"

#include "settings/SettingsStore.h"
#include "widgets/RadioGroup.h"

#include <QFile>
#include <QTest>

#include <functional>
#include <vector>

using namespace kalvor;
using namespace kalvor::test;

namespace {

struct Settings {
    int Shag = 50, mm = 1, AB = 0;
    QString t = "0", PBar = "990";
    bool withShag = true;
};

// One test's user with three small catalogues and the given settings, the windows as the
// program creates them, and every message box recorded instead of shown.
class Session {
public:
    explicit Session(const Settings& settings)
        : m_user(false) {
        m_user.writeFile("Duct.txt", "0.5 0.25\r\n0.5 0.4\r\n0.8 0.5\r\n");
        m_user.writeFile("OvalDuct.txt", "0.3 0.1\r\n0.6 0.3\r\n1.0 0.5\r\n");
        m_user.writeFile("RoundDuct.txt", "0.4\r\n0.5\r\n");
        if (settings.withShag) {
            TempUser::storeInteger("Shag", settings.Shag);
        }
        TempUser::storeInteger("mm", settings.mm);
        TempUser::storeInteger("AB", settings.AB);
        TempUser::storeString("t", settings.t);
        TempUser::storeString("PBar", settings.PBar);
        forms = MakeForms();
        ui = UiOf(forms.OptionsForm);
        main = UiOf(forms.mainForm);
        main->Qedit->setText("3000"); // 0.1667 m2 at 5 m/s: 500*400, 1000*500, 500
    }
    ~Session() {
        forms.DuctSizesForm.reset();
        forms.OptionsForm.reset();
        forms.mainForm.reset();
    }

    // Every message box the session met, answered.
    const QList<BoxAnswerer::Box>& messages() const { return m_answerer.boxes; }
    Forms forms;
    Ui::TOptionsForm* ui = nullptr;
    Ui::TmainForm* main = nullptr;

private:
    TempUser m_user;
    BoxAnswerer m_answerer;
};

// Runs a callback when a close event reaches the watched window, before the window sees it.
class CloseWatcher : public QObject {
public:
    explicit CloseWatcher(std::function<void()> onClose = {})
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

const QString Standard = "Стандартный", FixA = "Закрепить \"A\"", FixB = "Закрепить \"B\"";

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
        QTest::newRow("mm, B first") << 1 << 1 << "BxA" << QStringList{Standard, FixB, FixA};
    }
    void load() {
        QFETCH(int, mm);
        QFETCH(int, AB);
        Session session({120, mm, AB, Local("-2,5"), "1013"});
        QVERIFY(session.messages().empty());
        QCOMPARE(session.ui->ShagLe->text(), "120");
        QCOMPARE(session.ui->m_mmRg->itemIndex(), mm);
        QCOMPARE(session.ui->ABRadioGroup->itemIndex(), AB);
        QCOMPARE(session.ui->tEdit->text(), Local("-2,5"));
        QCOMPARE(session.ui->PBarEdit->text(), "1013");
        QTEST(session.main->ABLabel->text(), "heading");
        QTEST(session.main->ABOvalLabel->text(), "heading");
        QTEST(session.main->ZakrepitRazmerRg->items(), "methods");
        QCOMPARE(session.main->ZakrepitRazmerRg->itemIndex(), 0);
    }

    // The apply step stores the fields, relabels, rebuilds the drop-down lists in the units and
    // order just stored, resets the search method and searches; the search's sizes stay.
    void apply_data() {
        QTest::addColumn<int>("storedMm");
        QTest::addColumn<int>("mm");
        QTest::addColumn<int>("AB");
        QTest::addColumn<QString>("pressure");
        // heading, three sizes, then the first item of each list
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("to millimetres")
            << 0 << 1 << 0 << "990"
            << QStringList{"AxB", "500*400", "1000*500", "500", "500*250", "300*100", "400"};
        QTest::newRow("to metres, B first")
            << 1 << 0 << 1 << "1013"
            << QStringList{"BxA",        Local("0,4*0,5"),  Local("0,5*1"),
                           Local("0,5"), Local("0,25*0,5"), Local("0,1*0,3"),
                           Local("0,4")};
    }
    void apply() {
        QFETCH(int, mm);
        QFETCH(int, AB);
        QFETCH(QString, pressure);
        QFETCH(QStringList, shown);
        QFETCH(int, storedMm);
        Session session({50, storedMm, 0});
        session.main->ZakrepitRazmerRg->setItemIndex(2);
        session.ui->m_mmRg->setItemIndex(mm);
        session.ui->ABRadioGroup->setItemIndex(AB);
        session.ui->PBarEdit->setText(pressure);
        session.ui->tEdit->setText(Local("-5,5"));

        QTest::mouseClick(session.ui->ApplyBtn, Qt::LeftButton);

        QVERIFY(session.messages().empty());
        QCOMPARE(TempUser::storedInteger("mm"), mm);
        QCOMPARE(TempUser::storedInteger("AB"), AB);
        QCOMPARE(TempUser::storedString("PBar"), pressure);
        QCOMPARE(TempUser::storedString("t"), Local("-5,5"));
        QCOMPARE(session.ui->PBarEdit->text(), pressure);
        QCOMPARE(session.main->ZakrepitRazmerRg->itemIndex(), 0);
        const QStringList actual{
            session.main->ABLabel->text(),           session.main->DuctCb->currentText(),
            session.main->OvalDuctCb->currentText(), session.main->DEdit->currentText(),
            session.main->DuctCb->itemText(0),       session.main->OvalDuctCb->itemText(0),
            session.main->DEdit->itemText(0)};
        QCOMPARE(actual, shown);
    }

    // A step that is not a whole number stops the apply step before its first write; OK,
    // closing and Escape (which closes as the close button does) all leave the window open until
    // the field holds a whole number.
    void refusedStep_data() {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QString>("how"); // "OK", "close" or "Escape"
        for (const char* how : {"OK", "close", "Escape"}) {
            QTest::addRow("%s, decimal", how) << Local("5,5") << how;
            QTest::addRow("%s, empty", how) << "" << how;
            QTest::addRow("%s, product", how) << "5*2" << how;
        }
    }
    void refusedStep() {
        QFETCH(QString, step);
        QFETCH(QString, how);
        Session session({});
        session.forms.OptionsForm->show();
        session.ui->ShagLe->setText(step);
        session.ui->m_mmRg->setItemIndex(0);
        const auto escape = [&session] {
            QVERIFY(Focus(session.ui->tEdit));
            QTest::keyClick(session.ui->tEdit, Qt::Key_Escape);
        };

        if (how == "OK") {
            QTest::mouseClick(session.ui->OKBtn, Qt::LeftButton);
        } else if (how == "Escape") {
            escape();
        } else {
            QVERIFY(!session.forms.OptionsForm->close());
        }

        QVERIFY(session.forms.OptionsForm->isVisible());
        QCOMPARE(session.messages().size(), 1);
        QVERIFY(session.messages()[0].error);
        QCOMPARE(session.messages()[0].text,
                 QString("'%1' is not a valid integer value.").arg(step));
        QCOMPARE(TempUser::storedInteger("mm"), 1);

        session.ui->ShagLe->setText("-40"); // any whole number passes
        if (how == "Escape") {
            escape();
            QVERIFY(!session.forms.OptionsForm->isVisible());
        } else {
            QVERIFY(session.forms.OptionsForm->close());
        }
        QCOMPARE(TempUser::storedInteger("Shag"), -40);
        QCOMPARE(TempUser::storedInteger("mm"), 0);
    }

    // OK applies, then closes, and the closing applies again; the title bar applies once. The
    // state is recorded and disturbed when the close event arrives, so only an apply step run
    // by the closing itself restores it afterwards.
    void applyCount_data() {
        QTest::addColumn<bool>("byOk");
        QTest::addColumn<int>("stepAtClose");
        QTest::addColumn<int>("methodAtClose");
        QTest::addColumn<QString>("sizeAtClose");
        QTest::newRow("OK") << true << 40 << 0 << "500*400";
        QTest::newRow("title bar") << false << 50 << 1 << "100*100";
    }
    void applyCount() {
        QFETCH(bool, byOk);
        Session session({});
        session.main->DuctCb->setEditText("100*100");
        session.main->ZakrepitRazmerRg->setItemIndex(1);
        session.ui->ShagLe->setText("40");
        int stepAtClose = 0, methodAtClose = -1;
        QString sizeAtClose;
        CloseWatcher watcher([&] {
            stepAtClose = TempUser::storedInteger("Shag");
            methodAtClose = session.main->ZakrepitRazmerRg->itemIndex();
            sizeAtClose = session.main->DuctCb->currentText();
            TempUser::storeInteger("Shag", 7);
            session.main->ZakrepitRazmerRg->setItemIndex(2);
            session.main->DuctCb->setEditText("1*1");
        });
        session.forms.OptionsForm->show();
        session.forms.OptionsForm->installEventFilter(&watcher);

        if (byOk) {
            QTest::mouseClick(session.ui->OKBtn, Qt::LeftButton);
        } else {
            QVERIFY(session.forms.OptionsForm->close());
        }

        QCOMPARE(watcher.closes, 1);
        QTEST(stepAtClose, "stepAtClose");
        QTEST(methodAtClose, "methodAtClose");
        QTEST(sizeAtClose, "sizeAtClose");
        QVERIFY(!session.forms.OptionsForm->isVisible());
        QCOMPARE(TempUser::storedInteger("Shag"), 40);
        QCOMPARE(session.main->ZakrepitRazmerRg->itemIndex(), 0);
        QCOMPARE(session.main->DuctCb->currentText(), "500*400");
        QVERIFY(session.messages().empty());
    }

    // The key has gone: the reinstall message, the main window asked to close, nothing else.
    void keyGone() {
        Session session({});
        CloseWatcher watcher;
        session.forms.mainForm->installEventFilter(&watcher);
        session.ui->ShagLe->setText("77");
        QVERIFY(QFile::remove(QString::fromStdString(SettingsStore().HivePath())));

        session.forms.OptionsForm->FormCreate();

        QCOMPARE(session.messages().size(), 1);
        QCOMPARE(session.messages()[0].caption, "Ошибка, что-то не так");
        QCOMPARE(session.messages()[0].text, "Пожалуйста, переустановите программу");
        QVERIFY(!session.messages()[0].error);
        QCOMPARE(watcher.closes, 1);
        QCOMPARE(session.ui->ShagLe->text(), "77");
    }

    // A key without "Shag" at start-up: the load stops at that read, both windows keep their
    // design values.
    void missingStep() {
        Session session({0, 0, 0, "3", "1000", false});
        QCOMPARE(session.messages().size(), 1);
        QCOMPARE(session.messages()[0].text, "Failed to get data for 'Shag'");
        QCOMPARE(session.ui->ShagLe->text(), "");
        QCOMPARE(session.ui->m_mmRg->itemIndex(), 1);
        QCOMPARE(session.ui->ABRadioGroup->itemIndex(), 1);
        QCOMPARE(session.ui->tEdit->text(), "0");
        QCOMPARE(session.ui->PBarEdit->text(), "990");
        QCOMPARE(session.main->ABLabel->text(), "AxB");
        QCOMPARE(session.main->ZakrepitRazmerRg->items(), (QStringList{Standard, FixA, FixB}));
    }
};

KALVOR_GUI_TEST(OptionsTest);
#include "OptionsTest.moc"

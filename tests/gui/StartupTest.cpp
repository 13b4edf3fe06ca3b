// Tests of the start-up: the splash window and its fade, the order in which the windows are
// created, a first start without any settings.
#include "FormAccess.h"
#include "GuiTest.h"
#include "GuiTestSupport.h"

#include "mainwindow/splash.h"
#include "ui_MainFormUnit.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QTest>

#include <memory>

using namespace kalvor;
using namespace kalvor::test;

class StartupTest : public QObject {
    Q_OBJECT

private slots:
    void splashWindow() {
        TSplashForm splash;
        splash.show();
        QCOMPARE(splash.objectName(), QStringLiteral("SplashForm"));
        QCOMPARE(splash.size(), QSize(340, 206));
        QVERIFY(splash.windowFlags() & Qt::FramelessWindowHint);
        QVERIFY(splash.windowFlags() & Qt::WindowStaysOnTopHint);
        QCOMPARE(qRound(splash.windowOpacity() * 255), 250);
        const auto* picture = splash.findChild<QLabel*>("SplashPicture");
        QVERIFY(picture != nullptr);
        QCOMPARE(picture->pixmap().size(), QSize(340, 206));
        splash.FadeOut();
        QCOMPARE(splash.windowOpacity(), 0.0);
        QVERIFY(!splash.isVisible());
    }

    // The settings load writes the main window's headings and search-method items, which it can
    // only do once the main window exists and has opened the key.
    void windowsCreatedInOrder_data() {
        QTest::addColumn<int>("AB");
        QTest::addColumn<QString>("heading");
        QTest::addColumn<QString>("firstFixedSide");
        QTest::newRow("A then B") << 0 << "AxB"
                                  << "Закрепить \"A\"";
        QTest::newRow("B then A") << 1 << "BxA"
                                  << "Закрепить \"B\"";
    }
    void windowsCreatedInOrder() {
        QFETCH(int, AB);
        QFETCH(QString, heading);
        QFETCH(QString, firstFixedSide);
        TempUser user;
        TempUser::storeInteger("AB", AB);
        BoxAnswerer boxes;
        Forms forms = MakeForms();
        QVERIFY(forms.mainForm->isVisible());
        QCOMPARE(forms.mainForm->settingsFields(),
                 static_cast<const SettingsFields*>(forms.OptionsForm.get()));
        QVERIFY(!forms.OptionsForm->isVisible());
        QVERIFY(!forms.DuctSizesForm->isVisible());
        Ui::TmainForm* ui = UiOf(forms.mainForm);
        QCOMPARE(ui->ABLabel->text(), heading);
        QCOMPARE(ui->ABOvalLabel->text(), heading);
        QCOMPARE(ui->ZakrepitRazmerRg->itemText(1), firstFixedSide);
        QCOMPARE(ui->ZakrepitRazmerRg->itemIndex(), 0);
        QVERIFY(ui->DuctCb->count() > 0);
        QVERIFY(boxes.boxes.isEmpty());
    }

    // An error met while the windows are created shows above the splash, which stays on top of
    // everything else; a box shown later is an ordinary window. Either is wide enough for its
    // whole caption.
    void errorBoxAboveTheSplash_data() {
        QTest::addColumn<bool>("splash");
        QTest::newRow("during start-up") << true;
        QTest::newRow("without the splash") << false;
    }
    void errorBoxAboveTheSplash() {
        QFETCH(bool, splash);
        TempUser user;
        user.writeFile(QStringLiteral("RoundDuct.txt"), "0,5\r\n");
        std::unique_ptr<TSplashForm> splashForm;
        if (splash) {
            splashForm = std::make_unique<TSplashForm>();
            splashForm->show();
        }
        BoxAnswerer boxes;
        Forms forms = MakeForms();
        QVERIFY(!boxes.boxes.isEmpty());
        const BoxAnswerer::Box& box = boxes.boxes.first();
        QCOMPARE(box.text, QStringLiteral("Invalid numeric input."));
        QCOMPARE(box.onTop, splash);
        QFont title = QApplication::font();
        title.setBold(true);
        QVERIFY(box.width > QFontMetrics(title).horizontalAdvance(box.caption) + 100);
    }

    // The velocity limit that a close stored is shown again at the next start, under the
    // decimal separator of the day; a value the box would not take leaves its design value.
    void velocityShownAgain_data() {
        QTest::addColumn<QString>("typed");  // into VEdit before the close; empty: none
        QTest::addColumn<QString>("stored"); // else stored as it is; null: no value at all
        QTest::addColumn<QString>("shown");
        const QString none; // null
        QTest::newRow("typed whole") << QString("7") << none << QString("7");
        QTest::newRow("typed with decimals") << Local("3,5") << none << Local("3,5");
        QTest::newRow("stored with a point") << none << QString("2.75") << Local("2,75");
        QTest::newRow("stored with a comma") << none << QString("2,75") << Local("2,75");
        QTest::newRow("never stored") << none << none << QString("5");
        QTest::newRow("stored empty") << none << QString("") << QString("5");
        QTest::newRow("not a number") << none << QString("old") << QString("5");
        QTest::newRow("three decimals") << none << QString("4.125") << QString("5");
    }
    void velocityShownAgain() {
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        TempUser user;
        BoxAnswerer boxes;
        if (!typed.isEmpty()) {
            Forms first = MakeForms();
            TypeInto(UiOf(first.mainForm)->VEdit, typed);
            QVERIFY(first.mainForm->close());
        } else if (!stored.isNull()) {
            TempUser::storeString("v", stored);
        }
        Forms forms = MakeForms();
        QTEST(UiOf(forms.mainForm)->VEdit->text(), "shown");
        QVERIFY(boxes.boxes.isEmpty());
    }

    // No key at all: the main window creates it and stops at "mm", the settings load stops at
    // "Shag"; the program goes on with empty size lists. (A message ending in a quote gets no
    // full stop: the quote's code is below that of the full stop.)
    void firstStartWithoutSettings() {
        TempUser user(false);
        BoxAnswerer boxes;
        Forms forms = MakeForms();
        QCOMPARE(boxes.boxes.size(), 2);
        QCOMPARE(boxes.boxes.at(0).text, QStringLiteral("Failed to get data for 'mm'"));
        QCOMPARE(boxes.boxes.at(1).text, QStringLiteral("Failed to get data for 'Shag'"));
        QVERIFY(forms.mainForm->isVisible());
        QVERIFY(forms.mainForm->store().KeyExists(SettingsKey));
        Ui::TmainForm* ui = UiOf(forms.mainForm);
        QCOMPARE(ui->DEdit->count(), 0);
        QCOMPARE(ui->DuctCb->count(), 0);
        QCOMPARE(ui->OvalDuctCb->count(), 0);
        // Closing saves what the next start needs.
        forms.mainForm->close();
        QCOMPARE(TempUser::storedInteger("mm"), 1);
        QCOMPARE(TempUser::storedString("PBar"), QStringLiteral("990"));
    }
};

KALVOR_GUI_TEST(StartupTest);
#include "StartupTest.moc"

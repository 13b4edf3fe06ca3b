// Tests of the settings kept through faults: a start-up whose catalogue or settings load fails
// stores no design value over a stored one, and a settings file that cannot be read is set aside
// and reported once, never answered with the reinstall message.
#include "FormAccess.h"
#include "GuiTest.h"
#include "GuiTestSupport.h"

#include "ui_MainFormUnit.h"
#include "ui_Options.h"

#include "mainwindow/SettingsCheck.h"
#include "settings/SettingsStore.h"
#include "widgets/RadioGroup.h"

#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTest>

#include <functional>
#include <sys/stat.h>

using namespace kalvor;
using namespace kalvor::test;

namespace {

// Answers and records every box.
class Boxes : public BoxAnswerer {
public:
    QStringList texts() const {
        QStringList result;
        for (const Box& message : boxes) {
            result << message.text;
        }
        return result;
    }
};

// Stored values that differ from every design value of the settings window.
void StoreOwnSettings(bool withStep) {
    if (withStep) {
        TempUser::storeInteger("Shag", 70);
    }
    TempUser::storeInteger("mm", 0);
    TempUser::storeInteger("AB", 0);
    TempUser::storeString("t", "-5");
    TempUser::storeString("PBar", "1013");
}

QString HivePath() {
    return QString::fromStdString(UserHivePath());
}

QByteArray HiveBytes() {
    QFile file(HivePath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The names beside the hive that it was set aside under.
QStringList KeptAside() {
    return QFileInfo(HivePath())
        .dir()
        .entryList({"user.reg.unreadable-*"}, QDir::AllEntries | QDir::System);
}

void ClickItem(RadioGroup* group, int index) {
    group->findChild<QRadioButton*>(QString("item%1").arg(index))->click();
}

} // namespace

// What goes wrong before the start-up, done to the test's user.
using Fault = std::function<void(const kalvor::test::TempUser&)>;
Q_DECLARE_METATYPE(Fault)

class SettingsSafetyTest : public QObject {
    Q_OBJECT

private slots:
    // The settings load does not run through; the close stores "v" and nothing over the rest.
    void closeKeepsStoredValues_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<bool>("withStep");
        QTest::addColumn<QStringList>("boxes");
        const QString noStep = "Failed to get data for 'Shag'";
        QTest::newRow("round catalogue missing")
            << Fault([](const TempUser& u) { u.removeFile("RoundDuct.txt"); }) << true
            << QStringList{"File not found.", noStep};
        QTest::newRow("round catalogue malformed")
            << Fault([](const TempUser& u) { u.writeFile("RoundDuct.txt", "0,5\r\n"); }) << true
            << QStringList{"Invalid numeric input.", noStep};
        QTest::newRow("key without a step")
            << Fault([](const TempUser&) {}) << false << QStringList{noStep};
        QTest::newRow("rectangular catalogue missing, settings loaded")
            << Fault([](const TempUser& u) { u.removeFile("Duct.txt"); }) << true
            << QStringList{"File not found."};
    }
    void closeKeepsStoredValues() {
        QFETCH(Fault, fault);
        QFETCH(bool, withStep);
        TempUser user(false);
        StoreOwnSettings(withStep);
        fault(user);
        Boxes boxes;
        Forms forms = MakeForms();
        QTEST(boxes.texts(), "boxes");
        QVERIFY(forms.mainForm->close());
        QCOMPARE(TempUser::storedInteger("mm"), 0);
        QCOMPARE(TempUser::storedInteger("AB"), 0);
        QCOMPARE(TempUser::storedString("t"), "-5");
        QCOMPARE(TempUser::storedString("PBar"), "1013");
        QCOMPARE(TempUser::storedString("v"), "5");
    }

    // What the user changes after a failed load is stored; what the user left is not.
    void userChangesAreStoredAtClose() {
        TempUser user(false);
        StoreOwnSettings(true);
        user.removeFile("RoundDuct.txt");
        Boxes boxes;
        Forms forms = MakeForms();
        Ui::TOptionsForm* options = UiOf(forms.OptionsForm);
        TypeInto(options->PBarEdit, "1000");
        // "BxA" shows as the design value; picked back after "AxB" it is the user's.
        ClickItem(options->ABRadioGroup, 0);
        ClickItem(options->ABRadioGroup, 1);
        forms.OptionsForm->hide();
        QVERIFY(forms.mainForm->close());
        QCOMPARE(TempUser::storedString("PBar"), "1000");
        QCOMPARE(TempUser::storedInteger("AB"), 1);
        QCOMPARE(TempUser::storedInteger("mm"), 0);
        QCOMPARE(TempUser::storedString("t"), "-5");
    }

    // An apply after a failed load stores the step the user typed and keeps the stored rest,
    // which the load that follows then shows.
    void applyAfterAFailedLoadKeepsStoredValues_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<bool>("withStep");
        QTest::newRow("round catalogue missing")
            << Fault([](const TempUser& u) { u.removeFile("RoundDuct.txt"); }) << true;
        QTest::newRow("key without a step") << Fault([](const TempUser&) {}) << false;
    }
    void applyAfterAFailedLoadKeepsStoredValues() {
        QFETCH(Fault, fault);
        QFETCH(bool, withStep);
        TempUser user(false);
        StoreOwnSettings(withStep);
        fault(user);
        Boxes boxes;
        Forms forms = MakeForms();
        Ui::TOptionsForm* options = UiOf(forms.OptionsForm);
        options->ShagLe->setText("60");
        QTest::mouseClick(options->ApplyBtn, Qt::LeftButton);
        QCOMPARE(TempUser::storedInteger("Shag"), 60);
        QCOMPARE(TempUser::storedInteger("mm"), 0);
        QCOMPARE(TempUser::storedInteger("AB"), 0);
        QCOMPARE(TempUser::storedString("t"), "-5");
        QCOMPARE(TempUser::storedString("PBar"), "1013");
        QCOMPARE(options->m_mmRg->itemIndex(), 0);
        QCOMPARE(options->tEdit->text(), "-5");
        QCOMPARE(UiOf(forms.mainForm)->ABLabel->text(), "AxB");
    }

    // A hive that cannot be used is moved aside and named in one box before the windows exist;
    // the program then goes on as after a first start, never with the reinstall message.
    void unusableHiveIsSetAsideAndReported_data() {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QStringList>("boxes"); // those of the start-up that follows
        const QStringList firstStart{"Failed to get data for 'mm'",
                                     "Failed to get data for 'Shag'"};
        const auto garbage = [](const TempUser&) {
            QFile file(HivePath());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("REGEDIT4\r\n\"t\"=\"lost?\"\r\n");
        };
        QTest::newRow("not a hive")
            << Fault(garbage) << "в нём нет настроек в понятном программе виде" << firstStart;
        QTest::newRow("a FIFO") << Fault([](const TempUser&) {
            QFile::remove(HivePath());
            QCOMPARE(::mkfifo(HivePath().toLocal8Bit().constData(), 0600), 0);
        }) << "это не обычный файл"
                                << firstStart;
        QTest::newRow("over 4 MiB") << Fault([](const TempUser&) {
            QFile file(HivePath());
            QVERIFY(file.open(QIODevice::Append));
            file.write(QByteArray(4 * 1024 * 1024, ';'));
        }) << "он больше 4 МиБ" << firstStart;
        QTest::newRow("not a hive, round catalogue missing")
            << Fault([garbage](const TempUser& u) {
                   garbage(u);
                   u.removeFile("RoundDuct.txt");
               })
            << "в нём нет настроек в понятном программе виде"
            << QStringList{"File not found.", "Failed to get data for 'Shag'"};
    }
    void unusableHiveIsSetAsideAndReported() {
        QFETCH(Fault, fault);
        QFETCH(QString, reason);
        TempUser user;
        fault(user);
        const bool regular = QFileInfo(HivePath()).isFile();
        const QByteArray before = regular ? HiveBytes() : QByteArray();
        Boxes boxes;

        QVERIFY(ReportUnusableSettings(nullptr));

        const QStringList kept = KeptAside();
        QCOMPARE(kept.size(), 1);
        const QString keptPath = QFileInfo(HivePath()).dir().filePath(kept.first());
        QCOMPARE(boxes.boxes.size(), 1);
        QVERIFY(boxes.boxes[0].error);
        QCOMPARE(boxes.boxes[0].text,
                 QString("Файл настроек «%1» не удаётся прочитать: %2. Он сохранён под именем "
                         "«%3», программа начинает с новыми настройками.")
                     .arg(HivePath(), reason, keptPath));
        if (regular) {
            QFile keptFile(keptPath);
            QVERIFY(keptFile.open(QIODevice::ReadOnly));
            QCOMPARE(keptFile.readAll(), before);
        }
        QVERIFY(!ReportUnusableSettings(nullptr)); // said once

        boxes.boxes.clear();
        Forms forms = MakeForms();
        QTEST(boxes.texts(), "boxes");
        QVERIFY(!forms.mainForm->closed());
        QVERIFY(forms.mainForm->close());
        QCOMPARE(TempUser::storedString("PBar"), "990"); // a first start's close
        QCOMPARE(KeptAside(), kept);
    }

    // A hive that cannot be read when the settings load runs is no missing installation: the
    // load stops at its first read and the program goes on; the close writes nothing over it.
    void unreadableHiveGetsNoReinstallMessage() {
        TempUser user;
        Boxes boxes;
        Forms forms = MakeForms();
        QVERIFY(boxes.boxes.empty());
        {
            QFile file(HivePath());
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write("not a hive\r\n");
        }
        forms.OptionsForm->FormCreate();
        QCOMPARE(boxes.texts(), QStringList{"Failed to get data for 'Shag'"});
        QVERIFY(!forms.mainForm->closed());
        QVERIFY(forms.mainForm->close());
        QCOMPARE(HiveBytes(), QByteArray("not a hive\r\n"));
    }
};

KALVOR_GUI_TEST(SettingsSafetyTest);
#include "SettingsSafetyTest.moc"

// Tests of the windows under faults: a network file changed by another program before a save,
// exports refused over the network's own file and kept through a link, the fittings dialog's
// count box and an overflowing ζ, and every window opened, edited, closed and destroyed (run under
// the sanitizers too).
#include "FittingsSession.h"
#include "GuiTest.h"
#include "NetworkSession.h"

#include "ui_FittingsForm.h"
#include "ui_MainFormUnit.h"
#include "ui_Options.h"

#include "fittings/FittingsForm.h"
#include "mainwindow/MainFormUnit.h"
#include "network/NetworkFile.h"
#include "settings/Options.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QPushButton>
#include <QSpinBox>
#include <QUndoStack>

#include <unistd.h>

using namespace kalvor;
using namespace kalvor::test;

class NetworkSafetyTest : public QObject {
    Q_OBJECT

private slots:
    // Another program saved the file since it was opened: the save asks, and each answer does
    // what it says; an unchanged file is saved without a word.
    void changedOnDisk_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<double>("lengthOnDisk");   // section 2's length in the file afterwards
        QTest::addColumn<double>("lengthInWindow"); // and in the window
        QTest::newRow("unchanged") << "" << true << 12.0 << 12.0;
        QTest::newRow("Перезаписать") << "Перезаписать" << true << 12.0 << 12.0;
        QTest::newRow("Открыть заново") << "Открыть заново" << false << 99.0 << 99.0;
        QTest::newRow("Отмена") << "Отмена" << false << 99.0 << 12.0;
    }
    void changedOnDisk() {
        QFETCH(QString, answer);
        QFETCH(bool, saved);
        QFETCH(double, lengthOnDisk);
        QFETCH(double, lengthInWindow);
        NetworkSession session;
        QVERIFY(session.opened);
        session.type(1, LengthColumn, "12");
        const QString file = session.path("sample.kalvor.json");
        if (!answer.isEmpty()) {
            QByteArray other = SampleText;
            other.replace("\"length\": 8", "\"length\": 99");
            session.writeFile("sample.kalvor.json", other);
            session.boxes.answers << answer;
        }
        QCOMPARE(session.form->SaveMiClick(), saved);
        QCOMPARE(session.boxes.boxes.size(), answer.isEmpty() ? 0 : 1);
        if (!answer.isEmpty()) {
            const BoxAnswerer::Box& box = session.boxes.boxes.front();
            QVERIFY2(box.text.startsWith(QStringLiteral("Файл изменён другой программой")),
                     qPrintable(box.text));
            QVERIFY(box.text.contains(file));
        }
        QCOMPARE(LoadNetworkFile(file.toStdString()).sections[1].length, lengthOnDisk);
        QCOMPARE(session.form->network().sections[1].length, lengthInWindow);
        QCOMPARE(session.form->isWindowModified(), lengthInWindow != lengthOnDisk);
        // Once saved or opened again, the next save asks nothing.
        if (saved || answer == "Открыть заново") {
            session.type(1, LengthColumn, "13");
            QVERIFY(session.form->SaveMiClick());
            QCOMPARE(session.boxes.boxes.size(), answer.isEmpty() ? 0 : 1);
        }
    }

    // No export replaces the network's own file (by its name or a link to it) or a folder; an
    // export through a link of the user's own keeps the link.
    void exportTargets_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message"); // "" for an export that is written
        for (const char* kind : {"csv", "xlsx", "pdf"}) {
            QTest::addRow("%s over the network", kind) << kind << "sample.kalvor.json"
                                                       << "это файл, из которого он получается";
            QTest::addRow("%s over a link to the network", kind)
                << kind << "link.json"
                << "это файл, из которого он получается";
            QTest::addRow("%s over a folder", kind) << kind << "folder"
                                                    << "это папка, а не файл";
            QTest::addRow("%s through a link", kind) << kind << "out-link"
                                                     << "";
        }
    }
    void exportTargets() {
        QFETCH(QString, kind);
        QFETCH(QString, target);
        QFETCH(QString, message);
        NetworkSession session;
        const QString network = session.path("sample.kalvor.json");
        QVERIFY(QFile::link(network, session.path("link.json")));
        QVERIFY(QDir(session.path("")).mkdir("folder"));
        session.writeFile("real.out", "old");
        QVERIFY(QFile::link(session.path("real.out"), session.path("out-link")));
        const QString path = session.path(target);
        const bool written = kind == "csv"    ? session.form->exportCsv(path)
                             : kind == "xlsx" ? session.form->exportXlsx(path)
                                              : session.form->exportPdf(path);
        QCOMPARE(written, message.isEmpty());
        QCOMPARE(ReadFile(network), SampleText);
        QVERIFY(QFileInfo(session.path("out-link")).isSymLink());
        if (message.isEmpty()) {
            QVERIFY(session.boxes.boxes.isEmpty());
            QVERIFY(ReadFile(session.path("real.out")) != "old");
        } else {
            QCOMPARE(session.boxes.boxes.size(), 1);
            QVERIFY2(session.boxes.boxes.front().text.contains(message),
                     qPrintable(session.boxes.boxes.front().text));
        }
    }

    // A network opened through a link is saved into the link's file; the link stays.
    void saveThroughLink() {
        NetworkSession session(false);
        session.writeFile("real.kalvor.json", SampleText);
        QVERIFY(QFile::link(session.path("real.kalvor.json"), session.path("link.kalvor.json")));
        QVERIFY(session.form->openFile(session.path("link.kalvor.json")));
        session.type(1, LengthColumn, "12");
        QVERIFY(session.form->SaveMiClick());
        QVERIFY(QFileInfo(session.path("link.kalvor.json")).isSymLink());
        QCOMPARE(LoadNetworkFile(session.path("real.kalvor.json").toStdString()).sections[1].length,
                 12.0);
    }

    // The count box shows what is counted: a sign or a 0 stays as typed, marked, with OK
    // unavailable; a count it holds is taken.
    void countBox_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("taken");
        QTest::newRow("a count") << "5" << true;
        QTest::newRow("negative") << "-3" << false;
        QTest::newRow("zero") << "0" << false;
        QTest::newRow("nothing") << "" << false;
    }
    void countBox() {
        QFETCH(QString, typed);
        QFETCH(bool, taken);
        TempUser user;
        TFittingsForm dialog(nullptr);
        dialog.addFitting("elbow-round");
        auto* count = FieldOf<QSpinBox>(dialog, "count");
        dialog.show();
        QVERIFY(Focus(count));
        count->selectAll();
        QTest::keyClick(count, Qt::Key_Backspace);
        QTest::keyClicks(count, typed);
        QCOMPARE(count->text(), typed);
        QCOMPARE(OkEnabled(dialog), taken);
        QCOMPARE(dialog.acceptable(), taken);
        const QString problem = Form(dialog)->ProblemLbl->text();
        QCOMPARE(problem.isEmpty(), taken);
        if (taken) {
            QCOMPARE(dialog.fittings().front().count, 5.0);
        } else {
            QVERIFY2(problem.contains(QStringLiteral("целое число от 1 до 1000000")),
                     qPrintable(problem));
        }
    }

    // A ζ that overflows is refused at its field: OK unavailable, no sum shown.
    void overflowingZeta() {
        TempUser user;
        TFittingsForm dialog(nullptr);
        dialog.setFittings({{"grille", {{"f", 0.5}, {"f_sec", 1e160}}, 1}});
        QVERIFY(!OkEnabled(dialog));
        QVERIFY(!dialog.sum());
        QVERIFY(Form(dialog)->ProblemLbl->text().contains(QStringLiteral("не конечное число")));
        QVERIFY(!Form(dialog)->SumLbl->text().contains(QStringLiteral("inf")));
    }

    // Every window opened, edited and closed, then all destroyed: under the sanitizers a signal
    // reaching a window's freed member ends the run.
    void windowsOpenedEditedClosed() {
        NetworkSession session;
        QPointer<TNetworkForm> network = session.form;
        QPointer<TmainForm> main = session.forms.mainForm.get();
        session.form->show();
        session.type(1, LengthColumn, "12");
        session.form->undoStack()->undo();
        session.type(1, LengthColumn, "14");
        session.boxes.answers << "Не сохранять";
        QVERIFY(session.form->close());

        TOptionsForm& options = *session.forms.OptionsForm;
        options.show();
        TypeInto(UiOf(&options)->tEdit, "25");
        options.close();
        session.forms.DuctSizesForm->show();
        session.forms.DuctSizesForm->close();
        {
            TFittingsForm dialog(main);
            dialog.addFitting("elbow-round");
            TypeInto(FieldOf(dialog, "r_d"), "2");
            dialog.show();
            QTest::keyClick(&dialog, Qt::Key_Escape);
        }
        TypeInto(UiOf(main.data())->Qedit, "3600");

        session.forms = {};
        QVERIFY(network.isNull());
        QVERIFY(main.isNull());
    }
};

KALVOR_GUI_TEST(NetworkSafetyTest);
#include "NetworkSafetyTest.moc"

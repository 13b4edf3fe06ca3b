// Tests of "Подбор КМС…" in the network window: the current section's fittings beside its typed
// Σζ, put in as one edit that undo takes back, in the Σζ cell and every figure, and in its file.
#include "FittingsSession.h"
#include "GuiTest.h"
#include "GuiTestSupport.h"
#include "NetworkSession.h"

#include "ui_MainFormUnit.h"

#include "network/NetworkFile.h"

#include <QTest>
#include <QUndoStack>

using namespace kalvor;
using namespace kalvor::test;

class FittingsNetworkTest : public QObject {
    Q_OBJECT

private slots:
    void sectionTakesItsFittings() {
        NetworkSession session;
        QVERIFY(session.opened);
        // Section 2 of the sample: Σζ 1,5 typed; the same section with 1,71 typed by hand.
        session.type(1, 7, "1.71");
        const QString typedZ = session.cell(1, 14);
        const QString typedPath = session.cell(1, 16);
        session.form->undoStack()->undo();
        QCOMPARE(session.cell(1, 7), Local("1,50"));

        session.view->setCurrentIndex(session.index(1, 0));
        bool seen = false;
        WhenShown(
            session.form,
            [](TFittingsForm& dialog) {
                QVERIFY(Form(dialog)->SumLbl->text().startsWith(Local("Σζ = 1,5 (вручную) + 0")));
                dialog.addFitting("elbow-round");
                QCOMPARE(Form(dialog)->SumLbl->text(), Local("Σζ = 1,5 (вручную) + 0,21 = 1,71"));
            },
            QDialogButtonBox::Ok, seen);
        QVERIFY(Focus(session.view));
        QTest::keyClick(session.view, Qt::Key_K, Qt::ControlModifier);
        QVERIFY(seen);
        QCOMPARE(session.form->network().sections[1].fittings.size(), std::size_t{1});
        QCOMPARE(session.form->network().sections[1].kms, 1.5);
        QCOMPARE(session.cell(1, 7), Local("1,71"));
        QCOMPARE(session.cell(1, 14), typedZ);
        QCOMPARE(session.cell(1, 16), typedPath);
        QCOMPARE(session.index(1, 7).data(Qt::EditRole).toString(), Local("1,5"));
        QVERIFY(
            session.index(1, 7)
                .data(Qt::ToolTipRole)
                .toString()
                .contains(QStringLiteral("местных сопротивлений: 1, их Σζ = ") + Local("0,21")));
        QVERIFY(session.form->isWindowModified());

        // Saved with the section, and read back the same.
        QVERIFY(session.form->saveFile(session.path("with.kalvor.json")));
        QCOMPARE(LoadNetworkFile(session.path("with.kalvor.json").toStdString()),
                 session.form->network());

        session.form->undoStack()->undo();
        QVERIFY(session.form->network().sections[1].fittings.empty());
        QCOMPARE(session.cell(1, 7), Local("1,50"));
        QVERIFY(session.boxes.boxes.isEmpty());
    }

    // "Из калькулятора" after "Подбор КМС" in the calculator: the section takes the fittings
    // (its typed part 0), so its Σζ is their exact sum; once the box is typed over, the number.
    void fromCalculatorWithItsFittings() {
        NetworkSession session;
        Ui::TmainForm* main = UiOf(session.forms.mainForm);
        main->Qedit->setText("1500");
        main->LLe->setText("7");
        main->DEdit->setEditText("250");
        bool seen = false;
        WhenShown(
            session.forms.mainForm.get(),
            [](TFittingsForm& dialog) {
                dialog.addFitting("elbow-rect");
                TypeInto(FieldOf(dialog, "angle"), "45");
            },
            QDialogButtonBox::Ok, seen);
        main->KmsMi->trigger();
        QVERIFY(seen);
        QCOMPARE(main->KMSLe->text(), Local("0,13")); // 0,126 in the box's two decimals

        session.view->setCurrentIndex(session.index(0, 0));
        session.ui->FromRoundMi->trigger();
        const NetworkSection& added = session.form->network().sections.back();
        QCOMPARE(added.kms, 0.0);
        QCOMPARE(added.fittings.size(), std::size_t{1});
        QCOMPARE(added.fittings[0].type, std::string("elbow-rect"));
        QCOMPARE(session.cell(4, 7), Local("0,13")); // 0,126 to the column's two decimals

        TypeInto(main->KMSLe, "0,2");
        session.ui->FromRoundMi->trigger();
        QCOMPARE(session.form->network().sections.back().kms, 0.2);
        QVERIFY(session.form->network().sections.back().fittings.empty());
    }
};

KALVOR_GUI_TEST(FittingsNetworkTest);
#include "FittingsNetworkTest.moc"

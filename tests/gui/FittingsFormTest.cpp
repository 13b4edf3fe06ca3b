// Tests of the dialog "Подбор КМС": the live ζ and sum, a refused parameter at its field with OK
// unavailable, a value taken at a table's end; from the calculator, OK writing the sum into
// "Сумма КМС" and the labels following.
#include "FittingsSession.h"
#include "FormAccess.h"
#include "GuiTest.h"
#include "GuiTestSupport.h"
#include "WindowTest.h"

#include "ui_FittingsForm.h"
#include "ui_MainFormUnit.h"

#include "fittings/FittingsForm.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <functional>

using namespace kalvor;
using namespace kalvor::test;

class FittingsFormTest : public WindowTest {
    Q_OBJECT

private slots:
    // ζ and the sum follow every field as it is typed: a 90° elbow of R/D 1 is 0,21, of R/D 2
    // 0,15 (Idelchik's B1); three of them 0,45; a rectangular elbow 90°, R/b 1, h/b 0,5 adds
    // 0,21·1,17 = 0,2457.
    void liveZetaAndSum() {
        TFittingsForm dialog(main());
        QCOMPARE(Form(dialog)->SumLbl->text(), QStringLiteral("Σζ = 0"));
        dialog.addFitting("elbow-round");
        QCOMPARE(Cell(dialog, 0, NameColumn), QStringLiteral("Отвод круглый гладкий"));
        QCOMPARE(Cell(dialog, 0, ZetaColumn), Local("0,21"));
        QVERIFY(
            Form(dialog)->SourceLbl->text().contains(QStringLiteral("Идельчик, диаграмма 6-1")));

        TypeInto(FieldOf(dialog, "r_d"), "2");
        QCOMPARE(Cell(dialog, 0, ZetaColumn), Local("0,15"));
        FieldOf<QSpinBox>(dialog, "count")->setValue(3);
        QCOMPARE(Cell(dialog, 0, CountColumn), QStringLiteral("3"));
        QCOMPARE(Cell(dialog, 0, ProductColumn), Local("0,45"));
        QCOMPARE(Form(dialog)->SumLbl->text(), Local("Σζ = 0,45"));

        // Added from the lists, as a user picks family and type.
        Form(dialog)->FamilyCb->setCurrentIndex(
            Form(dialog)->FamilyCb->findText(QStringLiteral("Отводы и колена прямоугольные")));
        Form(dialog)->TypeCb->setCurrentIndex(Form(dialog)->TypeCb->findData("elbow-rect"));
        Form(dialog)->AddBtn->click();
        QCOMPARE(dialog.current(), 1);
        TypeInto(FieldOf(dialog, "h_b"), "0.5");
        QCOMPARE(Cell(dialog, 1, ZetaColumn), Local("0,246"));
        QCOMPARE(Form(dialog)->SumLbl->text(), Local("Σζ = 0,696"));
        QVERIFY(OkEnabled(dialog));
        const std::vector<FittingUse> list = dialog.fittings();
        QCOMPARE(list.size(), std::size_t{2});
        QCOMPARE(list[0].count, 3.0);
        QCOMPARE(list[1].parameters.at("h_b"), 0.5);

        // Back to the first fitting: its own fields, as typed.
        dialog.setCurrent(0);
        QCOMPARE(FieldOf(dialog, "r_d")->text(), QStringLiteral("2"));
        Form(dialog)->DeleteBtn->click();
        QCOMPARE(Form(dialog)->FittingsTw->rowCount(), 1);
        QCOMPARE(Form(dialog)->SumLbl->text(), Local("Σζ = 0,246"));
    }

    // A list handed in comes back as it was when nothing is edited: large counts, whole-number
    // choices, every parameter.
    void listKeptAsGiven() {
        const std::vector<FittingUse> given = {
            {"elbow-round", {{"angle", 45}, {"r_d", 1.5}}, 1500},
            {"elbow-round-segmented", {{"angle", 90}, {"pieces", 4}, {"r_d", 1}}, 2},
        };
        TFittingsForm dialog(main());
        dialog.setFittings(given);
        QCOMPARE(dialog.current(), 0);
        QCOMPARE(Cell(dialog, 0, CountColumn), QStringLiteral("1500"));
        QVERIFY(dialog.fittings() == given);
        dialog.setCurrent(1);
        auto* pieces = FieldOf<QComboBox>(dialog, "pieces");
        QVERIFY(pieces != nullptr);
        QCOMPARE(pieces->currentText(), QStringLiteral("4 звена"));
        pieces->setCurrentIndex(2);
        QCOMPARE(dialog.fittings()[1].parameters.at("pieces"), 5.0);
    }

    // A value outside the accepted range, or no number at all: the field is marked and says why
    // in Russian, the row shows no ζ, OK stays unavailable until it is mended.
    void refusedParameter() {
        TFittingsForm dialog(main());
        dialog.addFitting("elbow-round");
        QLineEdit* field = FieldOf(dialog, "r_d");
        TypeInto(field, "0.3");
        // The messages are Russian texts with a decimal comma whatever the locale, naming the
        // parameter by its symbol beside the field, not by its key in files.
        const QString refusal =
            QStringLiteral("Параметр «Относительный радиус поворота R/D» = 0,3 вне допустимого "
                           "диапазона R/D ≥ 0,5");
        QCOMPARE(Form(dialog)->ProblemLbl->text(), refusal);
        QCOMPARE(field->toolTip(), refusal);
        QVERIFY(!field->styleSheet().isEmpty());
        QVERIFY(FieldOf(dialog, "angle")->styleSheet().isEmpty());
        QCOMPARE(Cell(dialog, 0, ZetaColumn), QStringLiteral("—"));
        QVERIFY(!OkEnabled(dialog));
        QVERIFY(!dialog.acceptable());
        Form(dialog)->ButtonBox->button(QDialogButtonBox::Ok)->click();
        QCOMPARE(dialog.result(), 0); // not accepted

        TypeInto(field, "2*3");
        QCOMPARE(Form(dialog)->ProblemLbl->text(),
                 QStringLiteral("Параметр «Относительный радиус поворота R/D»: «2*3» — не число"));
        QVERIFY(!OkEnabled(dialog));
        TypeInto(field, "");
        QCOMPARE(Form(dialog)->ProblemLbl->text(),
                 QStringLiteral("Не задан параметр «Относительный радиус поворота R/D»"));

        TypeInto(field, "1");
        QCOMPARE(Form(dialog)->ProblemLbl->text(), QString());
        QVERIFY(field->styleSheet().isEmpty());
        QVERIFY(OkEnabled(dialog));
        QCOMPARE(Cell(dialog, 0, ZetaColumn), Local("0,21"));
    }

    // R/D above 40 is taken as 40, and the dialog says so; the range beside the field shows
    // both the accepted range and the table's.
    void valueTakenAtTheTablesEnd() {
        TFittingsForm dialog(main());
        dialog.addFitting("elbow-round");
        TypeInto(FieldOf(dialog, "r_d"), "40");
        const QString atEnd = Cell(dialog, 0, ZetaColumn);
        QVERIFY(!Form(dialog)->SourceLbl->text().contains(QStringLiteral("вне таблицы")));
        TypeInto(FieldOf(dialog, "r_d"), "55");
        QCOMPARE(Cell(dialog, 0, ZetaColumn), atEnd);
        QVERIFY(OkEnabled(dialog));
        QVERIFY2(Form(dialog)->SourceLbl->text().contains(
                     QStringLiteral("«Относительный радиус поворота R/D» вне таблицы")),
                 qPrintable(Form(dialog)->SourceLbl->text()));
        bool rangeShown = false;
        for (const QLabel* label : dialog.findChildren<QLabel*>()) {
            rangeShown =
                rangeShown || label->text() == QStringLiteral("R/D ≥ 0,5; по таблице до 40");
        }
        QVERIFY(rangeShown);
    }

    // Ctrl+K in the calculator: OK writes the sum (two decimals, as the box holds) into "Сумма КМС"
    // and every label follows as if it had been typed; Cancel changes nothing; the list comes
    // back while the box still holds its sum.
    void calculatorTakesTheSum() {
        TypeInto(ui()->Qedit, "3600");
        TypeInto(ui()->DuctCb, "500*300");
        TypeInto(ui()->DEdit, "400");
        TypeInto(ui()->LLe, "10");
        TypeInto(ui()->KMSLe, "0,36");
        const QString typedRect = ui()->DuctPLabel->text();
        const QString typedRound = ui()->RoundDuctPLabel->text();
        TypeInto(ui()->KMSLe, "1");
        QVERIFY(ui()->DuctPLabel->text() != typedRect);

        bool seen = false;
        WhenShown(
            this,
            [](TFittingsForm& dialog) {
                QVERIFY(dialog.isModal());
                QCOMPARE(dialog.windowTitle(), QStringLiteral("Подбор КМС"));
                QCOMPARE(dialog.fittings().size(), std::size_t{0});
                dialog.addFitting("elbow-round");
                dialog.addFitting("elbow-round");
                TypeInto(FieldOf(dialog, "r_d"), "2");
            },
            QDialogButtonBox::Ok, seen);
        QVERIFY(Focus(ui()->Qedit));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::ControlModifier);
        QVERIFY(seen);
        QCOMPARE(ui()->KMSLe->text(), Local("0,36"));
        QCOMPARE(ui()->DuctPLabel->text(), typedRect);
        QCOMPARE(ui()->RoundDuctPLabel->text(), typedRound);

        // Opened again: the two elbows; Cancel leaves the box as it is.
        seen = false;
        WhenShown(
            this,
            [](TFittingsForm& dialog) {
                QCOMPARE(dialog.fittings().size(), std::size_t{2});
                dialog.addFitting("elbow-round");
            },
            QDialogButtonBox::Cancel, seen);
        ui()->KmsMi->trigger();
        QVERIFY(seen);
        QCOMPARE(ui()->KMSLe->text(), Local("0,36"));

        // A sum typed over by hand: the list no longer belongs to the box.
        TypeInto(ui()->KMSLe, "2");
        seen = false;
        WhenShown(
            this, [](TFittingsForm& dialog) { QCOMPARE(dialog.fittings().size(), std::size_t{0}); },
            QDialogButtonBox::Cancel, seen);
        ui()->KmsMi->trigger();
        QVERIFY(seen);
        QCOMPARE(ui()->KMSLe->text(), QStringLiteral("2"));
        QVERIFY(boxes().isEmpty());
    }
};

KALVOR_GUI_TEST(FittingsFormTest);
#include "FittingsFormTest.moc"

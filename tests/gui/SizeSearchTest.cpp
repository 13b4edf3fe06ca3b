// Tests of the size search on the real main window: catalogue rows, stepped sides, the order and
// units of the written texts, the failure texts and the three messages.
#include "FormAccess.h"
#include "GuiTest.h"
#include "GuiTestSupport.h"
#include "WindowTest.h"

#include "catalogues/CatalogueFile.h"
#include "ui_MainFormUnit.h"
#include "widgets/RadioGroup.h"

#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <memory>

using namespace kalvor;
using namespace kalvor::test;

namespace {

const QString ErrorCaption = QStringLiteral("Ошибка");
const QString NoStep = QStringLiteral("Введите пожалуйста шаг подбора нестандартных воздуходов");

// Small catalogues whose areas are easy to follow: rectangular 0.02, 0.1 (exactly 1800 m3/h at
// 5 m/s), 0.15; flat-oval rows 1 and 2 of about 0.112 and 0.221 m2.
void WriteSmallCatalogues() {
    WriteSizeCatalogue(DuctShape::Round, {{0.1, 0.4}, {}});
    WriteSizeCatalogue(DuctShape::Rectangular, {{0.2, 0.5, 0.5}, {0.1, 0.2, 0.3}});
    WriteSizeCatalogue(DuctShape::FlatOval, {{0.3, 0.5, 0.8}, {0.1, 0.25, 0.3}});
}

} // namespace

class SizeSearchTest : public WindowTest {
    Q_OBJECT

    void enter(const QString& flow, const QString& velocity, const QString& rectangular = {}) {
        TypeInto(ui()->Qedit, flow);
        TypeInto(ui()->VEdit, velocity);
        if (!rectangular.isNull()) {
            TypeInto(ui()->DuctCb, rectangular);
        }
    }

    void search() { QTest::mouseClick(ui()->FindSizesBtn, Qt::LeftButton); }

    QStringList sizeTexts() const {
        return {ui()->DEdit->currentText(), ui()->DuctCb->currentText(),
                ui()->OvalDuctCb->currentText()};
    }

private slots:

    void standardSizesInTheStoredUnitsAndOrder_data() {
        QTest::addColumn<int>("mm");
        QTest::addColumn<int>("ab");
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("millimetres, A first") << 1 << 0 << QStringList{"400", "500*300", "800*300"};
        QTest::newRow("millimetres, B first") << 1 << 1 << QStringList{"400", "300*500", "300*800"};
        QTest::newRow("metres, A first") << 0 << 0 << QStringList{"0,4", "0,5*0,3", "0,8*0,3"};
        QTest::newRow("metres, B first") << 0 << 1 << QStringList{"0,4", "0,3*0,5", "0,3*0,8"};
    }

    // 3600 m3/h at 5 m/s needs 0.2 m2: no round or rectangular row suffices (the last is taken),
    // the flat-oval scan reaches its third row.
    void standardSizesInTheStoredUnitsAndOrder() {
        QFETCH(int, mm);
        QFETCH(int, ab);
        QFETCH(QStringList, texts);
        WriteSmallCatalogues();
        TempUser::storeInteger("mm", mm);
        TempUser::storeInteger("AB", ab);
        enter("3600", "5");
        search();
        for (QString& text : texts) {
            text = Local(text);
        }
        QCOMPARE(sizeTexts(), texts);
        QVERIFY(boxes().isEmpty());
    }

    // A row of exactly the needed area is taken, and the recalculation shows its velocity.
    void rowOfExactlyTheNeededArea() {
        WriteSmallCatalogues();
        enter("1800", "5");
        search();
        QCOMPARE(ui()->DuctCb->currentText(), QStringLiteral("500*200"));
        QCOMPARE(ui()->DuctVLabel->text(), QStringLiteral("V= 5[m/s]"));
    }

    // With no flow every scan takes its start row: the flat-oval scan starts at the second row.
    void noFlowTakesTheStartRows() {
        const SizeCatalogue oval = ReadSizeCatalogue(DuctShape::FlatOval);
        QVERIFY(oval.A.size() >= 2);
        enter("", "5");
        search();
        QCOMPARE(ui()->DEdit->currentText(), QStringLiteral("100"));
        const QString second = QString::number(qRound(oval.A[1] * 1000)) + QLatin1Char('*') +
                               QString::number(qRound(oval.B[1] * 1000));
        QCOMPARE(ui()->OvalDuctCb->currentText(), second);
    }

    void largestRowsWhenNoneSuffices() {
        enter("1000000", "1");
        search();
        QCOMPARE(sizeTexts(), (QStringList{"2000", "2000*1000", "2000*500"}));
    }

    void steppedFreeSide_data() {
        QTest::addColumn<QString>("flow");
        QTest::addColumn<QString>("velocity");
        QTest::addColumn<int>("shag");
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("found");
        // Eight additions of 0.05 fall just short of 0.4 m: a ninth is taken.
        QTest::newRow("hold A, 1800 at 5") << "1800"
                                           << "5" << 50 << 1 << "250*300"
                                           << "250*450";
        QTest::newRow("hold A, 3600 at 4") << "3600"
                                           << "4" << 100 << 1 << "500*300"
                                           << "500*500";
        QTest::newRow("hold B") << "1800"
                                << "5" << 50 << 2 << "300*250"
                                << "450*250";
        QTest::newRow("no flow: no step") << ""
                                          << "5" << 50 << 1 << "250*300"
                                          << "250*0";
    }

    void steppedFreeSide() {
        QFETCH(QString, flow);
        QFETCH(QString, velocity);
        QFETCH(int, shag);
        QFETCH(int, method);
        QFETCH(QString, typed);
        QFETCH(QString, found);
        TempUser::storeInteger("Shag", shag);
        TempUser::storeInteger("AB", 1); // the order plays no part in the stepped search
        enter(flow, velocity, typed);
        ui()->ZakrepitRazmerRg->setItemIndex(method);
        search();
        QCOMPARE(ui()->DuctCb->currentText(), found);
        QVERIFY(boxes().isEmpty());
    }

    void failureTexts_data() {
        QTest::addColumn<QString>("velocity");
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("removed");
        QTest::addColumn<QByteArray>("roundFile");
        QTest::newRow("no velocity") << "" << 0 << "500*300"
                                     << "" << QByteArray();
        QTest::newRow("velocity 0 with a held side") << "0" << 1 << "500*300"
                                                     << "" << QByteArray();
        QTest::newRow("rectangular catalogue missing, held side") << "5" << 1 << "500*300"
                                                                  << "Duct.txt" << QByteArray();
        QTest::newRow("flat-oval catalogue missing") << "5" << 0 << ""
                                                     << "OvalDuct.txt" << QByteArray();
        QTest::newRow("empty round catalogue") << "5" << 0 << ""
                                               << "" << QByteArray("");
        QTest::newRow("unreadable round catalogue") << "5" << 0 << ""
                                                    << "" << QByteArray("0,5\r\n");
        // 1 mm held and 1 mm steps would need over ten million additions for 11 m2.
        QTest::newRow("too many steps") << "5" << 1 << "1*300"
                                        << "" << QByteArray();
    }

    // Any failure: "0*0", "0*0" and "0", no message; the recalculation then shows the reset
    // texts of all three sections, so no label keeps the results of a size no longer shown.
    void failureTexts() {
        QFETCH(QString, velocity);
        QFETCH(int, method);
        QFETCH(QString, typed);
        QFETCH(QString, removed);
        QFETCH(QByteArray, roundFile);
        TempUser::storeInteger("Shag", 1);
        if (!removed.isEmpty()) {
            m_user->removeFile(removed);
        }
        if (!roundFile.isNull()) {
            m_user->writeFile(QStringLiteral("RoundDuct.txt"), roundFile);
        }
        enter("200000", velocity, typed);
        TypeInto(ui()->OvalDuctCb, "500*250");
        TypeInto(ui()->DEdit, "400");
        ui()->ZakrepitRazmerRg->setItemIndex(method);
        QVERIFY(ui()->OvalDuctVLabel->text() != QStringLiteral("V= "));
        QVERIFY(ui()->DVLabel->text() != QStringLiteral("V="));
        search();
        QCOMPARE(sizeTexts(), (QStringList{"0", "0*0", "0*0"}));
        for (const QLabel* label : {ui()->DuctVLabel, ui()->OvalDuctVLabel}) {
            QCOMPARE(label->text(), QStringLiteral("V= "));
        }
        QCOMPARE(ui()->DEqDuctLabel->text(), QStringLiteral("De="));
        QCOMPARE(ui()->OvalDuctPLabel->text(), QStringLiteral("P="));
        QCOMPARE(ui()->DVLabel->text(), QStringLiteral("V="));
        QCOMPARE(ui()->RoundDuctPdLabel->text(), QStringLiteral("Pd="));
        QVERIFY(boxes().isEmpty());
    }

    void messagesOfTheSteppedSearch_data() {
        QTest::addColumn<int>("shag");
        QTest::addColumn<int>("method");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        QTest::newRow("no A") << 50 << 1 << "0*300" << QStringLiteral("Проверьте размер А");
        QTest::newRow("no B") << 50 << 2 << "300*0" << QStringLiteral("Проверьте размер B");
        QTest::newRow("zero step") << 0 << 1 << "250*300" << NoStep;
        QTest::newRow("negative step") << -5 << 2 << "250*300" << NoStep;
    }

    // The message stops the run: the round size is already written and the other boxes keep
    // their texts; the recalculation then shows the round results of the new diameter.
    void messagesOfTheSteppedSearch() {
        QFETCH(int, shag);
        QFETCH(int, method);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        TempUser::storeInteger("Shag", shag);
        enter("3600", "5", typed);
        ui()->ZakrepitRazmerRg->setItemIndex(method);
        const QString oval = ui()->OvalDuctCb->currentText();
        ui()->DEdit->setEditText(QStringLiteral("100"));
        const QString rectangularV = ui()->DuctVLabel->text();
        QCOMPARE(ui()->DVLabel->text(), Local("V= 127,32[m/s]"));
        search();
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes()[0].caption, ErrorCaption);
        QCOMPARE(boxes()[0].text, message);
        QVERIFY(!boxes()[0].error);
        QCOMPARE(ui()->DEdit->currentText(), QStringLiteral("560")); // 0.2 m2 of the round series
        QCOMPARE(ui()->DuctCb->currentText(), typed);
        QCOMPARE(ui()->OvalDuctCb->currentText(), oval);
        QCOMPARE(ui()->DVLabel->text(), Local("V= 4,06[m/s]")); // 3600 m3/h through 560 mm
        QCOMPARE(ui()->DuctVLabel->text(), rectangularV);
    }

    // The lists and their selected items stay as they were; only the edit texts change.
    void listsAreLeftAlone() {
        const int items = ui()->DuctCb->count();
        const int selected = ui()->DuctCb->currentIndex();
        enter("3600", "5");
        search();
        QCOMPARE(ui()->DuctCb->count(), items);
        QCOMPARE(ui()->DuctCb->currentIndex(), selected);
        QVERIFY(ui()->DuctCb->currentText() != ui()->DuctCb->itemText(selected));
    }
};

KALVOR_GUI_TEST(SizeSearchTest);

#include "SizeSearchTest.moc"

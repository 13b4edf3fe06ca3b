// Tests of the recalculation on the real windows: the example typed as a user types it, the flow
// boxes in step, reset texts, errors in the standard error box, the key filter.
#include "FormAccess.h"
#include "GuiTest.h"
#include "GuiTestSupport.h"
#include "WindowTest.h"

#include "ui_MainFormUnit.h"
#include "widgets/KeyFilter.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QTest>

#include <memory>

using namespace kalvor;
using namespace kalvor::test;

namespace {

// Every result label: its section, its text for the example, its reset text.
struct LabelCase {
    const char* name;
    char section; // 'R' rectangular, 'F' flat-oval, 'D' round
    const char* example;
    const char* reset;
};

const LabelCase Labels[] = {
    {"DuctVLabel", 'R', "V= 6,67[m/s]", "V= "},
    {"DuctRLabel", 'R', "R=1,33[Pa/m]", "R="},
    {"DEqDuctLabel", 'R', "De=0,375[m]", "De="},
    {"DuctPdLabel", 'R', "Pd= 28,088[Pa]", "Pd="},
    {"DuctPLabel", 'R', "P= 41,367[Pa]", "P="},
    {"OvalDuctVLabel", 'F', "V= 8,96[m/s]", "V= "},
    {"OvalDuctRLabel", 'F', "R=2,53[Pa/m]", "R="},
    {"OvalDuctDeLabel", 'F', "De=0,347[m]", "De="},
    {"OvalDuctPdLabel", 'F', "Pd= 50,754[Pa]", "Pd="},
    {"OvalDuctPLabel", 'F', "P= 76,081[Pa]", "P="},
    {"DVLabel", 'D', "V= 7,96[m/s]", "V="},
    {"RoundDuctRLabel", 'D', "R=1,701[Pa/m]", "R="},
    {"RoundDuctPdLabel", 'D', "Pd=40,02[Pa]", "Pd="},
    {"RoundDuctPLabel", 'D', "P= 57,029[Pa]", "P="},
};

} // namespace

class RecalculationTest : public WindowTest {
    Q_OBJECT
    QLabel* label(const char* name) const {
        return m_forms.mainForm->findChild<QLabel*>(QString::fromLatin1(name));
    }
    QWidget* box(const QString& name) const { return m_forms.mainForm->findChild<QWidget*>(name); }

    // The example: millimetres, 0 °C, 990 hPa, steel everywhere, typed key by key.
    void typeExample() {
        TypeInto(ui()->DuctCb, "500*300");
        TypeInto(ui()->OvalDuctCb, "500*250");
        TypeInto(ui()->DEdit, "400");
        TypeInto(ui()->LLe, "10");
        TypeInto(ui()->KMSLe, "1");
        TypeInto(ui()->Qedit, "3600");
    }

    // Every label shows its reset text when its section is listed, its example text otherwise.
    void verifyLabels(const QString& resetSections) {
        for (const LabelCase& c : Labels) {
            const QString expected = resetSections.contains(QLatin1Char(c.section))
                                         ? QString::fromUtf8(c.reset)
                                         : Local(QString::fromUtf8(c.example));
            QCOMPARE(label(c.name)->text(), expected);
        }
    }

private slots:

    void exampleLabels_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("expected");
        for (const LabelCase& c : Labels) {
            QTest::newRow(c.name) << QString::fromLatin1(c.name)
                                  << Local(QString::fromUtf8(c.example));
        }
    }
    void exampleLabels() {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        typeExample();
        QCOMPARE(label(name.toLatin1().constData())->text(), expected);
        QCOMPARE(ui()->LEdit->text(), QStringLiteral("1000"));
        QVERIFY(boxes().isEmpty());
    }

    void flowBoxesInStep_data() {
        QTest::addColumn<QString>("typedBox");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("partnerBox");
        QTest::addColumn<QString>("partnerText");
        QTest::newRow("m3/h to l/s, two decimals") << "Qedit"
                                                   << ""
                                                   << "1000"
                                                   << "LEdit" << Local("277,78");
        QTest::newRow("l/s to m3/h") << "LEdit"
                                     << ""
                                     << "100"
                                     << "Qedit"
                                     << "360";
        QTest::newRow("l/s with decimals") << "LEdit"
                                           << "" << Local("0,5") << "Qedit" << Local("1,8");
        QTest::newRow("flow cleared empties l/s") << "Qedit"
                                                  << "1000"
                                                  << ""
                                                  << "LEdit"
                                                  << "";
        QTest::newRow("l/s cleared empties flow") << "LEdit"
                                                  << "100"
                                                  << ""
                                                  << "Qedit"
                                                  << "";
    }
    void flowBoxesInStep() {
        QFETCH(QString, typedBox);
        QFETCH(QString, before);
        QFETCH(QString, typed);
        QFETCH(QString, partnerBox);
        QFETCH(QString, partnerText);
        if (!before.isEmpty()) {
            TypeInto(box(typedBox), before);
        }
        TypeInto(box(typedBox), typed);
        QCOMPARE(qobject_cast<QLineEdit*>(box(partnerBox))->text(), partnerText);
        QCOMPARE(qobject_cast<QLineEdit*>(box(typedBox))->text(), typed);
        // A change anywhere else writes neither flow box.
        TypeInto(ui()->KMSLe, "3");
        QCOMPARE(qobject_cast<QLineEdit*>(box(partnerBox))->text(), partnerText);
    }

    void resetTexts_data() {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("resetSections");
        QTest::newRow("no flow") << "Qedit"
                                 << ""
                                 << "RFD";
        QTest::newRow("flow 0") << "Qedit"
                                << "0"
                                << "RFD";
        QTest::newRow("negative flow") << "Qedit"
                                       << "-5"
                                       << "RFD";
        QTest::newRow("flow starting with the separator") << "Qedit" << Local(",5") << "RFD";
        QTest::newRow("rectangular emptied") << "DuctCb"
                                             << ""
                                             << "R";
        QTest::newRow("rectangular without second part") << "DuctCb"
                                                         << "500*"
                                                         << "R";
        QTest::newRow("rectangular with a zero side") << "DuctCb"
                                                      << "0*300"
                                                      << "R";
        QTest::newRow("flat-oval emptied") << "OvalDuctCb"
                                           << ""
                                           << "F";
        QTest::newRow("flat-oval without star") << "OvalDuctCb"
                                                << "500"
                                                << "F";
        QTest::newRow("round emptied") << "DEdit"
                                       << ""
                                       << "D";
        QTest::newRow("round diameter 0") << "DEdit"
                                          << "0"
                                          << "D";
    }
    void resetTexts() {
        QFETCH(QString, boxName);
        QFETCH(QString, text);
        QFETCH(QString, resetSections);
        typeExample();
        TypeInto(box(boxName), text);
        verifyLabels(resetSections);
        QVERIFY(boxes().isEmpty());
    }

    void bothTwoSidedSizesEmptiedKeepRoundResults() {
        typeExample();
        TypeInto(ui()->DuctCb, "");
        TypeInto(ui()->OvalDuctCb, "");
        TypeInto(ui()->KMSLe, "1"); // one more run with both boxes empty
        verifyLabels(QStringLiteral("RF"));
    }

    // "0" and the separator: no flow or diameter under a comma locale; under a point locale the
    // text is not "0," and converts to zero, which ends in a division by zero.
    void zeroWithSeparator_data() {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("resetSections");
        QTest::newRow("flow") << "Qedit"
                              << "RFD";
        QTest::newRow("diameter") << "DEdit"
                                  << "D";
    }
    void zeroWithSeparator() {
        QFETCH(QString, boxName);
        QFETCH(QString, resetSections);
        typeExample();
        TypeInto(box(boxName), "0,");
        if (SystemDecimalSeparator() == ',') {
            verifyLabels(resetSections);
            QVERIFY(boxes().isEmpty());
        } else {
            QVERIFY(!boxes().isEmpty());
            QCOMPARE(boxes().last().text, QStringLiteral("Floating point division by zero."));
        }
    }

    void emptyLengthCountsAsZero() {
        typeExample();
        TypeInto(ui()->LLe, "");
        TypeInto(ui()->KMSLe, "2");
        QCOMPARE(ui()->LLe->text(), QString());
        QCOMPARE(ui()->DuctPdLabel->text(), Local("Pd= 28,088[Pa]"));
        QCOMPARE(ui()->DuctPLabel->text(), Local("P= 56,176[Pa]")); // 2 x 28,08797
    }

    // A flat-oval size text shows the overall width first under "AxB" and the height first
    // under "BxA": the catalogue size 300×100 is the same duct either way.
    void flatOvalSameDuctInEitherOrder_data() {
        QTest::addColumn<int>("ab");
        QTest::addColumn<QString>("text");
        QTest::newRow("AxB") << 0 << "300*100";
        QTest::newRow("BxA") << 1 << "100*300";
    }
    void flatOvalSameDuctInEitherOrder() {
        QFETCH(int, ab);
        QFETCH(QString, text);
        TempUser::storeInteger("AB", ab);
        TypeInto(ui()->Qedit, "333");
        TypeInto(ui()->OvalDuctCb, text);
        QCOMPARE(ui()->OvalDuctVLabel->text(), Local("V= 3,32[m/s]"));
        QCOMPARE(ui()->OvalDuctDeLabel->text(), Local("De=0,156[m]"));
        QCOMPARE(ui()->OvalDuctRLabel->text(), Local("R=1,11[Pa/m]"));
        QCOMPARE(ui()->OvalDuctPdLabel->text(), Local("Pd= 6,97[Pa]"));
        // The rectangular reading does not depend on the order.
        TypeInto(ui()->DuctCb, text);
        QCOMPARE(ui()->DuctVLabel->text(), Local("V= 3,08[m/s]"));
    }

    // A text far longer than a double can carry is refused by the flow box, by paste as by
    // typing; the unfocused box paints without throwing and no label ever shows an infinity.
    void longNumberNeverReachesALabel() {
        typeExample();
        const QString before = ui()->Qedit->text();
        QVERIFY(Focus(ui()->Qedit));
        QApplication::clipboard()->setText(QString(400, QLatin1Char('9')));
        ui()->Qedit->selectAll();
        QTest::keyClick(ui()->Qedit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(ui()->Qedit->text(), before);
        TypeMore(ui()->Qedit, QString(30, QLatin1Char('9')));
        QCOMPARE(ui()->Qedit->text().size(), 15);
        QVERIFY(Focus(ui()->KMSLe));
        ui()->Qedit->repaint();
        QVERIFY(!ui()->Qedit->grab().isNull());
        for (const LabelCase& c : Labels) {
            const QString text = label(c.name)->text().toUpper();
            QVERIFY2(!text.contains(QLatin1String("INF")) && !text.contains(QLatin1String("NAN")),
                     qPrintable(text));
        }
    }

    void velocityAndMethodChangeNothing() {
        typeExample();
        TypeInto(ui()->VEdit, "8");
        QTest::mouseClick(ui()->ZakrepitRazmerRg->findChild<QWidget*>("item1"), Qt::LeftButton, {},
                          QPoint(5, 5));
        QCOMPARE(ui()->ZakrepitRazmerRg->itemIndex(), 1);
        verifyLabels(QString());
    }

    void materialChangesOnlyItsSection() {
        typeExample();
        ui()->MaterialCb->setCurrentIndex(2); // as a pick from the list
        QVERIFY(ui()->DuctRLabel->text() != Local("R=1,33[Pa/m]"));
        QCOMPARE(ui()->OvalDuctRLabel->text(), Local("R=2,53[Pa/m]"));
        QCOMPARE(ui()->DuctVLabel->text(), Local("V= 6,67[m/s]"));
    }

    void errorsShowTheStandardBox_data() {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("untouchedSection");
        QTest::addColumn<QString>("goodText");
        QTest::newRow("diameter 00") << "DEdit"
                                     << "00"
                                     << "Floating point division by zero."
                                     << "R"
                                     << "400";
        QTest::newRow("bad second part") << "DuctCb"
                                         << "500*3-0"
                                         << "'3-0' is not a valid floating point value."
                                         << "F"
                                         << "500*300";
        QTest::newRow("two stars") << "OvalDuctCb"
                                   << "500*300*2"
                                   << "'300*2' is not a valid floating point value."
                                   << "R"
                                   << "500*250";
    }
    void errorsShowTheStandardBox() {
        QFETCH(QString, boxName);
        QFETCH(QString, text);
        QFETCH(QString, message);
        QFETCH(QString, untouchedSection);
        QFETCH(QString, goodText);
        typeExample();
        TypeInto(box(boxName), text);
        QVERIFY(!boxes().isEmpty());
        const BoxAnswerer::Box& shown = boxes().last();
        QCOMPARE(shown.text, message);
        QCOMPARE(shown.caption, QStringLiteral("Подбор сечений воздуховода"));
        QCOMPARE(shown.icon, QMessageBox::Critical);
        QCOMPARE(shown.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        // Labels written before the error in that run keep their new texts.
        for (const LabelCase& c : Labels) {
            if (untouchedSection.contains(QLatin1Char(c.section))) {
                QCOMPARE(label(c.name)->text(), Local(QString::fromUtf8(c.example)));
            }
        }
        // The window goes on working once the text is put right.
        const qsizetype shownBefore = boxes().size();
        TypeInto(box(boxName), goodText);
        TypeInto(ui()->KMSLe, "1");
        QCOMPARE(boxes().size(), shownBefore);
        verifyLabels(QString());
    }

    // The run that writes the l/s box starts a nested run; an error met there ends both runs and
    // is shown once.
    void nestedRunErrorShownOnce() {
        typeExample();
        TypeInto(ui()->DEdit, "00");
        m_boxes->boxes.clear();
        TypeMore(ui()->Qedit, "5"); // 36005 m3/h: the l/s box changes
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes().first().text, QStringLiteral("Floating point division by zero."));
        QCOMPARE(ui()->LEdit->text(), Local("10001,39"));
    }

    void temperatureFromTheSettingsWindow() {
        typeExample();
        m_forms.OptionsForm->findChild<QLineEdit*>("tEdit")->setText("abc");
        TypeInto(ui()->KMSLe, "2");
        QVERIFY(!boxes().isEmpty());
        QCOMPARE(boxes().last().text, QStringLiteral("'abc' is not a valid floating point value."));
    }

    void keyFilter_data() {
        QTest::addColumn<QString>("boxName");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("expected");
        QTest::newRow("letter swallowed") << "Qedit"
                                          << "12a3"
                                          << "123";
        QTest::newRow("point is the separator") << "Qedit"
                                                << "1.5" << Local("1,5");
        QTest::newRow("comma is the separator") << "VEdit"
                                                << "1,5" << Local("1,5");
        QTest::newRow("star refused by a number box") << "LLe"
                                                      << "1*5"
                                                      << "15";
        QTest::newRow("third decimal refused") << "KMSLe"
                                               << "1,555" << Local("1,55");
        QTest::newRow("second separator refused") << "LEdit"
                                                  << "2,,5" << Local("2,5");
        QTest::newRow("minus passes") << "Qedit"
                                      << "-5"
                                      << "-5";
        QTest::newRow("blank and plus swallowed") << "LLe"
                                                  << "1 0+2"
                                                  << "102";
        QTest::newRow("Cyrillic letter swallowed") << "VEdit"
                                                   << "7ж"
                                                   << "7";
        QTest::newRow("size text") << "DuctCb"
                                   << "500*300a"
                                   << "500*300";
        QTest::newRow("size separators") << "OvalDuctCb"
                                         << "5.5*3,3" << Local("5,5*3,3");
        QTest::newRow("size box lets odd texts through") << "OvalDuctCb"
                                                         << "1-2*3*"
                                                         << "1-2*3*";
        QTest::newRow("diameter") << "DEdit"
                                  << "4x0ж0"
                                  << "400";
        QTest::newRow("second separator in a size box") << "DEdit"
                                                        << "0.5.5" << Local("0,5,5");
    }
    void keyFilter() {
        QFETCH(QString, boxName);
        QFETCH(QString, keys);
        QFETCH(QString, expected);
        TypeInto(box(boxName), "");
        TypeMore(box(boxName), keys);
        QWidget* typed = box(boxName);
        const QString text = qobject_cast<QComboBox*>(typed) != nullptr
                                 ? qobject_cast<QComboBox*>(typed)->currentText()
                                 : qobject_cast<QLineEdit*>(typed)->text();
        QCOMPARE(text, expected);
    }
};

KALVOR_GUI_TEST(RecalculationTest);
#include "RecalculationTest.moc"

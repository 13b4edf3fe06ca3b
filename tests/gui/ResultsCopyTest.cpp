// Tests of "Копировать результаты": the table on the clipboard, its place in the menu, and the
// result labels selectable with the mouse.
#include "FormAccess.h"
#include "GuiTest.h"
#include "GuiTestSupport.h"
#include "WindowTest.h"

#include "ui_MainFormUnit.h"
#include "ui_Options.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QTest>

#include <memory>

using namespace kalvor;
using namespace kalvor::test;

class ResultsCopyTest : public WindowTest {
    Q_OBJECT

    // The table's lines, each split into its cells.
    static QList<QStringList> Cells(const QString& text) {
        QList<QStringList> rows;
        QStringList lines = text.split(QLatin1Char('\n'));
        if (!lines.isEmpty() && lines.last().isEmpty()) {
            lines.removeLast(); // the line feed that ends the last row
        }
        for (const QString& line : lines) {
            rows << line.split(QLatin1Char('\t'));
        }
        return rows;
    }

private slots:

    // The worked example at 20.5 °C with a flexible round duct: every number as its label shows
    // it, with the locale's separator.
    void exampleTable() {
        TypeInto(ui()->DuctCb, "500*300");
        TypeInto(ui()->OvalDuctCb, "500*250");
        TypeInto(ui()->DEdit, "400");
        ui()->MaterialDCb->setCurrentIndex(1);
        TypeInto(ui()->LLe, "10");
        TypeInto(ui()->KMSLe, "1");
        TypeInto(ui()->Qedit, "3600");
        UiOf(m_forms.OptionsForm)->tEdit->setText(Local("20,5"));
        TypeInto(ui()->Qedit, "3600"); // the round results with the new temperature
        QApplication::clipboard()->clear();

        QTest::keyClick(m_forms.mainForm.get(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);

        const QList<QStringList> expected{
            {"Сечение", "Размер", "Материал", "V [м/с]", "R [Па/м]", "De [м]", "Pd [Па]", "P [Па]"},
            {"Прямоугольный", "500*300", "Стальной", Local("6,67"), Local("1,23"), Local("0,375"),
             Local("26,123"), Local("38,473")},
            {"Плоскоовальный", "500*250", "Стальной", Local("8,96"), Local("2,36"), Local("0,347"),
             Local("47,204"), Local("70,759")},
            // The flexible round duct; it shows no equivalent diameter.
            {"Круглый", "400", "Гибкий", Local("7,96"), Local("2,994"), "", Local("37,22"),
             Local("67,161")},
            {""},
            {"Расход воздуха [м3/ч]", "3600"},
            {"Расход воздуха [л/с]", "1000"},
            {"Макс. скорость [м/с]", "5"},
            {"Длина [м]", "10"},
            {"Сумма КМС", "1"},
            {"Темп. [C°]", Local("20,5")},
            {"Бар. давление [ГПа]", "990"},
        };
        const QList<QStringList> actual = Cells(QApplication::clipboard()->text());
        QCOMPARE(actual.size(), expected.size());
        for (qsizetype row = 0; row < expected.size(); ++row) {
            QCOMPARE(actual[row], expected[row]);
        }
    }

    // Before any result, the labels' reset texts give empty cells and an empty box counts as 0.
    void emptyResults() {
        m_forms.mainForm->CopyResultsMiClick();
        const QList<QStringList> rows = Cells(QApplication::clipboard()->text());
        QCOMPARE(rows.size(), 12);
        QCOMPARE(rows[3].mid(3), (QStringList{"", "", "", "", ""}));
        QCOMPARE(rows[5], (QStringList{"Расход воздуха [м3/ч]", "0"}));
        QCOMPARE(rows[7], (QStringList{"Макс. скорость [м/с]", "5"}));
    }

    void menuItemAndSelectableLabels() {
        const QList<QAction*> actions = ui()->N3->actions();
        const auto item = std::find_if(actions.begin(), actions.end(), [](const QAction* action) {
            return action->text() == QStringLiteral("&Копировать результаты");
        });
        QVERIFY(item != actions.end());
        QCOMPARE((*item)->shortcut(), QKeySequence(QStringLiteral("Ctrl+Shift+C")));
        for (const QLabel* label : {ui()->DuctVLabel, ui()->OvalDuctPLabel, ui()->DVLabel}) {
            QVERIFY(label->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
        }
    }
};

KALVOR_GUI_TEST(ResultsCopyTest);
#include "ResultsCopyTest.moc"

// Tests of the catalogue editor's care for typed rows: the question about unsaved changes when the
// window closes or another shape is picked, and the question about the order of the rows at save.
#include "DuctSizesSession.h"
#include "GuiTest.h"

#include "ui_MainFormUnit.h"

#include <QTest>

using namespace kalvor;
using namespace kalvor::test;

namespace {

const QByteArray ThreeRows = "0.1 0.1\r\n0.1 0.2\r\n0.2 0.2\r\n";
// Fields as the catalogue writer puts them.
const QByteArray F1000 = " 1.00000000000000E+0000", F500 = " 5.00000000000000E-0001",
                 F400 = " 4.00000000000000E-0001", F315 = " 3.15000000000000E-0001",
                 F300 = " 3.00000000000000E-0001", F250 = " 2.50000000000000E-0001",
                 F200 = " 2.00000000000000E-0001", F150 = " 1.50000000000000E-0001",
                 F100 = " 1.00000000000000E-0001";

QList<BoxAnswerer::Box> BoxesWith(const QList<BoxAnswerer::Box>& boxes, QMessageBox::Icon icon) {
    QList<BoxAnswerer::Box> found;
    for (const BoxAnswerer::Box& box : boxes) {
        if (box.icon == icon) {
            found << box;
        }
    }
    return found;
}

QStringList Column(const EditorSession& session, int column) {
    QStringList texts;
    for (int row = 0; row < session.grid->rowCount(); ++row) {
        texts << session.Cell(row, column);
    }
    return texts;
}

} // namespace

class DuctSizesChangesTest : public QObject {
    Q_OBJECT

private slots:
    // Closing (button or Escape) or picking another shape with rows typed, added, deleted or
    // moved asks first; "Отмена", or a save that is refused, keeps the window and its rows.
    void leaving_data() {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QString>("leave"); // "close", "Escape" or "shape"
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<int>("questions");
        QTest::addColumn<int>("errors");
        QTest::addColumn<QByteArray>("written"); // empty: Duct.txt as it was
        QTest::addColumn<bool>("left");
        const QByteArray typed = F150 + F100 + "\r\n" + F100 + F200 + "\r\n" + F200 + F200 + "\r\n";
        const QStringList save{"Сохранить"}, discard{"Не сохранять"}, cancel{"Отмена"};
        QTest::newRow("typed, close, save") << "typed"
                                            << "close" << save << 1 << 0 << typed << true;
        QTest::newRow("typed, Escape, discard")
            << "typed"
            << "Escape" << discard << 1 << 0 << QByteArray() << true;
        QTest::newRow("typed, close, cancel")
            << "typed"
            << "close" << cancel << 1 << 0 << QByteArray() << false;
        QTest::newRow("typed, Escape, cancel")
            << "typed"
            << "Escape" << cancel << 1 << 0 << QByteArray() << false;
        QTest::newRow("typed, shape, save") << "typed"
                                            << "shape" << save << 1 << 0 << typed << true;
        QTest::newRow("added, shape, cancel")
            << "added"
            << "shape" << cancel << 1 << 0 << QByteArray() << false;
        QTest::newRow("added, close, save refused")
            << "added"
            << "close" << save << 1 << 1 << QByteArray() << false;
        QTest::newRow("zero typed, shape, save refused")
            << "zero"
            << "shape" << save << 1 << 1 << QByteArray() << false;
        QTest::newRow("deleted, shape, discard")
            << "deleted"
            << "shape" << discard << 1 << 0 << QByteArray() << true;
        QTest::newRow("sorted, close, discard")
            << "sorted"
            << "close" << discard << 1 << 0 << QByteArray() << true;
        QTest::newRow("sorted without a move, close")
            << "sorted in place"
            << "close" << QStringList() << 0 << 0 << QByteArray() << true;
        QTest::newRow("nothing, close")
            << ""
            << "close" << QStringList() << 0 << 0 << QByteArray() << true;
        QTest::newRow("nothing, shape")
            << ""
            << "shape" << QStringList() << 0 << 0 << QByteArray() << true;
        QTest::newRow("typed and saved, Escape")
            << "saved"
            << "Escape" << QStringList() << 0 << 0 << typed << true;
        QTest::newRow("typed without a shape, close")
            << "no shape"
            << "close" << QStringList() << 0 << 0 << QByteArray() << true;
    }
    void leaving() {
        QFETCH(QString, change);
        QFETCH(QString, leave);
        QFETCH(QStringList, answers);
        QFETCH(QByteArray, written);
        QFETCH(bool, left);
        EditorSession session(1, ThreeRows);
        session.editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(session.editor));
        if (change != "no shape") {
            session.Pick(0);
        }
        if (change == "typed" || change == "saved" || change == "no shape") {
            session.Type(0, 1, "150");
        } else if (change == "zero") {
            session.Type(2, 2, "0");
        } else if (change == "added") {
            session.ui->AddBtn->click();
        } else if (change == "deleted") {
            session.grid->setCurrentCell(0, 1);
            session.ui->BitBtn1->click();
        } else if (change == "sorted") {
            session.grid->item(0, 3)->setText(Local("0,5")); // moves the first row to the end
            session.ui->SortBtn->click();
        } else if (change == "sorted in place") {
            session.ui->SortBtn->click();
        }
        if (change == "saved") {
            session.ui->SaveBtn->click();
        }
        QVERIFY(session.messages().isEmpty());
        const QStringList rows = session.Rows();
        session.answers() = answers;

        if (leave == "close") {
            session.ui->CloseBtn->click();
        } else if (leave == "Escape") {
            QVERIFY(Focus(session.grid));
            QTest::keyClick(session.grid, Qt::Key_Escape);
        } else {
            session.Pick(2);
        }

        const auto questions = BoxesWith(session.messages(), QMessageBox::Question);
        QTEST(int(questions.size()), "questions");
        for (const BoxAnswerer::Box& question : questions) {
            QCOMPARE(question.caption, "Работа с размерами воздуховодов");
            QCOMPARE(question.text, "Сохранить изменения в каталоге «Duct.txt»?");
        }
        QTEST(int(BoxesWith(session.messages(), QMessageBox::Critical).size()), "errors");
        QCOMPARE(session.ReadFile("Duct.txt"), written.isEmpty() ? ThreeRows : written);
        if (leave == "shape") {
            QCOMPARE(session.ui->DuctSelectionRg->itemIndex(), left ? 2 : 0);
            QCOMPARE(session.Rows().first(), left ? "1|200||" + Local("0,031") : rows.first());
        } else {
            QCOMPARE(session.editor->isVisible(), !left);
        }
        if (!left) {
            QCOMPARE(session.Rows(), rows);
        }
    }

    // Saving rows that do not ascend by area asks whether to sort them first: the size search
    // takes the first row large enough, so a larger row above a smaller one hides it. The grid
    // shows what was saved; the search then finds what the file holds.
    void sortQuestion_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("question");   // its first line; empty: not asked
        QTest::addColumn<QByteArray>("written"); // empty: the file as it was
        QTest::addColumn<QStringList>("sizesA"); // the grid's column A afterwards
        QTest::addColumn<QString>("found");      // the size search's rectangle for 3600 m³/h
        const QByteArray bigFirst = "1 1\r\n0.2 0.1\r\n0.5 0.4\r\n";
        const QString bigFirstQuestion =
            Local("Строки каталога «Duct.txt» не упорядочены по возрастанию площади: строка 2 "
                  "(F = 0,02 м²) меньше строки 1 (F = 1 м²).");
        QTest::newRow("larger row on top, sorted")
            << 0 << bigFirst << "Сортировать и сохранить" << bigFirstQuestion
            << F200 + F100 + "\r\n" + F500 + F400 + "\r\n" + F1000 + F1000 + "\r\n"
            << QStringList{"200", "500", "1000"} << "500*400";
        QTest::newRow("larger row on top, as it is")
            << 0 << bigFirst << "Сохранить как есть" << bigFirstQuestion
            << F1000 + F1000 + "\r\n" + F200 + F100 + "\r\n" + F500 + F400 + "\r\n"
            << QStringList{"1000", "200", "500"} << "1000*1000";
        QTest::newRow("larger row on top, cancelled")
            << 0 << bigFirst << "Отмена" << bigFirstQuestion << QByteArray()
            << QStringList{"1000", "200", "500"} << "1000*1000";
        QTest::newRow("ascending")
            << 0 << QByteArray("0.2 0.1\r\n0.5 0.4\r\n1 1\r\n") << ""
            << "" << F200 + F100 + "\r\n" + F500 + F400 + "\r\n" + F1000 + F1000 + "\r\n"
            << QStringList{"200", "500", "1000"} << "500*400";
        QTest::newRow("equal areas side by side")
            << 0 << QByteArray("0.2 0.1\r\n0.1 0.2\r\n") << ""
            << "" << F200 + F100 + "\r\n" + F100 + F200 + "\r\n"
            << QStringList{"200", "100"} << "";
        // Flat-oval areas with the overall width first, as the search reads them: 0.091, 0.062.
        QTest::newRow("flat-oval, sorted")
            << 1 << QByteArray("0.5 0.2\r\n0.3 0.25\r\n") << "Сортировать и сохранить"
            << Local("Строки каталога «OvalDuct.txt» не упорядочены по возрастанию площади: "
                     "строка 2 (F = 0,062 м²) меньше строки 1 (F = 0,091 м²).")
            << F300 + F250 + "\r\n" + F500 + F200 + "\r\n"
            << QStringList{"300", "500"} << "";
        QTest::newRow("round, sorted")
            << 2 << QByteArray("0.315\r\n0.2\r\n") << "Сортировать и сохранить"
            << Local("Строки каталога «RoundDuct.txt» не упорядочены по возрастанию площади: "
                     "строка 2 (F = 0,031 м²) меньше строки 1 (F = 0,078 м²).")
            << F200 + "\r\n" + F315 + "\r\n"
            << QStringList{"200", "315"} << "";
    }
    void sortQuestion() {
        QFETCH(int, shape);
        QFETCH(QByteArray, catalogue);
        QFETCH(QString, answer);
        QFETCH(QString, question);
        QFETCH(QByteArray, written);
        QFETCH(QString, found);
        EditorSession session(1, shape == 0 ? catalogue : ThreeRows,
                              shape == 1 ? catalogue : QByteArray("0.5 0.2\r\n"),
                              shape == 2 ? catalogue : QByteArray("0.2\r\n"));
        session.editor->show();
        session.Pick(shape);
        session.answers() << answer;

        session.ui->SaveBtn->click();

        QCOMPARE(session.messages().size(), question.isEmpty() ? 0 : 1);
        if (!question.isEmpty()) {
            const BoxAnswerer::Box& box = session.messages().first();
            QCOMPARE(box.icon, QMessageBox::Question);
            QCOMPARE(box.caption, "Работа с размерами воздуховодов");
            QCOMPARE(box.text.section('\n', 0, 0), question);
        }
        QCOMPARE(session.ReadFile(FileNames[shape]), written.isEmpty() ? catalogue : written);
        QTEST(Column(session, 1), "sizesA");
        const QStringList numbers = Column(session, 0);
        for (int row = 0; row < numbers.size(); ++row) {
            QCOMPARE(numbers[row], QString::number(row + 1));
        }

        if (!found.isEmpty()) {
            session.ui->CloseBtn->click();
            QVERIFY(!session.editor->isVisible());
            Ui::TmainForm* main = UiOf(session.forms.mainForm);
            TypeInto(main->Qedit, "3600"); // 0.2 m² at 5 m/s
            main->FindSizesBtn->click();
            QCOMPARE(main->DuctCb->currentText(), found);
        }
    }
};

KALVOR_GUI_TEST(DuctSizesChangesTest);
#include "DuctSizesChangesTest.moc"

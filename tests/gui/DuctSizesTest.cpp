// Tests of the catalogue editor: loading, live areas, sorting, row operations, saving, closing.
#include "DuctSizesSession.h"
#include "GuiTest.h"

#include "ui_MainFormUnit.h"

#include <QFile>
#include <QTest>

using namespace kalvor;
using namespace kalvor::test;

class DuctSizesTest : public QObject {
    Q_OBJECT

private slots:
    void load_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("mm");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("rectangular, mm") << 0 << 1 << QStringList{"1|100|250|0,025"};
        QTest::newRow("rectangular, metres") << 0 << 0 << QStringList{"1|0,1|0,25|0,025"};
        // The overall width first, as the size search reads it: (0.5 − 0.2)·0.2 + π·0.2²/4.
        QTest::newRow("flat-oval") << 1 << 0 << QStringList{"1|0,5|0,2|0,091"};
        QTest::newRow("round") << 2 << 1 << QStringList{"1|200||0,031", "2|315||0,078"};
    }
    void load() {
        QFETCH(int, shape);
        QFETCH(int, mm);
        QFETCH(QStringList, rows);
        EditorSession session(mm, "0.1 0.25\r\n");
        session.Pick(shape);
        QVERIFY(session.messages().empty());
        QCOMPARE(session.Rows(), LocalList(rows));
    }

    // The shape choice shows each item whole, its circle apart from the next.
    void shapeChoiceReadable() {
        EditorSession session(1);
        session.editor->show();
        QVERIFY(QTest::qWaitForWindowExposed(session.editor));
        QCOMPARE(CrowdedItems(session.ui->DuctSelectionRg), QString());
        QVERIFY(session.editor->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    }

    // A failed load keeps the grid, and the choice returns to the shape the grid shows; picking
    // the shown shape again reloads nothing.
    void pickFailsOrRepeats_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("picked");
        QTest::addColumn<int>("messages");
        QTest::newRow("missing file after a load") << 0 << 1 << 1;
        QTest::newRow("missing file at first") << -1 << 1 << 1;
        QTest::newRow("same shape again") << 0 << 0 << 0;
    }
    void pickFailsOrRepeats() {
        QFETCH(int, before);
        QFETCH(int, picked);
        EditorSession session(1);
        QVERIFY(QFile::remove("OvalDuct.txt"));
        if (before >= 0) {
            session.Pick(before);
        }
        session.grid->item(0, 1)->setText("777");
        const QStringList rows = session.Rows();

        session.Pick(picked);

        QCOMPARE(session.ui->DuctSelectionRg->itemIndex(), before);
        QCOMPARE(session.Rows(), rows);
        QTEST(int(session.messages().size()), "messages");
        for (const BoxAnswerer::Box& message : session.messages()) {
            QCOMPARE(message.text, "File not found.");
        }
    }

    // Typing into a new row of blanks recomputes its area at every change; a blank size is 0.
    // Letters never reach a cell, a point or comma becomes the system's separator.
    void liveArea_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("mm");
        QTest::addColumn<QStringList>("steps"); // keys into A, then A and area; same for B
        QTest::newRow("rectangular, metres")
            << 0 << 0 << QStringList{"0.3", "0,3", "0", "0,5", "0,5", "0,15"};
        QTest::newRow("rectangular, mm")
            << 0 << 1 << QStringList{"3x0a0", "300", "0", "500", "500", "0,15"};
        QTest::newRow("flat-oval")
            << 1 << 1 << QStringList{"500", "500", "0", "200", "200", "0,091"};
        QTest::newRow("round") << 2 << 1 << QStringList{"200", "200", "0,031", "7", "7", "0,031"};
    }
    void liveArea() {
        QFETCH(int, shape);
        QFETCH(int, mm);
        QFETCH(QStringList, steps);
        EditorSession session(mm, "0.1 0.25\r\n");
        session.Pick(shape);
        session.ui->AddBtn->click();
        QCOMPARE(session.Rows().first(), " | | | ");

        for (int column = 1; column <= 2; ++column) {
            const QStringList step = steps.mid((column - 1) * 3, 3);
            session.Type(0, column, step[0]);
            QCOMPARE(session.Cell(0, column), Local(step[1]));
            QCOMPARE(session.Cell(0, 3), Local(step[2]));
        }
        session.Type(0, 3, "9"); // an edited area is computed again
        QCOMPARE(session.Cell(0, 3), Local(steps[5]));
        QVERIFY(session.messages().empty());
    }

    // Selection sort on the area column, renumbering every row; a row of blanks stops it
    // before anything moves.
    void sort_data() {
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<bool>("blankRow");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("message");
        QTest::newRow("equal areas change their order")
            << QByteArray("0.1 0.5\r\n0.1 0.2\r\n0.25 0.2\r\n0.1 0.1\r\n") << false
            << QStringList{"1|100|100|0,01", "2|100|200|0,02", "3|250|200|0,05", "4|100|500|0,05"}
            << "";
        QTest::newRow("blank row")
            << QByteArray("0.1 0.3\r\n0.1 0.1\r\n") << true
            << QStringList{" | | | ", "1|100|300|0,03", "2|100|100|0,01"} << FloatMessage(" ");
    }
    void sort() {
        QFETCH(QByteArray, catalogue);
        QFETCH(bool, blankRow);
        QFETCH(QStringList, rows);
        QFETCH(QString, message);
        EditorSession session(1, catalogue);
        session.Pick(0);
        if (blankRow) {
            session.ui->AddBtn->click();
        }
        session.ui->SortBtn->click();
        QCOMPARE(session.Rows(), LocalList(rows));
        QCOMPARE(session.messages().empty(), message.isEmpty());
        if (!message.isEmpty()) {
            QCOMPARE(session.messages()[0].text, message);
        }
    }

    // A flat-oval catalogue sorts by the area the size search walks, the overall width first:
    // areas 0.091, 0.062 and 0.038 (read height first they would be 0.046, 0.056 and 0.006).
    void flatOvalSortFollowsTheSearch() {
        EditorSession session(1, FiveRows, "0.5 0.2\r\n0.3 0.25\r\n0.4 0.1\r\n");
        session.Pick(1);
        session.ui->SortBtn->click();
        QVERIFY(session.messages().empty());
        QCOMPARE(session.Rows(),
                 LocalList({"1|400|100|0,038", "2|300|250|0,062", "3|500|200|0,091"}));
    }

    // Insertion above and deletion of the current row; the numbers stay until the next sort.
    void rowOperations_data() {
        QTest::addColumn<bool>("add");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("numbers");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<int>("beeps");
        QTest::newRow("delete row 3 of 5") << false << 2 << "1245" << 2 << 0;
        QTest::newRow("delete the last row") << false << 4 << "1234" << 3 << 0;
        QTest::newRow("delete with no current row") << false << -1 << "12345" << -1 << 1;
        QTest::newRow("add above row 2") << true << 1 << "1 2345" << 2 << 0;
    }
    void rowOperations() {
        QFETCH(bool, add);
        QFETCH(int, current);
        EditorSession session(1);
        session.Pick(0);
        session.grid->setCurrentCell(current, current < 0 ? -1 : 1);

        (add ? session.ui->AddBtn : session.ui->BitBtn1)->click();

        QString numbers;
        for (int row = 0; row < session.grid->rowCount(); ++row) {
            numbers += session.Cell(row, 0);
        }
        QTEST(numbers, "numbers");
        QTEST(session.grid->currentRow(), "currentAfter");
        QTEST(session.beeps, "beeps");
    }

    // Without data rows the caption stays, deletion beeps, saving writes an empty catalogue and
    // insertion places the new row below the caption.
    void noDataRows() {
        EditorSession session(1, "0.1 0.1\r\n0.1 0.2\r\n");
        session.Pick(0);
        for (int i = 0; i < 3; ++i) {
            session.ui->BitBtn1->click();
        }
        QCOMPARE(session.beeps, 1);
        session.ui->SaveBtn->click();
        QCOMPARE(session.ReadFile("Duct.txt"), QByteArray());
        session.ui->AddBtn->click();
        QCOMPARE(session.Rows(), QStringList{" | | | "});
        QCOMPARE(session.grid->horizontalHeaderItem(0)->text(), "№п/п");
    }

    // Saving converts every row before the file is touched: a cell it cannot write leaves the
    // file as it was, byte for byte. Without a shape nothing is written and the window beeps.
    void save_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("mm");
        QTest::addColumn<QStringList>("cells");  // A and B of each row
        QTest::addColumn<QByteArray>("written"); // empty: the file stays as it was
        QTest::addColumn<QString>("message");
        const QByteArray d315 = " 3.15000000000000E-0001", d100 = " 1.00000000000000E-0001";
        QTest::newRow("round, mm, B ignored")
            << 2 << 1 << QStringList{"100", "x", " 315 ", ""} << d100 + "\r\n" + d315 + "\r\n"
            << "";
        QTest::newRow("rectangular, metres, rounded")
            << 0 << 0 << QStringList{"0,3154", "1e-1", "0,4", "0,1"}
            << d315 + d100 + "\r\n 4.00000000000000E-0001" + d100 + "\r\n"
            << "";
        // No duct has a side of 0; the file holds whole millimetres, so below 1 mm it would be 0.
        QTest::newRow("zero A")
            << 0 << 1 << QStringList{"100", "200", "0", "300"} << QByteArray()
            << "Нулевой размер в строке 2, столбце \"A\": 0. Каталог не сохранён.";
        QTest::newRow("minus zero B")
            << 0 << 1 << QStringList{"100", "-0", "300", "300"} << QByteArray()
            << "Нулевой размер в строке 1, столбце \"B\": -0. Каталог не сохранён.";
        QTest::newRow("below 1 mm, metres")
            << 1 << 0 << QStringList{"0,1", "0,2", "0,2", Local("0,0004")} << QByteArray()
            << "Размер меньше 1 мм в строке 2, столбце \"B\": " + Local("0,0004") +
                   ". Каталог не сохранён.";
        QTest::newRow("row of blanks")
            << 0 << 1 << QStringList{"100", "200", " ", " "} << QByteArray() << FloatMessage(" ");
        QTest::newRow("not a number") << 1 << 1 << QStringList{"100", "200", "300", "4*5"}
                                      << QByteArray() << FloatMessage("4*5");
        QTest::newRow("negative B")
            << 1 << 1 << QStringList{"100", "200", "300", "-400"} << QByteArray()
            << "Отрицательный размер в строке 2, столбце \"B\": -400. Каталог не сохранён.";
        QTest::newRow("no shape") << -1 << 1 << QStringList{"100", "200"} << QByteArray() << "";
    }
    void save() {
        QFETCH(int, shape);
        QFETCH(int, mm);
        QFETCH(QByteArray, written);
        QFETCH(QString, message);
        EditorSession session(mm, "0.5 0.25\r\n0.5 0.4", "0.2 0.5\r\n0.3 0.6\r\n",
                              "0.2\r\n0.25\r\n");
        const QByteArray before = session.ReadFile(FileNames[qMax(shape, 0)]);
        if (shape >= 0) {
            session.Pick(shape);
        }
        QFETCH(QStringList, cells);
        session.SetSizes(cells);
        const QStringList rows = session.Rows();

        session.ui->SaveBtn->click();

        QCOMPARE(session.ReadFile(FileNames[qMax(shape, 0)]), written.isEmpty() ? before : written);
        QCOMPARE(session.messages().size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            QCOMPARE(session.messages()[0].text, message);
        }
        QCOMPARE(session.beeps, shape < 0 ? 1 : 0);
        QCOMPARE(session.Rows(), rows);
    }

    // Closing resets the window and rebuilds the main window's lists from the saved files.
    void close() {
        EditorSession session(1);
        session.editor->show();
        session.Pick(0);
        session.ui->BitBtn1->click();
        session.SetSizes({"600", "200"});
        session.answers() << "Сохранить как есть"; // 600*200 above 100*300
        session.ui->SaveBtn->click();
        session.Pick(2);
        session.SetSizes({"200", "", "400", ""});
        session.ui->SaveBtn->click();

        session.ui->CloseBtn->click();

        QVERIFY(!session.editor->isVisible());
        QCOMPARE(session.messages().size(), 1); // the question about the order, nothing more
        QCOMPARE(session.ui->DuctSelectionRg->itemIndex(), -1);
        QCOMPARE(session.Rows(), QStringList{"|||"});
        const Ui::TmainForm* main = UiOf(session.forms.mainForm);
        QCOMPARE(main->DuctCb->count(), 4);
        QCOMPARE(main->DuctCb->currentText(), "600*200");
        QCOMPARE(main->DEdit->itemText(1), "400");
    }

    // The labels follow the sizes that the rebuilt lists put into the boxes, also when the
    // rebuild stops at a missing catalogue.
    void labelsAfterClosing_data() {
        QTest::addColumn<bool>("ovalMissing");
        QTest::addColumn<QStringList>("labels"); // rectangular V, flat-oval V, round V
        // 3600 m3/h through 100×100 mm, the first flat-oval row 500×200 and 200 mm round.
        QTest::newRow("rebuilt") << false
                                 << QStringList{"V= 100[m/s]", "V= 10,94[m/s]", "V= 31,83[m/s]"};
        // The flat-oval list keeps its entries and its typed text: its results stay true.
        QTest::newRow("flat-oval catalogue missing")
            << true << QStringList{"V= 100[m/s]", "V= 8,96[m/s]", "V= 31,83[m/s]"};
    }
    void labelsAfterClosing() {
        QFETCH(bool, ovalMissing);
        QFETCH(QStringList, labels);
        EditorSession session(1);
        Ui::TmainForm* main = UiOf(session.forms.mainForm);
        TypeInto(main->Qedit, "3600");
        TypeInto(main->DuctCb, "500*300");
        TypeInto(main->OvalDuctCb, "500*250");
        TypeInto(main->DEdit, "400");
        QCOMPARE(main->DuctVLabel->text(), Local("V= 6,67[m/s]"));
        if (ovalMissing) {
            session.RemoveFile("OvalDuct.txt");
        }
        session.editor->show();
        session.ui->CloseBtn->click();
        QCOMPARE(session.editor->isVisible(), ovalMissing);
        QCOMPARE(main->DuctCb->currentText(), "100*100");
        QCOMPARE(main->DEdit->currentText(), "200");
        QCOMPARE((QStringList{main->DuctVLabel->text(), main->OvalDuctVLabel->text(),
                              main->DVLabel->text()}),
                 LocalList(labels));
    }

    // A rebuild that fails keeps the editor open, already reset; the next close tries again.
    void closeWhileACatalogueIsMissing() {
        EditorSession session(1);
        session.editor->show();
        session.Pick(0);
        session.RemoveFile("OvalDuct.txt");

        session.ui->CloseBtn->click();
        QVERIFY(session.editor->isVisible());
        QCOMPARE(session.messages().size(), 1);
        QCOMPARE(session.messages()[0].text, QStringLiteral("File not found."));
        QCOMPARE(session.ui->DuctSelectionRg->itemIndex(), -1);
        QCOMPARE(session.Rows(), QStringList{"|||"});

        session.WriteFile("OvalDuct.txt", "0.2 0.5\r\n");
        session.ui->CloseBtn->click();
        QVERIFY(!session.editor->isVisible());
        QCOMPARE(session.messages().size(), 1);
        QCOMPARE(UiOf(session.forms.mainForm)->OvalDuctCb->currentText(), "200*500");
    }
};

KALVOR_GUI_TEST(DuctSizesTest);
#include "DuctSizesTest.moc"

// Tests of the catalogue editor: loading, live areas, sorting, row operations, saving, closing.
#include "GuiTest.h"

#include "ui_DuctSizes.h"
#include "ui_MainFormUnit.h"

#include "catalogues/DuctSizes.h"
#include "mainwindow/MainFormUnit.h"
#include "settings/Options.h"
#include "settings/SettingsStore.h"
#include "widgets/KeyFilter.h"
#include "widgets/Messages.h"
#include "widgets/RadioGroup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

using namespace kalvor;

namespace {

QString Local(QString text) {
    return text.replace('.', QChar(SystemDecimalSeparator()));
}

QStringList LocalList(QStringList texts) {
    for (QString& text : texts) {
        text = Local(text);
    }
    return texts;
}

const QByteArray FiveRows = "0.1 0.1\r\n0.1 0.2\r\n0.1 0.3\r\n0.1 0.4\r\n0.1 0.5\r\n";

// Each test's own settings hive and working folder with the three catalogues, and the windows.
class Session {
public:
    explicit Session(int mm, const QByteArray& duct = FiveRows,
                     const QByteArray& oval = "0.2 0.5\r\n",
                     const QByteArray& round = "0.2\r\n0.315\r\n") {
        m_oldDir = QDir::currentPath();
        m_oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8());
        QDir::setCurrent(m_dir.path());
        WriteFile("Duct.txt", duct);
        WriteFile("OvalDuct.txt", oval);
        WriteFile("RoundDuct.txt", round);
        SettingsStore store;
        store.OpenKey(SettingsKey, true);
        store.WriteInteger("Shag", 50);
        store.WriteInteger("mm", mm);
        store.WriteInteger("AB", 0);
        store.WriteString("t", "0");
        store.WriteString("PBar", "990");
        SetMessageHook([this](const ShownMessage& message) { messages.push_back(message); });
        SetBeepHook([this] { ++beeps; });

        main = std::make_unique<TmainForm>();
        options = std::make_unique<TOptionsForm>(main.get());
        main->setOptionsForm(options.get());
        editor = std::make_unique<TDuctSizesForm>(main.get());
        main->setDuctSizesForm(editor.get());
    }
    ~Session() {
        editor.reset();
        options.reset();
        main.reset();
        SetMessageHook(nullptr);
        SetBeepHook(nullptr);
        QDir::setCurrent(m_oldDir);
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    }

    void WriteFile(const QString& name, const QByteArray& bytes) {
        QFile file(m_dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray ReadFile(const QString& name) {
        QFile file(m_dir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    Ui::TDuctSizesForm* ui() const { return editor->ui(); }
    QTableWidget* grid() const { return editor->ui()->DuctSizesSg; }

    // Picks a shape as the user does, by its radio button.
    void Pick(int shape) {
        auto* button =
            ui()->DuctSelectionRg->findChild<QRadioButton*>(QString("item%1").arg(shape));
        QVERIFY(button != nullptr);
        button->click();
    }

    QString Cell(int row, int column) const {
        const QTableWidgetItem* item = grid()->item(row, column);
        return item != nullptr ? item->text() : QString();
    }
    QStringList Column(int column) const {
        QStringList texts;
        for (int row = 0; row < grid()->rowCount(); ++row) {
            texts << Cell(row, column);
        }
        return texts;
    }
    QStringList Row(int row) const {
        return {Cell(row, 0), Cell(row, 1), Cell(row, 2), Cell(row, 3)};
    }
    QStringList Rows() const {
        QStringList rows;
        for (int row = 0; row < grid()->rowCount(); ++row) {
            rows << Row(row).join('|');
        }
        return rows;
    }
    void SetCell(int row, int column, const QString& text) {
        grid()->item(row, column)->setText(text);
    }

    // Shows the window and types into a cell as the user does: the first key starts the edit,
    // the rest reach the cell editor, Enter ends it.
    void Type(int row, int column, const QString& keys) {
        if (!editor->isVisible()) {
            editor->show();
            editor->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(editor.get()));
        }
        grid()->setCurrentCell(row, column);
        grid()->setFocus();
        for (const QChar key : keys) {
            QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    std::vector<ShownMessage> messages;
    int beeps = 0;
    std::unique_ptr<TmainForm> main;
    std::unique_ptr<TOptionsForm> options;
    std::unique_ptr<TDuctSizesForm> editor;

private:
    QTemporaryDir m_dir;
    QString m_oldDir;
    QByteArray m_oldConfig;
};

QString FloatMessage(const QString& text) {
    return QString("'%1' is not a valid floating point value.").arg(text);
}

} // namespace

class DuctSizesTest : public QObject {
    Q_OBJECT

private slots:
    void firstState() {
        Session session(1);
        QCOMPARE(session.ui()->DuctSelectionRg->itemIndex(), -1);
        QCOMPARE(session.Rows(), QStringList{"|||"});
        QCOMPARE(session.grid()->columnCount(), 4);
        const QStringList captions{"№п/п", "A", "B", "F,м2"};
        for (int column = 0; column < 4; ++column) {
            QCOMPARE(session.grid()->horizontalHeaderItem(column)->text(), captions[column]);
        }
        QVERIFY(!(session.grid()->item(0, 0)->flags() & Qt::ItemIsEditable));
    }

    void load_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("mm");
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("rectangular, millimetres")
            << 0 << 1 << QStringList{"1|100|250|0.025", "2|500|300|0.15"};
        QTest::newRow("rectangular, metres")
            << 0 << 0 << QStringList{"1|0.1|0.25|0.025", "2|0.5|0.3|0.15"};
        QTest::newRow("flat-oval, metres") << 1 << 0 << QStringList{"1|0.2|0.5|0.091"};
        QTest::newRow("round, metres") << 2 << 0 << QStringList{"1|0.2||0.031", "2|0.315||0.078"};
        QTest::newRow("round, millimetres")
            << 2 << 1 << QStringList{"1|200||0.031", "2|315||0.078"};
    }
    void load() {
        QFETCH(int, shape);
        QFETCH(int, mm);
        QFETCH(QStringList, rows);
        Session session(mm, "0.1 0.25\r\n0.5 0.3\r\n");

        session.Pick(shape);

        QVERIFY(session.messages.empty());
        QCOMPARE(session.ui()->DuctSelectionRg->itemIndex(), shape);
        QCOMPARE(session.Rows(), LocalList(rows));
        QCOMPARE(session.grid()->currentRow(), 0);
    }

    // A failed load leaves the grid as it was and the choice on the shape the grid shows; picking
    // the shown shape again reloads nothing.
    void pickFailsOrRepeats_data() {
        QTest::addColumn<int>("before");
        QTest::addColumn<int>("picked");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("after");
        QTest::newRow("missing file after a load") << 0 << 1 << "File not found." << 0;
        QTest::newRow("missing file at first") << -1 << 1 << "File not found." << -1;
        QTest::newRow("same shape again") << 0 << 0 << "" << 0;
    }
    void pickFailsOrRepeats() {
        QFETCH(int, before);
        QFETCH(int, picked);
        QFETCH(QString, message);
        Session session(1);
        QVERIFY(QFile::remove("OvalDuct.txt"));
        if (before >= 0) {
            session.Pick(before);
        }
        session.SetCell(0, 1, "777");
        const QStringList rows = session.Rows();

        session.Pick(picked);

        QTEST(session.ui()->DuctSelectionRg->itemIndex(), "after");
        QCOMPARE(session.Rows(), rows);
        if (message.isEmpty()) {
            QVERIFY(session.messages.empty());
        } else {
            QCOMPARE(session.messages.size(), 1u);
            QVERIFY(session.messages[0].error);
            QCOMPARE(session.messages[0].text, message);
        }
    }

    // Typing into a new row recomputes its area after every change; a blank size counts as 0.
    void liveArea_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("mm");
        QTest::addColumn<QString>("aKeys");
        QTest::addColumn<QString>("aText");
        QTest::addColumn<QString>("areaAfterA");
        QTest::addColumn<QString>("bKeys");
        QTest::addColumn<QString>("areaAfterB");
        QTest::newRow("rectangular, metres") << 0 << 0 << "0.3"
                                             << "0.3"
                                             << "0"
                                             << "0,5"
                                             << "0.15";
        QTest::newRow("rectangular, millimetres, letters swallowed") << 0 << 1 << "3x0a0"
                                                                     << "300"
                                                                     << "0"
                                                                     << "500"
                                                                     << "0.15";
        QTest::newRow("flat-oval, millimetres") << 1 << 1 << "200"
                                                << "200"
                                                << "-0.009"
                                                << "500"
                                                << "0.091";
        QTest::newRow("round, millimetres") << 2 << 1 << "200"
                                            << "200"
                                            << "0.031"
                                            << "7"
                                            << "0.031";
    }
    void liveArea() {
        QFETCH(int, shape);
        QFETCH(int, mm);
        QFETCH(QString, aKeys);
        QFETCH(QString, aText);
        QFETCH(QString, areaAfterA);
        QFETCH(QString, bKeys);
        QFETCH(QString, areaAfterB);
        Session session(mm, "0.1 0.25\r\n");
        session.Pick(shape);
        session.ui()->AddBtn->click();
        QCOMPARE(session.Row(0), QStringList({" ", " ", " ", " "}));

        session.Type(0, 1, aKeys);
        QCOMPARE(session.Cell(0, 1), Local(aText));
        QCOMPARE(session.Cell(0, 3), Local(areaAfterA));
        session.Type(0, 2, bKeys);
        QCOMPARE(session.Cell(0, 3), Local(areaAfterB));
        QVERIFY(session.messages.empty());

        // An edit of the area cell is followed by the same recomputation.
        session.Type(0, 3, "9");
        QCOMPARE(session.Cell(0, 3), Local(areaAfterB));
        QCOMPARE(session.Cell(0, 0), " ");
    }

    void liveAreaRefusesText() {
        Session session(1);
        session.Pick(0);
        session.Type(0, 2, "-");
        QCOMPARE(session.messages.size(), 1u);
        QCOMPARE(session.messages[0].text, FloatMessage("-"));
        QCOMPARE(session.Cell(0, 3), Local("0.01"));
    }

    // Selection sort on the area column; every row is renumbered.
    void sort_data() {
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<int>("deleted"); // a row deleted before sorting, -1 none
        QTest::addColumn<QStringList>("rows");
        QTest::newRow("equal areas change their order")
            << QByteArray("0.1 0.5\r\n0.1 0.2\r\n0.25 0.2\r\n0.1 0.1\r\n") << -1
            << QStringList{"1|100|100|0.01", "2|100|200|0.02", "3|250|200|0.05", "4|100|500|0.05"};
        QTest::newRow("already ascending") << QByteArray("0.1 0.1\r\n0.1 0.2\r\n") << -1
                                           << QStringList{"1|100|100|0.01", "2|100|200|0.02"};
        QTest::newRow("renumbered after a deletion")
            << QByteArray("0.1 0.3\r\n0.1 0.1\r\n0.1 0.2\r\n") << 0
            << QStringList{"1|100|100|0.01", "2|100|200|0.02"};
    }
    void sort() {
        QFETCH(QByteArray, catalogue);
        QFETCH(int, deleted);
        QFETCH(QStringList, rows);
        Session session(1, catalogue);
        session.Pick(0);
        if (deleted >= 0) {
            session.editor->DeleteRow(session.grid(), deleted);
        }

        session.ui()->SortBtn->click();

        QVERIFY(session.messages.empty());
        QCOMPARE(session.Rows(), LocalList(rows));
    }

    void sortRefusesBlankRow() {
        Session session(1, "0.1 0.3\r\n0.1 0.1\r\n0.1 0.2\r\n");
        session.Pick(0);
        session.grid()->setCurrentCell(2, 1);
        session.ui()->AddBtn->click();
        const QStringList rows = session.Rows();
        QCOMPARE(rows[2], " | | | ");

        session.ui()->SortBtn->click();

        QCOMPARE(session.messages.size(), 1u);
        QCOMPARE(session.messages[0].text, FloatMessage(" "));
        QCOMPARE(session.Rows(), rows);
    }

    // Insertion and deletion at the current row; numbers stay until the next sort.
    void rowOperations_data() {
        QTest::addColumn<bool>("add");
        QTest::addColumn<int>("current");
        QTest::addColumn<QStringList>("numbers");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<int>("beeps");
        QTest::newRow("delete row 3 of 5")
            << false << 2 << QStringList{"1", "2", "4", "5"} << 2 << 0;
        QTest::newRow("delete the last row")
            << false << 4 << QStringList{"1", "2", "3", "4"} << 3 << 0;
        QTest::newRow("delete without a current row")
            << false << -1 << QStringList{"1", "2", "3", "4", "5"} << -1 << 1;
        QTest::newRow("add above row 2")
            << true << 1 << QStringList{"1", " ", "2", "3", "4", "5"} << 2 << 0;
        QTest::newRow("add above row 1")
            << true << 0 << QStringList{" ", "1", "2", "3", "4", "5"} << 1 << 0;
    }
    void rowOperations() {
        QFETCH(bool, add);
        QFETCH(int, current);
        QFETCH(QStringList, numbers);
        Session session(1);
        session.Pick(0);
        session.grid()->setCurrentCell(current, current < 0 ? -1 : 1);
        const QString currentA = current < 0 ? QString() : session.Cell(current, 1);

        if (add) {
            session.ui()->AddBtn->click();
        } else {
            session.ui()->BitBtn1->click();
        }

        QCOMPARE(session.Column(0), numbers);
        QTEST(session.grid()->currentRow(), "currentAfter");
        QTEST(session.beeps, "beeps");
        if (add) {
            QCOMPARE(session.Cell(session.grid()->currentRow(), 1), currentA);
        }
    }

    void rowIndexBounds_data() {
        QTest::addColumn<bool>("insert");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("rowCount");
        QTest::addColumn<int>("beeps");
        QTest::newRow("insert below the last row") << true << 5 << 6 << 0;
        QTest::newRow("insert past the end") << true << 6 << 5 << 1;
        QTest::newRow("insert above the caption") << true << -1 << 5 << 1;
        QTest::newRow("delete past the end") << false << 5 << 5 << 1;
        QTest::newRow("delete the caption") << false << -1 << 5 << 1;
    }
    void rowIndexBounds() {
        QFETCH(bool, insert);
        QFETCH(int, index);
        Session session(1);
        session.Pick(0);
        const QStringList rows = session.Rows();

        if (insert) {
            session.editor->InsertRow(session.grid(), index);
        } else {
            session.editor->DeleteRow(session.grid(), index);
        }

        QTEST(session.grid()->rowCount(), "rowCount");
        QTEST(session.beeps, "beeps");
        QCOMPARE(session.Rows().mid(0, 5), rows);
    }

    // Without data rows the caption stays the caption, deletion beeps, insertion goes below it
    // and saving writes an empty catalogue.
    void noDataRows() {
        Session session(1, "0.1 0.1\r\n0.1 0.2\r\n");
        session.Pick(0);
        session.ui()->BitBtn1->click();
        session.ui()->BitBtn1->click();
        QCOMPARE(session.grid()->rowCount(), 0);
        session.ui()->BitBtn1->click();
        QCOMPARE(session.beeps, 1);

        session.ui()->SaveBtn->click();
        QCOMPARE(session.ReadFile("Duct.txt"), QByteArray());

        session.ui()->AddBtn->click();
        QCOMPARE(session.Rows(), QStringList{" | | | "});
        QCOMPARE(session.grid()->horizontalHeaderItem(0)->text(), "№п/п");
        QVERIFY(session.messages.empty());
    }

    void save_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("mm");
        QTest::addColumn<QStringList>("cells"); // A, B of each row
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("round, millimetres, B ignored")
            << 2 << 1 << QStringList{"315", "x", " 200 ", ""}
            << QByteArray(" 3.15000000000000E-0001\r\n 2.00000000000000E-0001\r\n");
        QTest::newRow("rectangular, metres, rounded")
            << 0 << 0 << QStringList{"0.3154", "1e-1", "0.5", "0.25"}
            << QByteArray(" 3.15000000000000E-0001 1.00000000000000E-0001\r\n"
                          " 5.00000000000000E-0001 2.50000000000000E-0001\r\n");
        QTest::newRow("flat-oval, millimetres")
            << 1 << 1 << QStringList{"200", "500", "0", "-0"}
            << QByteArray(" 2.00000000000000E-0001 5.00000000000000E-0001\r\n"
                          " 0.00000000000000E+0000 0.00000000000000E+0000\r\n");
    }
    void save() {
        QFETCH(int, shape);
        QFETCH(int, mm);
        QFETCH(QStringList, cells);
        QFETCH(QByteArray, written);
        Session session(mm, "1 1\r\n1 1\r\n", "1 1\r\n1 1\r\n", "1\r\n1\r\n");
        session.Pick(shape);
        for (int i = 0; i < cells.size(); ++i) {
            session.SetCell(i / 2, 1 + i % 2, Local(cells[i]));
        }
        const QStringList rows = session.Rows();

        session.ui()->SaveBtn->click();

        QVERIFY(session.messages.empty());
        const char* names[] = {"Duct.txt", "OvalDuct.txt", "RoundDuct.txt"};
        QCOMPARE(session.ReadFile(names[shape]), written);
        QCOMPARE(session.Rows(), rows);
    }

    // A save that meets a cell it cannot write stops before the file is touched.
    void saveRefused_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("message");
        QTest::newRow("blank row") << 0 << QStringList{"100", "200", " ", " "} << FloatMessage(" ");
        QTest::newRow("not a number in the second row")
            << 0 << QStringList{"100", "200", "300", "4*5"} << FloatMessage("4*5");
        QTest::newRow("negative B")
            << 1 << QStringList{"100", "200", "300", "-400"}
            << "Отрицательный размер в строке 2, столбце \"B\": -400. Каталог не сохранён.";
        QTest::newRow("negative diameter")
            << 2 << QStringList{"-315", "", "200", ""}
            << "Отрицательный размер в строке 1, столбце \"A\": -315. Каталог не сохранён.";
    }
    void saveRefused() {
        QFETCH(int, shape);
        QFETCH(QStringList, cells);
        QFETCH(QString, message);
        Session session(1, "0.1 0.25\r\n0.1 0.5", "0.2 0.5\r\n0.3 0.6\r\n", "0.2\r\n0.25\r\n");
        const char* names[] = {"Duct.txt", "OvalDuct.txt", "RoundDuct.txt"};
        const QByteArray before = session.ReadFile(names[shape]);
        session.Pick(shape);
        for (int i = 0; i < cells.size(); ++i) {
            session.SetCell(i / 2, 1 + i % 2, cells[i]);
        }

        session.ui()->SaveBtn->click();

        QCOMPARE(session.messages.size(), 1u);
        QVERIFY(session.messages[0].error);
        QCOMPARE(session.messages[0].text, message);
        QCOMPARE(session.ReadFile(names[shape]), before);
    }

    void saveWithoutShape() {
        Session session(1);
        session.SetCell(0, 1, "100");
        session.SetCell(0, 2, "100");
        session.ui()->SaveBtn->click();
        QCOMPARE(session.beeps, 1);
        QVERIFY(session.messages.empty());
        QCOMPARE(session.ReadFile("Duct.txt"), FiveRows);
    }

    // Closing resets the window and rebuilds the main window's lists from the saved files.
    void close() {
        Session session(1);
        QCOMPARE(session.main->ui()->DuctCb->count(), 5);
        session.editor->show();
        session.Pick(0);
        session.ui()->BitBtn1->click();
        session.SetCell(0, 1, "600");
        session.ui()->SaveBtn->click();
        session.Pick(2);
        session.SetCell(1, 1, "400");
        session.ui()->SaveBtn->click();

        session.ui()->CloseBtn->click();

        QVERIFY(!session.editor->isVisible());
        QVERIFY(session.messages.empty());
        QCOMPARE(session.ui()->DuctSelectionRg->itemIndex(), -1);
        QCOMPARE(session.Rows(), QStringList{"|||"});
        const QComboBox* rectangular = session.main->ui()->DuctCb;
        QCOMPARE(rectangular->count(), 4);
        QCOMPARE(rectangular->itemText(0), "600*200");
        QCOMPARE(rectangular->currentText(), "600*200");
        QCOMPARE(session.main->ui()->DEdit->itemText(1), "400");

        session.editor->show();
        QCOMPARE(session.ui()->DuctSelectionRg->itemIndex(), -1);
        QCOMPARE(session.Rows(), QStringList{"|||"});
    }
};

KALVOR_GUI_TEST(DuctSizesTest);
#include "DuctSizesTest.moc"

// Tests of the network window's table: typing into cells and what is recomputed, the main path
// and the flagged branches, problems shown in the status line, undo and redo, sections taken from
// the calculator, sizes taken from the catalogues. Figures: see NetworkSession.h.
#include "GuiTest.h"
#include "NetworkSession.h"

#include "ui_MainFormUnit.h"

#include <QFont>
#include <QUndoStack>

using namespace kalvor;
using namespace kalvor::test;

namespace {

// Cells given as "row:column=text", the text with ',' for the system's separator.
void CheckCells(const NetworkSession& session, const QStringList& cells) {
    for (const QString& expected : cells) {
        const int colon = expected.indexOf(':'), equals = expected.indexOf('=');
        const int row = expected.left(colon).toInt();
        const int column = expected.mid(colon + 1, equals - colon - 1).toInt();
        QCOMPARE(session.cell(row, column), Local(expected.mid(equals + 1)));
    }
}

bool Bold(const NetworkSession& session, int row) {
    return session.index(row, IdColumn).data(Qt::FontRole).value<QFont>().bold();
}

// The sections as "id<parent" joined by ",".
QString Tree(const Network& network) {
    QStringList parts;
    for (const NetworkSection& section : network.sections) {
        parts << QString::fromStdString(section.id + "<" + section.parent);
    }
    return parts.join(',');
}

enum Step {
    TypeLength,
    RenameId,
    PickShape,
    PickParent,
    Add,
    Insert,
    Delete,
    DeleteTwo,
    MoveUp,
    MoveDown,
    ChooseSizes,
    TypeReserve
};

} // namespace

class NetworkFormTest : public QObject {
    Q_OBJECT

private slots:
    // Ctrl+N in the main window shows the network window beside it, not modal.
    void opensFromTheMainWindow() {
        NetworkSession session(false);
        QVERIFY(!session.form->isVisible());
        QVERIFY(Focus(UiOf(session.forms.mainForm)->Qedit));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_N, Qt::ControlModifier);
        QVERIFY(session.form->isVisible());
        QCOMPARE(session.form->objectName(), QStringLiteral("NetworkForm"));
        QVERIFY(!session.form->isModal());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QCOMPARE(session.form->windowTitle(), QStringLiteral("Новая сеть[*] — Расчёт сети"));
        QCOMPARE(session.model()->rowCount(), 0);
        QVERIFY(session.ui->TotalsLbl->text().endsWith(QStringLiteral("\nВ сети нет участков")));
    }

    void sampleShown() {
        NetworkSession session;
        QVERIFY(session.opened);
        CheckCells(session, {"0:0=1", "0:2=Прямоугольный", "0:3=600*400", "0:5=2400", "1:1=1",
                             "1:3=315", "1:10=4,28", "1:15=22,11", "1:16=26,31", "2:4=Гибкий",
                             "2:9=0,278", "3:3=200*100 (auto)", "3:11=3,294", "3:16=30,27",
                             "1:17=15,2", "0:17=", "2:17="});
        const QString totals = session.ui->TotalsLbl->text();
        QVERIFY2(totals.contains(Local("плотность 1,205 кг/м³")), qPrintable(totals));
        QVERIFY2(totals.contains(Local("Давление вентилятора с запасом 10 %: 33,30 Па")),
                 qPrintable(totals));
        QVERIFY(totals.contains(QStringLiteral("Главное направление: 1 → 3 → 4")));
        QCOMPARE(session.status(), QString());
        QCOMPARE(session.form->windowTitle(),
                 QStringLiteral("sample.kalvor.json[*] — Расчёт сети"));
        QVERIFY(!session.form->isWindowModified());
    }

    // Each edit typed into a cell is recomputed at once, figures down the tree and up the path.
    void typing_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<bool>("over"); // typed over the cell rather than opened with F2
        QTest::addColumn<QStringList>("cells");
        QTest::addColumn<QString>("fan");
        QTest::newRow("length, a point typed")
            << 1 << int(LengthColumn) << "12.5" << false
            << QStringList{"1:6=12,5", "1:12=8,71", "1:15=25,24", "1:16=29,45", "1:17=3,2"}
            << "33,30";
        QTest::newRow("typed over, a letter swallowed before the edit")
            << 1 << int(LengthColumn) << "x12,5" << true
            << QStringList{"1:6=12,5", "1:12=8,71", "1:16=29,45"} << "33,30";
        // 600 m3/h need 0.0278 m²: section 4 takes 250*200 now, and branch 2 leads.
        QTest::newRow("a terminal's own flow, summed upwards")
            << 3 << int(FlowColumn) << "600" << false
            << QStringList{"3:5=600",   "2:5=1400",   "0:5=2600", "3:3=250*200 (auto)",
                           "3:10=3,33", "3:16=25,23", "2:17=8,0", "1:17="}
            << "29,71";
        QTest::newRow("root size with a separator")
            << 0 << int(SizeColumn) << "650.5*400" << false
            << QStringList{"0:3=650,5*400", "0:8=0,2602", "0:16=3,54", "3:16=29,61"} << "32,57";
        QTest::newRow("letters never reach Σζ")
            << 2 << int(KmsColumn) << "1a.2" << false
            << QStringList{"2:7=1,20", "2:14=15,75", "3:16=42,08"} << "46,29";
    }
    void typing() {
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, keys);
        QFETCH(bool, over);
        QFETCH(QStringList, cells);
        QFETCH(QString, fan);
        NetworkSession session;
        if (over) {
            session.typeOver(row, column, keys);
        } else {
            session.type(row, column, keys);
        }
        CheckCells(session, cells);
        QVERIFY(session.ui->TotalsLbl->text().contains(
            Local("Давление вентилятора с запасом 10 %: ") + Local(fan) + " Па"));
        QVERIFY(session.form->isWindowModified());
        QVERIFY(session.boxes.boxes.isEmpty());
    }

    // The flag follows the tolerance typed in the window: branch 2 is 15.18 % off.
    void flagsFollowTheTolerance_data() {
        QTest::addColumn<QString>("tolerance");
        QTest::addColumn<bool>("flagged");
        QTest::newRow("10 %") << "10" << true;
        QTest::newRow("15,1 %") << "15,1" << true;
        QTest::newRow("15,2 %") << "15,2" << false;
    }
    void flagsFollowTheTolerance() {
        QFETCH(QString, tolerance);
        QFETCH(bool, flagged);
        NetworkSession session;
        TypeInto(session.ui->ToleranceLe, Local(tolerance));
        QCOMPARE(session.form->network().tolerance, tolerance.replace(',', '.').toDouble());
        const QVariant background = session.index(1, ImbalanceColumn).data(Qt::BackgroundRole);
        QCOMPARE(background.isValid() && background.value<QColor>() == FlaggedColour(), flagged);
        QCOMPARE(session.cell(1, ImbalanceColumn), Local("15,2"));
        const QString totals = session.ui->TotalsLbl->text();
        QVERIFY2(totals.contains(flagged ? QStringLiteral("уч. 2 (") + Local("15,2 %)")
                                         : QStringLiteral("Невязка всех ответвлений не выше")),
                 qPrintable(totals));
    }

    // The main path is bold and marked; a smaller duct on branch 2 makes it the main one.
    void mainPathFollowsTheLosses() {
        NetworkSession session;
        QCOMPARE((QStringList{session.rowMark(0), session.rowMark(1), session.rowMark(2),
                              session.rowMark(3)}),
                 (QStringList{"1 *", "2", "3 *", "4 *"}));
        QVERIFY(Bold(session, 0) && !Bold(session, 1) && Bold(session, 2) && Bold(session, 3));

        session.type(1, SizeColumn, "280"); // path 2: 40.63 Pa; branch 3 now 28.44 % off
        QCOMPARE((QStringList{session.rowMark(0), session.rowMark(1), session.rowMark(2),
                              session.rowMark(3)}),
                 (QStringList{"1 *", "2 *", "3", "4"}));
        QVERIFY(Bold(session, 1) && !Bold(session, 2) && !Bold(session, 3));
        CheckCells(session, {"1:16=40,63", "2:17=28,4", "1:17="});
        QCOMPARE(session.index(2, ImbalanceColumn).data(Qt::BackgroundRole).value<QColor>(),
                 FlaggedColour());
    }

    // A network that cannot be computed names the section and field in the status line and
    // marks the cell or box; no box is shown and no figure of before stays.
    void problems_data() {
        QTest::addColumn<QString>("step"); // "cell row column keys" or "box name keys"
        QTest::addColumn<QString>("status");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("box");
        QTest::newRow("negative length")
            << "cell 1 6 -3"
            << "Участок «2», столбец «l, м»" << 1 << int(LengthColumn) << "";
        QTest::newRow("an id twice") << "cell 2 0 2"
                                     << "Участок «2», столбец «№ уч.»" << 2 << int(IdColumn) << "";
        QTest::newRow("a catalogue gone") << "nocat 3 6 4"
                                          << "Duct.txt" << 3 << int(SizeColumn) << "";
        QTest::newRow("Vmax 0") << "box VmaxLe 0"
                                << "Поле «Vmax, м/с»" << -1 << -1 << "VmaxLe";
        QTest::newRow("t not a number")
            << "box tLe 1..2"
            << "Поле «t, °C»: " + Local("«1,,2» — не число") << -1 << -1 << "tLe";
    }
    void problems() {
        QFETCH(QString, step);
        QFETCH(QString, status);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(QString, box);
        NetworkSession session;
        const QString before = session.cell(0, FirstResultColumn);
        const QString pathBefore = session.cell(3, 16);
        const QString flowBefore = session.cell(0, FlowColumn); // through the root: all the air
        const QStringList parts = step.split(' ');
        if (parts[0] == "box") {
            TypeInto(session.form->findChild<QLineEdit*>(parts[1]), parts[2]);
        } else {
            if (parts[0] == "nocat") {
                session.removeFile("Duct.txt");
            }
            session.type(parts[1].toInt(), parts[2].toInt(), parts[3]);
        }
        QVERIFY2(session.status().contains(status), qPrintable(session.status()));
        QVERIFY(session.form->results() == nullptr);
        // The last figures stay, greyed, and the totals say whose they are.
        QVERIFY(!before.isEmpty());
        if (parts[0] != "box") { // a box typed into computes at every key that leaves a number
            QCOMPARE(session.cell(0, FirstResultColumn), before);
            QCOMPARE(session.cell(3, 16), pathBefore);
            QCOMPARE(session.cell(0, FlowColumn), flowBefore);
        }
        QCOMPARE(session.index(3, 16).data(Qt::ForegroundRole), QVariant(QColor(Qt::gray)));
        QCOMPARE(session.index(3, IdColumn).data(Qt::ForegroundRole), QVariant());
        QVERIFY(session.ui->TotalsLbl->text().startsWith("Сеть не рассчитана"));
        QVERIFY(session.ui->TotalsLbl->text().contains("последнего верного состояния"));
        for (int r = 0; r < session.model()->rowCount(); ++r) {
            for (int c = 0; c < InputColumns; ++c) {
                const bool marked =
                    session.index(r, c).data(Qt::BackgroundRole) == QVariant(ProblemColour());
                QCOMPARE(marked, r == row && c == column);
            }
        }
        for (const char* name : {"tLe", "PBarLe", "VmaxLe", "ToleranceLe", "ReserveLe"}) {
            const bool marked =
                session.form->findChild<QLineEdit*>(name)->property("problem").toBool();
            QCOMPARE(marked, box == name);
        }
        QVERIFY(session.boxes.boxes.isEmpty());
    }

    // Every kind of edit is one step: Ctrl+Z takes it back whole, "Повторить" makes it again.
    void undoRedo_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("tree"); // after the step
        const QString sample = "1<,2<1,3<1,4<3";
        QTest::newRow("length typed") << int(TypeLength) << sample;
        QTest::newRow("id renamed, its branch follows") << int(RenameId) << "1<,2<1,7<1,4<7";
        QTest::newRow("shape picked") << int(PickShape) << sample;
        QTest::newRow("parent picked") << int(PickParent) << "1<,2<1,3<1,4<2";
        QTest::newRow("section added") << int(Add) << sample + ",5<4";
        QTest::newRow("section inserted") << int(Insert) << "1<,2<1,5<1,3<1,4<3";
        QTest::newRow("section deleted") << int(Delete) << "1<,2<1,4<1";
        QTest::newRow("two rows deleted") << int(DeleteTwo) << "1<,3<1";
        QTest::newRow("section moved up") << int(MoveUp) << "1<,3<1,2<1,4<3";
        QTest::newRow("section moved") << int(MoveDown) << "1<,3<1,2<1,4<3";
        QTest::newRow("sizes chosen") << int(ChooseSizes) << sample;
        QTest::newRow("reserve typed") << int(TypeReserve) << sample;
    }
    void undoRedo() {
        QFETCH(int, step);
        NetworkSession session;
        const Network before = session.form->network();
        const QString reserve = session.ui->ReserveLe->text();
        switch (step) {
        case TypeLength:
            session.type(1, LengthColumn, "12.5");
            QCOMPARE(session.form->network().sections[1].length, 12.5);
            break;
        case RenameId:
            session.type(2, IdColumn, "7");
            break;
        case PickShape: // 315 is no rectangular size: no row reaches 0.0556 m², the last is taken
            session.pick(1, ShapeColumn, "П");
            QCOMPARE(session.form->network().sections[1].shape, DuctShape::Rectangular);
            QCOMPARE(session.cell(1, SizeColumn), QStringLiteral("250*200 (auto)"));
            break;
        case PickParent:
            session.pick(3, ParentColumn, "2");
            break;
        case Add:
            session.view->setCurrentIndex(session.index(3, 0));
            session.ui->AddMi->trigger();
            QCOMPARE(session.view->currentIndex().row(), 4);
            break;
        case Insert:
            session.view->setCurrentIndex(session.index(2, 0));
            session.ui->InsertMi->trigger();
            QCOMPARE(session.view->currentIndex().row(), 2);
            break;
        case Delete:
            session.view->setCurrentIndex(session.index(2, 0));
            session.ui->DeleteMi->trigger();
            break;
        case DeleteTwo: // rows selected by their numbers
            session.view->selectRow(1);
            session.view->selectionModel()->select(
                session.index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
            session.ui->DeleteMi->trigger();
            break;
        case MoveUp:
            session.view->setCurrentIndex(session.index(2, 0));
            session.ui->UpMi->trigger();
            QCOMPARE(session.view->currentIndex().row(), 1);
            break;
        case MoveDown:
            session.view->setCurrentIndex(session.index(1, 0));
            session.ui->DownMi->trigger();
            QCOMPARE(session.view->currentIndex().row(), 2);
            break;
        case ChooseSizes:
            session.ui->AutoSizeMi->trigger();
            QCOMPARE(session.form->network().sections[3].size, std::string("200*100"));
            break;
        case TypeReserve: // two keys, one step
            TypeInto(session.ui->ReserveLe, "15");
            QCOMPARE(session.form->network().reserve, 15.0);
            break;
        }
        const Network after = session.form->network();
        QVERIFY(after != before);
        QTEST(Tree(after), "tree");
        QCOMPARE(session.form->undoStack()->count(), 1);
        QVERIFY(session.form->isWindowModified());

        QVERIFY(Focus(session.view));
        QTest::keyClick(session.view, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(session.form->network() == before);
        QVERIFY(!session.form->isWindowModified());
        QCOMPARE(session.ui->ReserveLe->text(), reserve);
        QCOMPARE(session.cell(3, 16), Local("30,27"));

        session.ui->RedoMi->trigger();
        QVERIFY(session.form->network() == after);
        QVERIFY(session.form->isWindowModified());
        QVERIFY(session.boxes.boxes.isEmpty());
    }

    // "Из калькулятора": the main window's flow, length, Σζ and one shape's size and material,
    // the size in millimetres with a flat oval's width first whatever the side order shown.
    void fromCalculator_data() {
        QTest::addColumn<int>("shape");
        QTest::addColumn<int>("mm");
        QTest::addColumn<int>("AB");
        QTest::addColumn<QString>("size"); // typed into the main window
        QTest::addColumn<int>("material");
        QTest::addColumn<QString>("taken");
        QTest::newRow("rectangular, AxB") << 0 << 1 << 0 << "500*300" << 2 << "500*300";
        QTest::newRow("rectangular, BxA") << 0 << 1 << 1 << "300*500" << 1 << "500*300";
        QTest::newRow("flat-oval, AxB") << 1 << 1 << 0 << "600*250" << 1 << "600*250";
        QTest::newRow("flat-oval, BxA") << 1 << 1 << 1 << "250*600" << 0 << "600*250";
        QTest::newRow("round, metres") << 2 << 0 << 0 << "0,315" << 4 << "315";
        QTest::newRow("round, no size") << 2 << 1 << 0 << "" << 0 << "auto";
    }
    void fromCalculator() {
        QFETCH(int, shape);
        QFETCH(int, mm);
        QFETCH(int, AB);
        QFETCH(QString, size);
        QFETCH(int, material);
        QFETCH(QString, taken);
        NetworkSession session(true, [mm, AB] {
            TempUser::storeInteger("mm", mm);
            TempUser::storeInteger("AB", AB);
        });
        Ui::TmainForm* main = UiOf(session.forms.mainForm);
        main->Qedit->setText("1500");
        main->LLe->setText("7");
        main->KMSLe->setText(Local("0,8"));
        QComboBox* const sizes[] = {main->DuctCb, main->OvalDuctCb, main->DEdit};
        QComboBox* const materials[] = {main->MaterialCb, main->OvalDuctMaterialCb,
                                        main->MaterialDCb};
        sizes[shape]->setEditText(Local(size));
        materials[shape]->setCurrentIndex(material);

        session.view->setCurrentIndex(session.index(1, 0));
        QAction* const items[] = {session.ui->FromRectangularMi, session.ui->FromFlatOvalMi,
                                  session.ui->FromRoundMi};
        items[shape]->trigger();

        QCOMPARE(session.model()->rowCount(), 5);
        const NetworkSection& added = session.form->network().sections.back();
        QCOMPARE(added.id, std::string("5"));
        QCOMPARE(added.parent, std::string("2"));
        QCOMPARE(int(added.shape), shape);
        QCOMPARE(QString::fromStdString(added.size), taken);
        QCOMPARE(added.material, material);
        CheckCells(session, {"4:5=1500", "4:6=7", "4:7=0,80", "1:5=2700", "0:5=3900"});
        QCOMPARE(session.form->undoStack()->count(), 1);
    }

    // "Подобрать размеры": the chosen size written in; with rows selected, only those, whatever
    // size they had (section 2 needs 1200 / 21600 = 0.0556 m²: 280 mm gives 0.0616 m²).
    void autoSizes_data() {
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("sizes");
        QTest::newRow("every auto section")
            << -1 << QStringList{"600*400", "315", "400*200", "200*100"};
        QTest::newRow("the selected row") << 1 << QStringList{"600*400", "280", "400*200", "auto"};
    }
    void autoSizes() {
        QFETCH(int, selected);
        QFETCH(QStringList, sizes);
        NetworkSession session;
        if (selected >= 0) {
            session.view->selectRow(selected);
        }
        session.ui->AutoSizeMi->trigger();
        QStringList taken;
        for (const NetworkSection& section : session.form->network().sections) {
            taken << QString::fromStdString(section.size);
        }
        QCOMPARE(taken, sizes);
        QCOMPARE(session.cell(3, SizeColumn),
                 sizes[3] == "auto" ? QStringLiteral("200*100 (auto)") : QStringLiteral("200*100"));
        QVERIFY(session.boxes.boxes.isEmpty());
    }
};

KALVOR_GUI_TEST(NetworkFormTest);
#include "NetworkFormTest.moc"

// What the network window hands over and shows, under a Russian desktop too: an XLSX whose
// numbers every reader takes and whose sheet is the command line's, every cell whole in the PDF,
// the calculator's air, catalogues changed on disk, velocities above their limit, branches without
// air, and the table's clipboard.
#include "GuiTest.h"
#include "NetworkSession.h"

#include "ui_Options.h"

#include <QClipboard>
#include <QHeaderView>
#include <QListView>
#include <QPrintPreviewDialog>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QUndoStack>
#include <QXmlStreamReader>

using namespace kalvor;
using namespace kalvor::test;

namespace {

QByteArray Unzipped(const QString& path, const QString& member) {
    QProcess unzip;
    unzip.start("unzip", {"-p", path, member});
    if (!unzip.waitForFinished(10000) || unzip.exitCode() != 0) {
        return {};
    }
    return unzip.readAllStandardOutput();
}

QString PdfText(const QString& path) {
    QProcess text;
    text.start("pdftotext", {"-layout", path, "-"});
    if (!text.waitForFinished(10000) || text.exitCode() != 0) {
        return {};
    }
    return QString::fromUtf8(text.readAllStandardOutput());
}

// The file's text as a spreadsheet's rows: the sample's sections 3 and 4 again, and a round one.
const char* const SpreadsheetRows = "10\t1\tКруглый\t250\tСтальной\t500\t4\t0,5\n";

} // namespace

class NetworkDeliverablesTest : public QObject {
    Q_OBJECT

private slots:
    // Every number of the sheet in the form an XLSX reader takes ("." and digits only), whatever
    // the process's locale; the window's sheet is the command line's, byte for byte.
    void xlsxNumbersAndTheCommandLinesSheet() {
        NetworkSession session;
        session.type(1, KmsColumn, "0.845704");
        QVERIFY(session.form->saveFile(session.path("sample.kalvor.json")));
        const QString window = session.path("window.xlsx");
        QVERIFY(session.form->exportXlsx(window));
        const QByteArray sheet = Unzipped(window, "xl/worksheets/sheet1.xml");
        QVERIFY(!sheet.isEmpty());

        const QRegularExpression number(R"(^-?[0-9]+(\.[0-9]+)?([eE][-+]?[0-9]+)?$)");
        QXmlStreamReader xml(sheet);
        int values = 0, widths = 0;
        bool numeric = false;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement()) {
                continue;
            }
            if (xml.name() == QLatin1String("c")) {
                numeric = xml.attributes().value("t").isEmpty();
            } else if (xml.name() == QLatin1String("v") && numeric) {
                const QString text = xml.readElementText();
                QVERIFY2(number.match(text).hasMatch(), qPrintable(text));
                ++values;
            } else if (xml.name() == QLatin1String("col")) {
                const QString width = xml.attributes().value("width").toString();
                QVERIFY2(number.match(width).hasMatch(), qPrintable(width));
                ++widths;
            }
        }
        QVERIFY(!xml.hasError());
        QVERIFY(values > 4 * 15);
        QVERIFY(widths > 0);
        QVERIFY(sheet.contains("<v>0.845704</v>"));

        const QString command = session.path("command.xlsx");
        QProcess run;
        run.start(KALVOR_NETWORK_PROGRAM, {session.path("sample.kalvor.json"), "--xlsx", command,
                                           "--catalogues", session.path(".")});
        QVERIFY(run.waitForFinished(10000));
        QCOMPARE(run.exitCode(), 0);
        QCOMPARE(Unzipped(command, "xl/worksheets/sheet1.xml"), sheet);
    }

    // Σζ to two decimals in the table, and in the PDF every cell as the table shows it, whole.
    void pdfCellsWhole() {
        NetworkSession session;
        session.type(1, KmsColumn, "0.845704");
        session.type(2, KmsColumn, "4.50159756");
        session.type(0, LengthColumn, "123456.789");
        QCOMPARE(session.cell(1, KmsColumn), Local("0,85"));
        QCOMPARE(session.cell(2, KmsColumn), Local("4,50"));
        const QString path = session.path("table.pdf");
        QVERIFY(session.form->exportPdf(path));
        const QString text = PdfText(path);
        QVERIFY(!text.isEmpty());
        for (int row = 0; row < session.model()->rowCount(); ++row) {
            for (int column = 0; column <= ImbalanceColumn; ++column) {
                QString cell = session.cell(row, column);
                if (cell.isEmpty()) {
                    continue;
                }
                cell.replace(" (auto)", "¹"); // on paper the mark refers to a note
                const QRegularExpression whole("(^|\\s)" + QRegularExpression::escape(cell) +
                                               "(\\s|$)");
                QVERIFY2(
                    whole.match(text).hasMatch(),
                    qPrintable(QString("row %1, column %2: %3").arg(row).arg(column).arg(cell)));
            }
        }
        QVERIFY(text.contains("¹ — размер подобран по каталогу"));
    }

    // A new network takes the settings window's air; a section from the calculator into a network
    // of other air says so and offers the calculator's, as one step of undo.
    void oneAirForTheWholeProgram() {
        NetworkSession session;
        auto* options = UiOf(session.forms.OptionsForm);
        TypeInto(options->tEdit, "25");
        TypeInto(options->PBarEdit, "990");
        auto* take = session.form->findChild<QPushButton*>("TakeAirBtn");
        QVERIFY(take->isHidden());

        session.ui->FromRoundMi->trigger();
        QVERIFY2(session.status().contains("не тот, что в калькуляторе"),
                 qPrintable(session.status()));
        QVERIFY(!take->isHidden());
        const int steps = session.form->undoStack()->count();
        take->click();
        QCOMPARE(session.form->network().air, (AirState{25, 990}));
        QVERIFY(take->isHidden());
        QCOMPARE(session.form->undoStack()->count(), steps + 1);
        session.form->undoStack()->undo();
        QCOMPARE(session.form->network().air, (AirState{20, 1013}));

        // Air the friction formula does not hold for is said in the status line.
        TypeInto(session.ui->tLe, "60");
        QVERIFY2(session.status().startsWith("Внимание: t = 60 °C вне −20…+40 °C"),
                 qPrintable(session.status()));

        session.boxes.answers << "Не сохранять";
        session.form->NewMiClick();
        QCOMPARE(session.form->network().air, (AirState{25, 990}));
        QVERIFY(session.form->network().sections.empty());
    }

    // A catalogue replaced by another program recomputes the "auto" size at once; one that is gone
    // names itself and the sections it sizes, and no size of it stays shown.
    void catalogueChangedOnDisk() {
        NetworkSession session;
        QCOMPARE(session.cell(3, SizeColumn), "200*100 (auto)");
        session.writeFile("Duct.new", "0.3 0.1\r\n0.4 0.2\r\n");
        QVERIFY(QFile::rename(session.path("Duct.new"), session.path("Duct.txt.tmp")));
        QVERIFY(QFile::remove(session.path("Duct.txt")));
        QVERIFY(QFile::rename(session.path("Duct.txt.tmp"), session.path("Duct.txt")));
        QTRY_COMPARE(session.cell(3, SizeColumn), "300*100 (auto)");
        session.writeFile("Duct.txt", "0.25 0.2\r\n");
        QTRY_COMPARE(session.cell(3, SizeColumn), "250*200 (auto)");
        session.removeFile("Duct.txt");
        QTRY_VERIFY(session.form->results() == nullptr);
        QVERIFY2(session.status().contains("Duct.txt") &&
                     session.status().contains("размеры участков: 4"),
                 qPrintable(session.status()));
        QCOMPARE(session.cell(3, SizeColumn), "auto");
    }

    // A velocity above the section's limit (its own, or the network's) is marked, explained and
    // listed; a branch that carries no air is not compared.
    void velocitiesAndBranchesWithoutAir_data() {
        QTest::addColumn<QString>("flow");   // of section 2
        QTest::addColumn<QString>("vmax");   // section 2's own
        QTest::addColumn<bool>("marked");    // its v cell
        QTest::addColumn<QString>("listed"); // in the totals, "" for no line
        QTest::addColumn<QString>("imbalance");
        QTest::newRow("above the network's 6 m/s")
            << "3000"
            << "" << true << Local("Скорость выше допустимой: уч. 2 (10,69 > 6 м/с)") << "";
        QTest::newRow("below its own 12 m/s") << "3000"
                                              << "12" << false << ""
                                              << "";
        QTest::newRow("above its own 4 m/s")
            << "1200"
            << "4" << true << Local("уч. 2 (4,28 > 4 м/с)") << Local("15,2");
        QTest::newRow("no air: not compared") << "0"
                                              << "" << false << ""
                                              << "";
    }
    void velocitiesAndBranchesWithoutAir() {
        QFETCH(QString, flow);
        QFETCH(QString, vmax);
        QFETCH(bool, marked);
        QFETCH(QString, listed);
        QFETCH(QString, imbalance);
        NetworkSession session;
        session.type(1, FlowColumn, flow);
        session.type(1, VmaxColumn, vmax);
        QVERIFY2(session.status().isEmpty(), qPrintable(session.status()));
        const QModelIndex v = session.index(1, VelocityColumn);
        QCOMPARE(v.data(Qt::BackgroundRole) == QVariant(FlaggedColour()), marked);
        QCOMPARE(v.data(Qt::ToolTipRole).toString().contains("выше допустимой"), marked);
        const QString totals = session.ui->TotalsLbl->text();
        QCOMPARE(totals.contains("Скорость выше допустимой"), !listed.isEmpty());
        QVERIFY2(totals.contains(listed), qPrintable(totals));
        QCOMPARE(session.cell(1, ImbalanceColumn), imbalance);
        if (flow == "0") {
            QVERIFY(!session.form->results()->sections[1].flagged);
            QVERIFY(totals.contains("Без расхода воздуха: уч. 2"));
        }
    }

    // Many sections above their limit: the totals name three and count the rest, the panel
    // "Проблемы" has a row for each and a click on one selects its section, the PDF names all.
    void problemsNamedInPartListedInFull() {
        NetworkSession session;
        Network network = session.form->network();
        network.sections.resize(1);
        network.sections[0].shape = DuctShape::Round;
        network.sections[0].size = "400";
        for (int id = 2; id <= 7; ++id) {
            NetworkSection section = network.sections[0];
            section.id = QString::number(id).toStdString();
            section.parent = "1";
            section.size = "100";
            section.flow = 1000;
            network.sections.push_back(section);
        }
        session.form->edit(network, "test");
        QVERIFY(session.form->results() != nullptr);
        const QString totals = session.ui->TotalsLbl->text();
        QVERIFY2(
            totals.contains(QRegularExpression("Скорость выше допустимой: уч. 1 \\([^)]+\\), "
                                               "уч. 2 \\([^)]+\\), уч. 3 \\([^)]+\\) и ещё 4")),
            qPrintable(totals));
        auto* list = session.form->findChild<QListView*>("ProblemsLv");
        QVERIFY(list != nullptr);
        QCOMPARE(list->model()->rowCount(), 7);
        for (const int row : {4, 0, 6}) {
            const QModelIndex index = list->model()->index(row, 0);
            QVERIFY(index.data().toString().startsWith(
                QStringLiteral("Уч. %1: скорость ").arg(row + 1)));
            list->scrollTo(index);
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                              list->visualRect(index).center());
            QCOMPARE(session.view->currentIndex().row(), row);
        }
        const QString pdf = session.path("problems.pdf");
        QVERIFY(session.form->exportPdf(pdf));
        const QString text = PdfText(pdf).simplified();
        QVERIFY2(!text.contains("и ещё") && text.contains(Local("уч. 7 (35,37 > 6 м/с)")),
                 qPrintable(text));
    }

    // The file dialogs open in the network's folder, else the one last used, and never in a
    // hidden folder such as the program's own working folder may be.
    void dialogsOpenWhereTheFilesAre() {
        {
            // A new user whose working folder is hidden and who has used no folder yet.
            NetworkSession empty(false);
            QVERIFY(QDir(empty.path(".")).mkpath(".kalvor/work"));
            const QString before = QDir::currentPath();
            QVERIFY(QDir::setCurrent(empty.path(".kalvor/work")));
            TNetworkForm fresh(nullptr);
            std::vector<FileQuestion> asked;
            fresh.setFileAsker([&asked](const FileQuestion& question) {
                asked.push_back(question);
                return QString();
            });
            fresh.ExportCsvMiClick();
            QDir::setCurrent(before);
            QCOMPARE(asked.size(), std::size_t{1});
            QVERIFY2(!asked[0].proposal.contains("/."), qPrintable(asked[0].proposal));
        }
        NetworkSession session;
        const auto proposedFolder = [&session] {
            session.form->ExportCsvMiClick(); // cancelled: no answer is given
            return QFileInfo(session.questions.back().proposal).absolutePath();
        };
        QCOMPARE(proposedFolder(), QFileInfo(session.path("sample.kalvor.json")).absolutePath());

        QVERIFY(QDir(session.path(".")).mkpath("elsewhere"));
        session.answerFileDialog(session.path("elsewhere/copy.kalvor.json"));
        QVERIFY(session.form->SaveAsMiClick());
        session.form->NewMiClick();
        QCOMPARE(proposedFolder(), QFileInfo(session.path("elsewhere")).absoluteFilePath());
    }

    // The window's size and its columns' widths come back as the user left them; a wider window
    // shares its width among the columns; "Печать…" shows the pages in a preview first.
    void layoutAndPreview() {
        NetworkSession session;
        session.form->show();
        session.form->resize(1500, 640);
        QCoreApplication::processEvents();
        QHeaderView* header = session.view->horizontalHeader();
        QTRY_VERIFY(header->length() >= session.view->viewport()->width() - 2);
        header->resizeSection(ShapeColumn, 230);
        QVERIFY(session.form->close());

        TNetworkForm again(nullptr);
        again.show();
        QCoreApplication::processEvents();
        QCOMPARE(again.size(), QSize(1500, 640));
        QTableView* view = again.findChild<QTableView*>("SectionsTv");
        QTRY_VERIFY(view->columnWidth(ShapeColumn) >= 230);

        bool previewed = false;
        QTimer::singleShot(0, &again, [&again, &previewed] {
            if (auto* preview = again.findChild<QPrintPreviewDialog*>("PrintPreview")) {
                previewed = true;
                preview->reject();
            }
        });
        again.PrintMiClick();
        QVERIFY(previewed);
        again.close();
    }

    // Rows copied with their headings paste back as new sections, branches renamed with them;
    // rows from a spreadsheet and cells from the current one on paste as one step of undo each.
    void clipboard() {
        NetworkSession session;
        session.view->setFocus();
        session.view->setCurrentIndex(session.index(3, 0));
        session.view->selectionModel()->select(
            QItemSelection(session.index(2, 0), session.index(3, VmaxColumn)),
            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        QTest::keyClick(session.view, Qt::Key_C, Qt::ControlModifier);
        const QStringList copied = QApplication::clipboard()->text().split('\n');
        QVERIFY(copied[0].startsWith(QStringLiteral("№ уч.\tОт уч.\tФорма\tРазмер, мм")));
        QVERIFY2(copied[2].startsWith("4\t3\tПрямоугольный\t200*100 (auto)\tСтальной\t400\t3\t"),
                 qPrintable(copied[2]));

        const int steps = session.form->undoStack()->count();
        QTest::keyClick(session.view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(session.form->undoStack()->count(), steps + 1);
        const std::vector<NetworkSection>& sections = session.form->network().sections;
        QCOMPARE(sections.size(), std::size_t{6});
        QCOMPARE(sections[4].id + "<" + sections[4].parent,
                 std::string("5<1")); // as 3 hangs from 1
        QCOMPARE(sections[5].id + "<" + sections[5].parent, std::string("6<5"));
        QCOMPARE(sections[4].flow, 800.0); // its own, not the 1200 through it
        QCOMPARE(sections[5].size, std::string("auto"));
        QVERIFY(session.form->results() != nullptr);

        // Text alone, as a spreadsheet gives it.
        QApplication::clipboard()->setText(SpreadsheetRows);
        session.view->setCurrentIndex(session.index(0, 0));
        QTest::keyClick(session.view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(session.form->network().sections.size(), std::size_t{7});
        const NetworkSection& round = session.form->network().sections[1];
        QCOMPARE(round.id + "<" + round.parent + " " + round.size, std::string("10<1 250"));
        QCOMPARE(round.kms, 0.5);

        // Cells from the current one down.
        QApplication::clipboard()->setText(Local("12\n9,5\n"));
        session.view->setCurrentIndex(session.index(0, LengthColumn));
        QTest::keyClick(session.view, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(session.form->network().sections[0].length, 12.0);
        QCOMPARE(session.form->network().sections[1].length, 9.5);
        session.form->undoStack()->undo();
        QCOMPARE(session.form->network().sections[0].length, 10.0);

        // Shapes and materials by the names their lists show.
        QApplication::clipboard()->setText("Круглый\t250\tГибкий\n");
        session.view->setCurrentIndex(session.index(3, ShapeColumn));
        QTest::keyClick(session.view, Qt::Key_V, Qt::ControlModifier);
        const NetworkSection& typed = session.form->network().sections[3];
        QCOMPARE(typed.shape, DuctShape::Round);
        QCOMPARE(typed.size, std::string("250"));
        QCOMPARE(typed.material, 1);
        session.form->undoStack()->undo();

        // What cannot be read changes nothing and says why.
        QApplication::clipboard()->setText("11\t1\tТреугольный\t250\tСтальной\t500\t4\t0\n");
        const Network before = session.form->network();
        session.boxes.answers << "OK";
        QTest::keyClick(session.view, Qt::Key_V, Qt::ControlModifier);
        QTRY_COMPARE(session.boxes.boxes.size(), 1);
        QVERIFY2(session.boxes.boxes[0].text.contains("строка 1, столбец «Форма»"),
                 qPrintable(session.boxes.boxes[0].text));
        QVERIFY(session.form->network() == before);
    }
};

KALVOR_GUI_TEST(NetworkDeliverablesTest);
#include "NetworkDeliverablesTest.moc"

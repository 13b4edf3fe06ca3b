// Tests of the network window's files: save and open through the file dialogs, a refused file
// taking nothing, the question about unsaved changes, the recent files, and the exports read
// back: the CSV, the XLSX's sheet (numbers in numeric cells), the PDF's pages.
#include "GuiTest.h"
#include "NetworkSession.h"

#include "network/NetworkFile.h"
#include "network/NetworkTable.h"

#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QUndoStack>
#include <QXmlStreamReader>

#include <cmath>

using namespace kalvor;
using namespace kalvor::test;

namespace {

// Fields of a CSV line: texts compared as they are, numbers within 1e-12 of their size.
// A line of the window's CSV: fields between ";", numbers with the system's separator and no
// other, compared with the expected values written with ".".
void CheckCsvLine(const QString& line, const QStringList& expected) {
    const QStringList fields = line.split(';');
    QCOMPARE(fields.size(), expected.size());
    const QChar separator = Local(",").front();
    const QChar other = separator == ',' ? QChar('.') : QChar(',');
    for (qsizetype i = 0; i < fields.size(); ++i) {
        bool number = false;
        const double wanted = expected[i].toDouble(&number);
        if (number && !expected[i].isEmpty()) {
            QVERIFY2(!fields[i].contains(other), qPrintable(fields[i]));
            QString field = fields[i];
            field.replace(separator, '.');
            QVERIFY2(
                std::abs(field.toDouble() - wanted) <= 1e-12 * std::abs(wanted),
                qPrintable(QString("field %1: %2, not %3").arg(i).arg(fields[i], expected[i])));
        } else {
            QCOMPARE(fields[i], expected[i]);
        }
    }
}

// A network of a root and the given number of sections hanging from it.
Network Fan(int sections) {
    Network network;
    network.name = "Веер";
    for (int i = 1; i <= sections; ++i) {
        NetworkSection section;
        section.id = QString::number(i).toStdString();
        section.parent = i == 1 ? "" : "1";
        section.size = "200*100";
        section.length = 2;
        section.flow = i == 1 ? 0 : 100;
        network.sections.push_back(section);
    }
    return network;
}

// The numeric cells of a sheet's XML: those without a type or of type "n".
QList<double> NumericCells(const QByteArray& sheet) {
    QList<double> numbers;
    QXmlStreamReader xml(sheet);
    bool numeric = false;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("c")) {
            const auto type = xml.attributes().value("t");
            numeric = type.isEmpty() || type == QLatin1String("n");
        } else if (xml.isStartElement() && xml.name() == QLatin1String("v") && numeric) {
            numbers << xml.readElementText().toDouble();
        }
    }
    return numbers;
}

bool Holds(const QList<double>& numbers, double value) {
    return std::any_of(numbers.begin(), numbers.end(), [value](double number) {
        return std::abs(number - value) <= 1e-9 * std::max(1.0, std::abs(value));
    });
}

} // namespace

class NetworkFilesTest : public QObject {
    Q_OBJECT

private slots:
    // Saved through "Сохранить как…", the name typed without an extension; opened back through
    // "Открыть…" it is the same network, unmodified, first among the recent files.
    void saveAsAndOpen() {
        NetworkSession session(false);
        session.ui->AddMi->trigger();
        session.type(0, LengthColumn, "4.5");
        QVERIFY(session.form->isWindowModified());
        const Network made = session.form->network();

        session.answerFileDialog(session.path("mine"));
        QVERIFY(session.form->SaveAsMiClick());
        const QString saved = session.path("mine.kalvor.json");
        QCOMPARE(session.form->filePath(), saved);
        QVERIFY(!session.form->isWindowModified());
        QCOMPARE(session.form->windowTitle(), QStringLiteral("mine.kalvor.json[*] — Расчёт сети"));
        QVERIFY(ReadFile(saved).contains("\"length\": 4.5"));
        QVERIFY(LoadNetworkFile(saved.toStdString()) == made);

        session.ui->NewMi->trigger();
        QCOMPARE(session.model()->rowCount(), 0);
        session.answerFileDialog(saved);
        session.ui->OpenMi->trigger();
        QVERIFY(session.form->network() == made);
        QCOMPARE(session.form->recentFiles().value(0), saved);
        QVERIFY(session.boxes.boxes.isEmpty());
        // Save as proposes the network's name in the folder of the last file; open proposes the
        // folder of the file saved, filtered to network files.
        QCOMPARE(session.questions.size(), std::size_t{2});
        QVERIFY(session.questions[0].save);
        QCOMPARE(QFileInfo(session.questions[0].proposal).fileName(),
                 QStringLiteral("сеть.kalvor.json"));
        QVERIFY(!session.questions[1].save);
        QCOMPARE(session.questions[1].proposal, QFileInfo(saved).absolutePath());
        QVERIFY(session.questions[1].filter.contains("*.kalvor.json"));
    }

    // A file that cannot be used is refused whole, with its section and field named: the
    // network, its file and its undo steps stay as they were.
    void refusedFile_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("message");
        const QByteArray head = R"({"kalvor-network": 1, "sections": [)";
        QTest::newRow("negative length")
            << head + R"({"id": "1", "shape": "round", "size": "200", "length": -2}]})"
            << "участок «1», поле «length»";
        QTest::newRow("unknown parent")
            << head + R"({"id": "1", "shape": "round", "size": "200", "length": 2},
                         {"id": "2", "parent": "7", "shape": "round", "size": "200",
                          "length": 2}]})"
            << "участок «2», поле «parent»";
        QTest::newRow("not JSON") << QByteArray("{\"kalvor-network\": 1, ")
                                  << "bad.kalvor.json»: файл не в формате JSON";
        QTest::newRow("no such file") << QByteArray() << "файл не найден";
    }
    void refusedFile() {
        QFETCH(QByteArray, text);
        QFETCH(QString, message);
        NetworkSession session;
        session.type(1, LengthColumn, "12");
        const Network before = session.form->network();
        if (!text.isEmpty()) {
            session.writeFile("bad.kalvor.json", text);
        }
        const QString bad = session.path("bad.kalvor.json");

        QVERIFY(!session.form->openFile(bad));
        QCOMPARE(session.boxes.boxes.size(), 1);
        const BoxAnswerer::Box& box = session.boxes.boxes.front();
        QVERIFY(box.error);
        QVERIFY2(box.text.startsWith("Сеть не открыта: ") && box.text.contains(message),
                 qPrintable(box.text));
        QVERIFY(session.form->network() == before);
        QCOMPARE(session.form->filePath(), session.path("sample.kalvor.json"));
        QCOMPARE(session.form->undoStack()->count(), 1);
        QVERIFY(session.form->isWindowModified());
        QVERIFY(!session.form->recentFiles().contains(bad));
    }

    // Closing with changes unsaved asks; each answer does what it says.
    void unsavedChanges_data() {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Сохранить") << "Сохранить" << true << true;
        QTest::newRow("Не сохранять") << "Не сохранять" << true << false;
        QTest::newRow("Отмена") << "Отмена" << false << false;
    }
    void unsavedChanges() {
        QFETCH(QString, answer);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        NetworkSession session;
        session.type(1, LengthColumn, "12");
        session.boxes.answers << answer;
        QCOMPARE(session.form->close(), closed);
        QCOMPARE(session.form->isVisible(), !closed);
        QCOMPARE(session.boxes.boxes.size(), 1);
        const BoxAnswerer::Box& box = session.boxes.boxes.front();
        QCOMPARE(box.caption, QStringLiteral("Расчёт сети"));
        QCOMPARE(box.text, QStringLiteral("Сохранить изменения в «sample.kalvor.json»?"));
        QCOMPARE(box.icon, QMessageBox::Question);
        const Network onDisk = LoadNetworkFile(session.path("sample.kalvor.json").toStdString());
        QCOMPARE(onDisk.sections[1].length, saved ? 12.0 : 8.0);
    }

    // A network that breaks a rule of the file (a negative length, a tab pasted into an id) is
    // not saved, so that no file is written that could not be opened again: the file on disk
    // stays, the message names the section and the field, closing with "Сохранить" keeps the
    // window open; put right, it saves.
    void unusableNetworkNotSaved_data() {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("message");
        QTest::newRow("negative length")
            << int(LengthColumn) << "-2"
            << "Сеть не сохранена: участок «2», столбец «l, м»: не может быть отрицательным (-2).";
        QTest::newRow("tab in an id") << int(IdColumn) << "2\tb"
                                      << "Сеть не сохранена: участок № 2 по порядку в файле, "
                                         "столбец «№ уч.»: в id не может быть "
                                         "управляющих символов.";
    }
    void unusableNetworkNotSaved() {
        QFETCH(int, column);
        QFETCH(QString, text);
        QFETCH(QString, message);
        NetworkSession session;
        const QString path = session.path("sample.kalvor.json");
        const QByteArray before = ReadFile(path);
        session.form->commitCell(1, column, text);
        QVERIFY(session.form->results() == nullptr);

        QVERIFY(!session.form->saveFile(path));
        QCOMPARE(ReadFile(path), before);
        QCOMPARE(session.boxes.boxes.size(), 1);
        QVERIFY2(session.boxes.boxes.front().text.startsWith(message),
                 qPrintable(session.boxes.boxes.front().text));
        QVERIFY(session.boxes.boxes.front().error);

        session.boxes.answers << QStringLiteral("Сохранить");
        QVERIFY(!session.form->close());
        QCOMPARE(ReadFile(path), before);
        QVERIFY(session.form->isWindowModified());

        session.form->undoStack()->undo();
        QVERIFY(session.form->saveFile(path));
        QVERIFY(LoadNetworkFile(path.toStdString()) == session.form->network());
    }

    // "Новый" asks as well; the main window, closing, lets the network window ask first.
    void otherStepsAsk() {
        NetworkSession session;
        session.type(1, LengthColumn, "12");
        const Network edited = session.form->network();
        session.boxes.answers << "Отмена"
                              << "Отмена";
        session.ui->NewMi->trigger();
        QVERIFY(session.form->network() == edited);
        session.forms.mainForm->close();
        QVERIFY(!session.forms.mainForm->closed());
        QVERIFY(session.form->isVisible());
        QCOMPARE(session.boxes.boxes.size(), 2);
        session.boxes.answers << "Не сохранять";
        session.forms.mainForm->close();
        QVERIFY(session.forms.mainForm->closed());
        QVERIFY(!session.form->isVisible());
    }

    // The recent files are kept under the window's own key, newest first, and open from the menu.
    void recentFiles() {
        NetworkSession session;
        session.writeFile("other.kalvor.json", R"({"kalvor-network": 1, "name": "Другая",
            "sections": [{"id": "A", "shape": "round", "size": "200", "length": 1}]})");
        QVERIFY(session.form->openFile(session.path("other.kalvor.json")));
        QCOMPARE(session.form->recentFiles(), (QStringList{session.path("other.kalvor.json"),
                                                           session.path("sample.kalvor.json")}));
        SettingsStore store;
        store.OpenKey(NetworkSettingsKey, false);
        QCOMPARE(QString::fromStdString(store.ReadString("File2")),
                 session.path("sample.kalvor.json"));
        QVERIFY(TempUser::storedString("File1").isEmpty()); // the calculator's key is untouched

        const QList<QAction*> items = session.ui->RecentMenu->actions();
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[1]->text(), "&2 " + session.path("sample.kalvor.json"));
        items[1]->trigger();
        QCOMPARE(session.form->network().name, std::string("П1"));
        QCOMPARE(session.form->recentFiles().value(0), session.path("sample.kalvor.json"));
    }

    // The CSV as a Russian spreadsheet opens it: a byte-order mark, the title, the Russian
    // headings, the sections in file order with the figures worked out in python3 (15
    // significant digits) and the system's separator, the size chosen for section 4, the totals.
    void exportCsv() {
        NetworkSession session;
        const QString path = session.path("table.csv");
        QVERIFY(session.form->exportCsv(path));
        const QByteArray bytes = ReadFile(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split("\r\n");
        QCOMPARE(lines[0], QStringLiteral("Аэродинамический расчёт сети «П1»"));
        QCOMPARE(lines[2], QString());
        QCOMPARE(lines[3], QStringLiteral("№ уч.;От уч.;Форма;Размер, мм;Материал;L, м³/ч;l, м;Σζ;"
                                          "F, м²;De, м;v, м/с;R, Па/м;R·l, Па;Pд, Па;Z, Па;"
                                          "R·l+Z, Па;ΣΔP, Па;Невязка, %;v > vmax"));
        CheckCsvLine(lines[5],
                     {"2", "1", "Круглый", "315", "Стальной", "1200", "8", "1.5",
                      "0.0779311327631118", "0.315", "4.27728074153074", "0.696880695048415",
                      "5.57504556038732", "11.0223483155663", "16.5335224733495",
                      "22.1085680337368", "26.3146295959433", "15.1811001767867", "0"});
        CheckCsvLine(lines[7], {"4", "3", "Прямоугольный", "200*100", "Стальной", "400", "3", "0.2",
                                "0.02", "0.133333333333333", "5.55555555555555", "3.29449937224091",
                                "9.88349811672273", "18.594889765179", "3.71897795303579",
                                "13.6024760697585", "30.2716767491723", "", "0"});
        QCOMPARE(lines[8], QString()); // the totals follow a blank line
        QVERIFY(lines[9].startsWith("Главное направление: "));
    }

    // The XLSX's sheet holds the figures as numbers, not texts.
    void exportXlsx() {
        NetworkSession session;
        const QString path = session.path("table.xlsx");
        QVERIFY(session.form->exportXlsx(path));
        QProcess unzip;
        unzip.start("unzip", {"-p", path, "xl/worksheets/sheet1.xml"});
        QVERIFY(unzip.waitForFinished(10000));
        QCOMPARE(unzip.exitCode(), 0);
        const QList<double> numbers = NumericCells(unzip.readAllStandardOutput());
        for (const double value :
             {2400.0, 1200.0, 0.315, 26.3146295959433, 30.2716767491723, 15.1811001767867}) {
            QVERIFY2(Holds(numbers, value), qPrintable(QString::number(value, 'g', 15)));
        }
    }

    // The PDF: one page per 40 rows or fewer, the totals below the last rows.
    void exportPdf_data() {
        QTest::addColumn<int>("sections");
        QTest::addColumn<int>("pages");
        QTest::newRow("3 sections") << 3 << 1;
        QTest::newRow("40 sections") << 40 << 1;
        QTest::newRow("41 sections") << 41 << 2;
        QTest::newRow("95 sections") << 95 << 3;
    }
    void exportPdf() {
        QFETCH(int, sections);
        QFETCH(int, pages);
        NetworkSession session(false);
        session.form->edit(Fan(sections), "Веер");
        QVERIFY(session.form->results() != nullptr);
        const QString path = session.path("table.pdf");
        QVERIFY(session.form->exportPdf(path));
        const QByteArray pdf = ReadFile(path);
        QVERIFY(pdf.startsWith("%PDF-"));
        QVERIFY(pdf.size() > 2000);
        const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
        QCOMPARE(int(QString::fromLatin1(pdf).count(page)), pages);
    }

    // Nothing is written while the network cannot be computed; the reason is shown.
    void exportRefusedWithoutResults() {
        NetworkSession session;
        session.type(1, LengthColumn, "-1");
        const QString path = session.path("table.csv");
        QVERIFY(!session.form->exportCsv(path));
        QVERIFY(!QFile::exists(path));
        QCOMPARE(session.boxes.boxes.size(), 1);
        QVERIFY2(session.boxes.boxes.front().text.startsWith(
                     "Сеть не рассчитана: участок «2», столбец «l, м»"),
                 qPrintable(session.boxes.boxes.front().text));
    }
};

KALVOR_GUI_TEST(NetworkFilesTest);
#include "NetworkFilesTest.moc"

// The network window tests' session: a user with small catalogues, the windows as the program
// creates them, the sample network's file, typing and picking in the table as a user does.
//
// The sample ("П1", t 20 °C, PBar 1013 hPa, Vmax 6 m/s, tolerance and reserve 10 %):
//   1  root     rectangular 600*400, steel,    l 10, Σζ 0.5
//   2  from 1   round 315,           steel,    l 8,  Σζ 1.5, 1200 m3/h
//   3  from 1   flat-oval 400*200,   flexible, l 5,  Σζ 0.3, 800 m3/h
//   4  from 3   rectangular auto,    steel,    l 3,  Σζ 0.2, 400 m3/h
// Section 4 needs 400 / (6·3600) = 0.0185 m²: of the catalogue's 150*100, 200*100 and 250*200
// it takes 200*100. Worked out with the formulas in python3 (ρ = 0.4643·1013/1.33/293 − 0.002
// = 1.205 kg/m³, λ = 0.11·(k/De + 68/Re)^0.25, R = λ·Pd/De, P = R·l + Pd·Σζ):
//   path 1 4.21, 2 26.31, 3 16.67, 4 30.27 Pa (the flat oval's De = 4F/Per = 0.2778 m); the main
//   path 1 → 3 → 4, 30.27 Pa, the fan 33.30 Pa; at section 1 branch 3 leads with 26.07 Pa,
//   branch 2 loses 22.11 Pa: imbalance 15.18 % ("15,2"), above 10 %.
#pragma once

#include "FormAccess.h"
#include "GuiTestSupport.h"

#include "ui_NetworkForm.h"

#include "network/NetworkForm.h"
#include "network/NetworkSheet.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QStringList>
#include <QTableView>
#include <QTest>

#include <functional>
#include <vector>

namespace kalvor::test {

inline const QByteArray SampleText = R"({"kalvor-network": 1, "name": "П1",
 "air": {"t": 20, "PBar": 1013}, "Vmax": 6, "tolerance": 10, "reserve": 10,
 "sections": [
  {"id": "1", "parent": "", "shape": "rectangular", "size": "600*400", "material": 0,
   "length": 10, "kms": 0.5},
  {"id": "2", "parent": "1", "shape": "round", "size": "315", "material": 0, "length": 8,
   "kms": 1.5, "flow": 1200},
  {"id": "3", "parent": "1", "shape": "flat-oval", "size": "400*200", "material": 1,
   "length": 5, "kms": 0.3, "flow": 800},
  {"id": "4", "parent": "3", "shape": "rectangular", "size": "auto", "material": 0,
   "length": 3, "kms": 0.2, "flow": 400}]}
)";

class NetworkSession {
    TempUser m_user; // made before the windows, gone after them

public:
    // beforeWindows runs once the user exists, before the windows are made (stored settings).
    explicit NetworkSession(bool sample = true, const std::function<void()>& beforeWindows = {}) {
        m_user.writeFile("Duct.txt", "0.15 0.1\r\n0.2 0.1\r\n0.25 0.2\r\n");
        m_user.writeFile("OvalDuct.txt", "0.4 0.2\r\n0.6 0.25\r\n");
        m_user.writeFile("RoundDuct.txt", "0.2\r\n0.28\r\n0.355\r\n0.45\r\n");
        if (beforeWindows) {
            beforeWindows();
        }
        forms = MakeForms();
        form = forms.NetworkForm.get();
        ui = UiOf(form);
        view = ui->SectionsTv;
        form->setFileAsker([this](const FileQuestion& question) {
            questions.push_back(question);
            return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
        });
        if (sample) {
            m_user.writeFile("sample.kalvor.json", SampleText);
            opened = form->openFile(path("sample.kalvor.json"));
        }
    }
    ~NetworkSession() { forms = {}; }

    QString path(const QString& name) const { return QDir(m_user.folder()).filePath(name); }
    void writeFile(const QString& name, const QByteArray& bytes) const {
        m_user.writeFile(name, bytes);
    }
    void removeFile(const QString& name) const { m_user.removeFile(name); }

    QAbstractItemModel* model() const { return view->model(); }
    QModelIndex index(int row, int column) const { return model()->index(row, column); }
    QString cell(int row, int column) const { return index(row, column).data().toString(); }
    QString rowMark(int row) const {
        return model()->headerData(row, Qt::Vertical, Qt::DisplayRole).toString();
    }
    QString status() const { return form->findChild<QLabel*>("ProblemLbl")->text(); }

    // Opens the cell's editor with F2 as a user does, selects its text, types the keys (ASCII;
    // others go as plain key events) and ends with Enter.
    void type(int row, int column, const QString& keys) {
        startEditing(row, column);
        if (auto* line = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
            line->selectAll();
        }
        press(keys);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    // Types over a cell without opening it first: the first key starts the edit.
    void typeOver(int row, int column, const QString& keys) {
        view->setCurrentIndex(index(row, column));
        if (!Focus(view)) {
            qWarning("the table does not take the focus");
        }
        press(keys);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    // Opens a list cell with F2 and picks the item that the typed text begins, as the keyboard
    // search of a list does.
    void pick(int row, int column, const QString& itemStart) {
        startEditing(row, column);
        press(itemStart);
        QCoreApplication::processEvents();
    }

    // The window's next question for a path is answered with answer (questions with no answer
    // left are cancelled); every question is kept in questions.
    void answerFileDialog(const QString& answer) { fileAnswers << answer; }

    QStringList fileAnswers;
    std::vector<FileQuestion> questions;
    bool opened = false;
    BoxAnswerer boxes;
    Forms forms;
    TNetworkForm* form = nullptr;
    Ui::TNetworkForm* ui = nullptr;
    QTableView* view = nullptr;

private:
    void startEditing(int row, int column) {
        view->setCurrentIndex(index(row, column));
        if (!Focus(view)) {
            qWarning("the table does not take the focus");
        }
        QTest::keyClick(view, Qt::Key_F2);
        QCoreApplication::processEvents();
    }
    static void press(const QString& keys) {
        for (const QChar c : keys) {
            QWidget* target = QApplication::focusWidget();
            if (c.unicode() < 128 && c.unicode() >= 32) {
                QTest::keyClick(target, c.toLatin1());
            } else {
                QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
                QTest::sendKeyEvent(QTest::Release, target, Qt::Key_unknown, QString(c),
                                    Qt::NoModifier);
            }
        }
    }
};

} // namespace kalvor::test

// The catalogue editor's test session: a user with small catalogues, the windows as the program
// creates them, the editor's grid read and typed into as the user does.
#pragma once

#include "FormAccess.h"
#include "GuiTestSupport.h"

#include "ui_DuctSizes.h"

#include "widgets/RadioGroup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTest>

namespace kalvor::test {

inline const QByteArray FiveRows = "0.1 0.1\r\n0.1 0.2\r\n0.1 0.3\r\n0.1 0.4\r\n0.1 0.5\r\n";
inline const char* const FileNames[] = {"Duct.txt", "OvalDuct.txt", "RoundDuct.txt"};

// One test's user with the given catalogues and "mm", the windows as the program creates them,
// and every message box and beep recorded instead of shown or sounded. A grid row reads as its
// four cell texts joined by "|", with the system's decimal separator.
class EditorSession {
public:
    explicit EditorSession(int mm, const QByteArray& duct = FiveRows,
                           const QByteArray& oval = "0.5 0.2\r\n",
                           const QByteArray& round = "0.2\r\n0.315\r\n") {
        m_user.writeFile("Duct.txt", duct);
        m_user.writeFile("OvalDuct.txt", oval);
        m_user.writeFile("RoundDuct.txt", round);
        TempUser::storeInteger("mm", mm);
        SetBeepHook([this] { ++beeps; });
        forms = MakeForms();
        editor = forms.DuctSizesForm.get();
        ui = UiOf(editor);
        grid = ui->DuctSizesSg;
    }
    ~EditorSession() {
        forms.DuctSizesForm.reset();
        forms.OptionsForm.reset();
        forms.mainForm.reset();
        SetBeepHook(nullptr);
    }

    QByteArray ReadFile(const QString& name) const {
        QFile file(QDir(m_user.folder()).filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    void WriteFile(const QString& name, const QByteArray& bytes) const {
        m_user.writeFile(name, bytes);
    }
    void RemoveFile(const QString& name) const { m_user.removeFile(name); }

    // Picks a shape as the user does, by its radio button.
    void Pick(int shape) {
        ui->DuctSelectionRg->findChild<QRadioButton*>(QString("item%1").arg(shape))->click();
    }

    QString Cell(int row, int column) const { return grid->item(row, column)->text(); }
    QStringList Rows() const {
        QStringList rows;
        for (int row = 0; row < grid->rowCount(); ++row) {
            rows << QStringList{Cell(row, 0), Cell(row, 1), Cell(row, 2), Cell(row, 3)}.join('|');
        }
        return rows;
    }
    // Sets A and B of each row in turn from a flat list.
    void SetSizes(const QStringList& cells) {
        for (int i = 0; i < cells.size(); ++i) {
            grid->item(i / 2, 1 + i % 2)->setText(Local(cells[i]));
        }
    }

    // Types into a cell as the user does: the first key starts the edit, the rest reach the
    // cell editor, Enter ends it.
    void Type(int row, int column, const QString& keys) {
        grid->setCurrentCell(row, column);
        QVERIFY(Focus(grid));
        for (const QChar key : keys) {
            QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
    }

    // Every message box the session met, answered; the buttons to press, in turn (the first
    // button of a box once they run out).
    const QList<BoxAnswerer::Box>& messages() const { return m_answerer.boxes; }
    QStringList& answers() { return m_answerer.answers; }
    int beeps = 0;
    Forms forms;
    TDuctSizesForm* editor = nullptr;
    Ui::TDuctSizesForm* ui = nullptr;
    QTableWidget* grid = nullptr;

private:
    TempUser m_user;
    BoxAnswerer m_answerer;
};

inline QStringList LocalList(QStringList texts) {
    for (QString& text : texts) {
        text = Local(text);
    }
    return texts;
}

inline QString FloatMessage(const QString& text) {
    return QString("'%1' is not a valid floating point value.").arg(text);
}

} // namespace kalvor::test

// Tests of the editing keys in every kind of box behind the key filter (numeric boxes, size boxes,
// the settings window's fields, the catalogue editor's cell editor), paste through the numeric
// box's own check, and Qt's own texts in Russian.
#include "FormAccess.h"
#include "GuiTest.h"
#include "GuiTestSupport.h"
#include "WindowTest.h"

#include "ui_DuctSizes.h"
#include "ui_MainFormUnit.h"
#include "ui_Options.h"

#include "widgets/RadioGroup.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <memory>

using namespace kalvor;
using namespace kalvor::test;

namespace {

// One key chord: the key and its modifiers.
struct Chord {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
};
const Chord SelectAll{Qt::Key_A, Qt::ControlModifier};
const Chord CopyKeys[] = {{Qt::Key_C, Qt::ControlModifier}, {Qt::Key_Insert, Qt::ControlModifier}};
const Chord CutKeys[] = {{Qt::Key_X, Qt::ControlModifier}, {Qt::Key_Delete, Qt::ShiftModifier}};
const Chord PasteKeys[] = {{Qt::Key_V, Qt::ControlModifier}, {Qt::Key_Insert, Qt::ShiftModifier}};
const Chord Undo{Qt::Key_Z, Qt::ControlModifier};
const Chord Redo{Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier};

// An action's caption without its mnemonic marks and its shortcut text.
QString WithoutMnemonics(QString text) {
    return text.remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0);
}

} // namespace

class EditingKeysTest : public WindowTest {
    Q_OBJECT

    // The boxes the table names, each with the line edit that holds its text. The catalogue
    // editor's cell editor exists only while a cell is being edited: it is opened here.
    QLineEdit* open(const QString& name) {
        Ui::TmainForm* main = UiOf(m_forms.mainForm);
        if (name == QLatin1String("Qedit")) {
            return Focus(main->Qedit) ? main->Qedit : nullptr;
        }
        if (name == QLatin1String("DuctCb") || name == QLatin1String("DEdit")) {
            auto* box = m_forms.mainForm->findChild<QComboBox*>(name);
            return Focus(box) ? box->lineEdit() : nullptr;
        }
        if (name == QLatin1String("tEdit")) {
            m_forms.OptionsForm->show();
            QLineEdit* edit = UiOf(m_forms.OptionsForm)->tEdit;
            return Focus(edit) ? edit : nullptr;
        }
        // The catalogue editor's cell: a rectangular catalogue loaded, cell A of row 1 edited.
        TDuctSizesForm* editor = m_forms.DuctSizesForm.get();
        editor->show();
        UiOf(editor)->DuctSelectionRg->findChild<QRadioButton*>("item0")->click();
        QTableWidget* grid = UiOf(editor)->DuctSizesSg;
        grid->setCurrentCell(0, 1);
        if (!Focus(grid)) {
            return nullptr;
        }
        grid->editItem(grid->item(0, 1));
        const auto cellEditor = [] {
            return qobject_cast<QLineEdit*>(QApplication::focusWidget());
        };
        return QTest::qWaitFor([&] { return cellEditor() != nullptr; }) ? cellEditor() : nullptr;
    }

    static void press(const Chord& chord) {
        QTest::keyClick(QApplication::focusWidget(), chord.key, chord.modifiers);
    }
    static void type(const QString& text) {
        for (const QChar c : text) {
            QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        }
    }
    // Starts every case from the same text, the cursor at its end.
    static void start(QLineEdit* edit, const QString& text) {
        edit->selectAll();
        type(text);
        QCOMPARE(edit->text(), text);
    }

private slots:

    void editingKeys_data() {
        QTest::addColumn<QString>("box");
        for (const char* box : {"Qedit", "DuctCb", "DEdit", "tEdit", "cell"}) {
            QTest::newRow(box) << QString::fromLatin1(box);
        }
    }

    // Select all, copy, cut, paste, undo and redo, in their Control and Insert/Delete forms, do
    // what they do in any line edit; the key filter only judges the characters typed.
    void editingKeys() {
        QFETCH(QString, box);
        QLineEdit* edit = open(box);
        QVERIFY(edit != nullptr);
        QClipboard* clipboard = QApplication::clipboard();

        start(edit, QStringLiteral("123"));
        press(SelectAll);
        type(QStringLiteral("45"));
        QCOMPARE(edit->text(), QStringLiteral("45"));

        for (const Chord& copy : CopyKeys) {
            start(edit, QStringLiteral("678"));
            clipboard->clear();
            press(SelectAll);
            press(copy);
            QCOMPARE(clipboard->text(), QStringLiteral("678"));
            QCOMPARE(edit->text(), QStringLiteral("678"));
        }
        for (const Chord& cut : CutKeys) {
            start(edit, QStringLiteral("91"));
            clipboard->clear();
            press(SelectAll);
            press(cut);
            QCOMPARE(clipboard->text(), QStringLiteral("91"));
            QCOMPARE(edit->text(), QString());
        }
        for (const Chord& paste : PasteKeys) {
            start(edit, QStringLiteral("5"));
            clipboard->setText(QStringLiteral("20"));
            press(paste);
            QCOMPARE(edit->text(), QStringLiteral("520"));
        }

        start(edit, QStringLiteral("12"));
        type(QStringLiteral("7"));
        QCOMPARE(edit->text(), QStringLiteral("127"));
        press(Undo);
        QVERIFY(edit->text() != QStringLiteral("127"));
        press(Redo);
        QCOMPARE(edit->text(), QStringLiteral("127"));
    }

    // A text pasted into a numeric box passes the box's own check as typed text does.
    void pasteIntoANumericBox_data() {
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("text");
        QTest::newRow("number") << Local("12,5") << Local("12,5");
        QTest::newRow("letters refused") << "abc"
                                         << "";
        QTest::newRow("three decimals refused") << Local("1,234") << "";
        QTest::newRow("16 integer digits refused") << "1234567890123456"
                                                   << "";
    }
    void pasteIntoANumericBox() {
        QFETCH(QString, pasted);
        QFETCH(QString, text);
        CalcEdit* box = UiOf(m_forms.mainForm)->KMSLe;
        QVERIFY(Focus(box));
        box->clear();
        QApplication::clipboard()->setText(pasted);
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(box->text(), text);
    }

    // Qt's own texts are Russian whatever the locale: the boxes' context menus and the buttons of
    // standard dialogs.
    void qtTextsInRussian() {
        QLineEdit* edit = UiOf(m_forms.mainForm)->Qedit;
        std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
        QStringList texts;
        for (const QAction* action : menu->actions()) {
            if (!action->isSeparator()) {
                texts << WithoutMnemonics(action->text());
            }
        }
        QVERIFY2(texts.contains(QStringLiteral("Копировать")), qPrintable(texts.join('|')));
        QVERIFY2(texts.contains(QStringLiteral("Вставить")), qPrintable(texts.join('|')));
        QVERIFY2(texts.contains(QStringLiteral("Выделить всё")), qPrintable(texts.join('|')));

        QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        QCOMPARE(WithoutMnemonics(buttons.button(QDialogButtonBox::Cancel)->text()),
                 QStringLiteral("Отмена"));
    }
};

KALVOR_GUI_TEST(EditingKeysTest);
#include "EditingKeysTest.moc"

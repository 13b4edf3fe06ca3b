// Tests of the main window's frame: its design, the size lists from the catalogues, saving at
// close, the menus, hiding to the notification area and coming back (with a fake icon).
#include "FormAccess.h"
#include "GuiTest.h"
#include "GuiTestSupport.h"
#include "WindowTest.h"

#include "ui_MainFormUnit.h"
#include "ui_Options.h"
#include "widgets/Tray.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace kalvor;
using namespace kalvor::test;

namespace {

// What the fake notification-area icon was told; it outlives the icon.
struct TrayLog {
    bool available = true;
    bool visible = false;
    int shows = 0;
    QString tip;
};

class FakeTray : public TrayIcon {
public:
    explicit FakeTray(TrayLog* log)
        : m_log(log) {}
    bool available() const override { return m_log->available; }
    void show() override {
        m_log->visible = true;
        ++m_log->shows;
    }
    void hide() override { m_log->visible = false; }
    bool visible() const override { return m_log->visible; }
    QRect geometry() const override { return {}; }
    void setIcon(const QIcon&) override {}
    void setToolTip(const QString& tip) override { m_log->tip = tip; }
    void activate(QSystemTrayIcon::ActivationReason reason) { emit activated(reason); }

private:
    TrayLog* m_log;
};

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i) {
        items << box->itemText(i);
    }
    return items;
}

} // namespace

class MainWindowTest : public WindowTest {
    Q_OBJECT

    TrayLog m_tray;
    FakeTray* m_fake = nullptr;

    void beforeWindows() override {
        m_tray = TrayLog{};
        SetTrayIconFactory([this] {
            auto fake = std::make_unique<FakeTray>(&m_tray);
            m_fake = fake.get();
            return fake;
        });
    }
    void afterWindows() override { SetTrayIconFactory(nullptr); }

    void minimise() {
        main()->showMinimized();
        QTest::qWait(20); // the window hides right after the state change
    }

private slots:

    void design() {
        QCOMPARE(main()->objectName(), QStringLiteral("mainForm"));
        QCOMPARE(main()->windowTitle(), QStringLiteral("Kalvor v. 2.0.0.2"));
        QCOMPARE(main()->width(), 442);
        QCOMPARE(main()->height() - main()->menuBar()->height(), 449);
        QCOMPARE(main()->minimumSize(), main()->maximumSize());
        QCOMPARE(main()->statusBar()->height(), 19);
        QCOMPARE(main()->statusBar()->objectName(), QStringLiteral("StatusBar1"));
        QVERIFY(!(main()->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(main()->windowFlags() & Qt::WindowMinimizeButtonHint);
        QCOMPARE(QFontInfo(ui()->DuctVLabel->font()).pointSize(), 8);
        QCOMPARE(ui()->DuctVLabel->font().family(), QStringLiteral("Arial"));
        // The menus are windows of their own, in the window's font all the same.
        for (const QWidget* menu :
             {static_cast<QWidget*>(main()->menuBar()), static_cast<QWidget*>(ui()->N3),
              static_cast<QWidget*>(main()->popupMenu())}) {
            QCOMPARE(menu->font().family(), QStringLiteral("Arial"));
            QCOMPARE(QFontInfo(menu->font()).pointSize(), 8);
        }
        QCOMPARE(CrowdedItems(ui()->ZakrepitRazmerRg), QString());
        QVERIFY(ui()->Qedit->font().bold());
        QCOMPARE(ui()->VEdit->text(), QStringLiteral("5"));
        QCOMPARE(ui()->FindSizesBtn->size(), QSize(291, 49));
        QVERIFY(ui()->DuctPicture->movie() != nullptr);
        QCOMPARE(ui()->MaterialCb->count(), 5);
        QCOMPARE(ui()->OvalDuctMaterialCb->count(), 2);
        QCOMPARE(ui()->MaterialDCb->itemText(0), QStringLiteral("Стальной"));
        QVERIFY(ui()->DuctCb->isEditable() && ui()->DuctCb->completer() == nullptr);
    }

    // Tab walks the window as it reads: the inputs left to right, the sizes and materials across
    // the three sections, the search method below them, the size search; Shift+Tab walks back.
    void tabOrder_data() {
        QTest::addColumn<bool>("forward");
        QTest::newRow("Tab") << true;
        QTest::newRow("Shift+Tab") << false;
    }
    void tabOrder() {
        QFETCH(bool, forward);
        QStringList expected = {"Qedit",       "LEdit",       "VEdit",
                                "LLe",         "KMSLe",       "DuctCb",
                                "MaterialCb",  "OvalDuctCb",  "OvalDuctMaterialCb",
                                "DEdit",       "MaterialDCb", "ZakrepitRazmerRg",
                                "FindSizesBtn"};
        if (!forward) {
            std::reverse(expected.begin(), expected.end());
        }
        QVERIFY(Focus(main()->findChild<QWidget*>(expected.first())));
        QStringList visited = {expected.first()};
        for (qsizetype i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), forward ? Qt::Key_Tab : Qt::Key_Backtab,
                            forward ? Qt::NoModifier : Qt::ShiftModifier);
            QWidget* focused = QApplication::focusWidget();
            // A radio group takes the focus on its selected button.
            if (focused->parentWidget() == ui()->ZakrepitRazmerRg) {
                focused = focused->parentWidget();
            }
            visited << focused->objectName();
        }
        QCOMPARE(visited, expected);
    }

    void enterPressesTheSizeSearch_data() {
        QTest::addColumn<QString>("boxName");
        QTest::newRow("flow box") << "Qedit";
        QTest::newRow("size box") << "DuctCb";
        QTest::newRow("material box") << "MaterialDCb";
    }
    void enterPressesTheSizeSearch() {
        QFETCH(QString, boxName);
        QSignalSpy clicks(ui()->FindSizesBtn, &QPushButton::clicked);
        TypeInto(ui()->Qedit, "3600");
        QVERIFY(Focus(main()->findChild<QWidget*>(boxName)));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(clicks.size(), 1);
    }

    void listsRebuilt_data() {
        QTest::addColumn<int>("mm");
        QTest::addColumn<int>("AB");
        QTest::addColumn<QStringList>("rectangular");
        QTest::addColumn<QStringList>("flatOval");
        QTest::addColumn<QStringList>("round");
        QTest::newRow("millimetres, A then B")
            << 1 << 0 << QStringList{"500*250", "100*200"} << QStringList{"300*100"}
            << QStringList{"100", "315"};
        QTest::newRow("millimetres, B then A")
            << 1 << 1 << QStringList{"250*500", "200*100"} << QStringList{"100*300"}
            << QStringList{"100", "315"};
        QTest::newRow("metres, A then B")
            << 0 << 0 << QStringList{Local("0,5*0,25"), Local("0,1*0,2")}
            << QStringList{Local("0,3*0,1")} << QStringList{Local("0,1"), Local("0,315")};
        QTest::newRow("metres, B then A")
            << 0 << 1 << QStringList{Local("0,25*0,5"), Local("0,2*0,1")}
            << QStringList{Local("0,1*0,3")} << QStringList{Local("0,1"), Local("0,315")};
    }
    void listsRebuilt() {
        QFETCH(int, mm);
        QFETCH(int, AB);
        QFETCH(QStringList, rectangular);
        QFETCH(QStringList, flatOval);
        QFETCH(QStringList, round);
        TypeInto(ui()->Qedit, "3600");
        const QString resultBefore = ui()->DuctVLabel->text();
        m_user->writeFile("Duct.txt", "0.5 0.25\r\n0.1 0.2\r\n");
        m_user->writeFile("OvalDuct.txt", " 3.00000000000000E-0001 1.00000000000000E-0001\r\n");
        m_user->writeFile("RoundDuct.txt", "0.1\r\n0.315\r\n");
        TempUser::storeInteger("mm", mm);
        TempUser::storeInteger("AB", AB);
        main()->FormCreate();
        QCOMPARE(Items(ui()->DuctCb), rectangular);
        QCOMPARE(Items(ui()->OvalDuctCb), flatOval);
        QCOMPARE(Items(ui()->DEdit), round);
        for (const QComboBox* box : {ui()->DuctCb, ui()->OvalDuctCb, ui()->DEdit}) {
            QCOMPARE(box->currentIndex(), 0);
            QCOMPARE(box->currentText(), box->itemText(0));
        }
        QCOMPARE(ui()->DuctVLabel->text(), resultBefore); // the lists are written, not computed
        QVERIFY(boxes().isEmpty());
    }

    void emptyCatalogueLeavesNoSelection() {
        m_user->writeFile("Duct.txt", "");
        main()->FormCreate();
        QCOMPARE(ui()->DuctCb->count(), 0);
        QCOMPARE(ui()->DuctCb->currentIndex(), -1);
        QCOMPARE(ui()->DuctCb->currentText(), QString());
        QVERIFY(ui()->OvalDuctCb->count() > 0);
    }

    void missingCatalogueStopsTheRebuild() {
        const QStringList rectangularBefore = Items(ui()->DuctCb);
        m_user->writeFile("RoundDuct.txt", "0.2\r\n");
        m_user->removeFile("Duct.txt");
        main()->FormCreate();
        QCOMPARE(boxes().size(), 1);
        QCOMPARE(boxes().first().text, QStringLiteral("File not found."));
        QCOMPARE(Items(ui()->DEdit), QStringList{"200"}); // rebuilt before the failure
        QCOMPARE(Items(ui()->DuctCb), rectangularBefore); // kept
    }

    void settingsSavedAtClose_data() {
        QTest::addColumn<QString>("t");
        QTest::addColumn<QString>("PBar");
        QTest::addColumn<QString>("v");
        QTest::addColumn<int>("mm");
        QTest::addColumn<int>("AB");
        QTest::newRow("typed values") << "12"
                                      << "1013"
                                      << "7" << 0 << 1;
        QTest::newRow("decimals, empty velocity") << Local("-5,5") << "990"
                                                  << "" << 1 << 0;
    }
    void settingsSavedAtClose() {
        QFETCH(QString, t);
        QFETCH(QString, PBar);
        QFETCH(QString, v);
        QFETCH(int, mm);
        QFETCH(int, AB);
        TempUser::storeInteger("Shag", 77);
        Ui::TOptionsForm* options = UiOf(m_forms.OptionsForm);
        options->tEdit->setText(t);
        options->PBarEdit->setText(PBar);
        options->m_mmRg->setItemIndex(mm);
        options->ABRadioGroup->setItemIndex(AB);
        TypeInto(ui()->VEdit, v);
        QVERIFY(main()->close());
        QVERIFY(main()->closed());
        QCOMPARE(TempUser::storedString("t"), t);
        QCOMPARE(TempUser::storedString("PBar"), PBar);
        QCOMPARE(TempUser::storedString("v"), v);
        QCOMPARE(TempUser::storedInteger("mm"), mm);
        QCOMPARE(TempUser::storedInteger("AB"), AB);
        QCOMPARE(TempUser::storedInteger("Shag"), 77);
    }

    void nothingSavedWithoutTheKey() {
        QFile::remove(qEnvironmentVariable("XDG_CONFIG_HOME") + "/kelmorta/user.reg");
        main()->close();
        QVERIFY(!main()->store().KeyExists(SettingsKey));
        QVERIFY(!QFile::exists(qEnvironmentVariable("XDG_CONFIG_HOME") + "/kelmorta/user.reg"));
    }

    void menus_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QKeySequence>("shortcut");
        QTest::newRow("N6") << "N6"
                            << "&Изменить размеры воздуховодов" << QKeySequence("Ctrl+D");
        QTest::newRow("N5") << "N5"
                            << "&Настройки" << QKeySequence("Ctrl+O");
        QTest::newRow("N4") << "N4"
                            << "&Закрыть" << QKeySequence("Shift+Esc");
        QTest::newRow("CopyResultsMi") << "CopyResultsMi"
                                       << "&Копировать результаты" << QKeySequence("Ctrl+Shift+C");
        QTest::newRow("NetworkMi") << "NetworkMi"
                                   << "&Расчёт сети" << QKeySequence("Ctrl+N");
        QTest::newRow("KmsMi") << "KmsMi"
                               << "&Подбор КМС…" << QKeySequence("Ctrl+K");
        QTest::newRow("N2") << "N2"
                            << "&Восстановить" << QKeySequence();
        QTest::newRow("N1, Esc shown only") << "N1"
                                            << "&Закрыть\tEsc" << QKeySequence();
    }
    void menus() {
        QFETCH(QString, action);
        QFETCH(QString, text);
        QFETCH(QKeySequence, shortcut);
        auto* item = main()->findChild<QAction*>(action);
        QVERIFY(item != nullptr);
        QCOMPARE(item->text(), text);
        QCOMPARE(item->shortcut(), shortcut);
        QCOMPARE(ui()->N3->title(), QStringLiteral("&Расчет"));
        QCOMPARE(ui()->N3->actions(), (QList<QAction*>{ui()->N6, ui()->N5, ui()->CopyResultsMi,
                                                       ui()->NetworkMi, ui()->KmsMi, ui()->N4}));
        QCOMPARE(main()->popupMenu()->objectName(), QStringLiteral("PopupMenu1"));
        QCOMPARE(main()->popupMenu()->actions(), (QList<QAction*>{ui()->N2, ui()->N1}));
    }

    // Every item of a menu, and every menu of the menu bar, has an Alt letter of its own.
    void menuLetters_data() {
        QTest::addColumn<QString>("menu");
        QTest::newRow("menu bar") << "MainMenu1";
        QTest::newRow("Расчет") << "N3";
        QTest::newRow("popup") << "PopupMenu1";
    }
    void menuLetters() {
        QFETCH(QString, menu);
        auto* widget = main()->findChild<QWidget*>(menu);
        QVERIFY(widget != nullptr);
        QSet<QKeySequence> letters;
        for (const QAction* action : widget->actions()) {
            const QKeySequence letter = QKeySequence::mnemonic(action->text());
            QVERIFY2(!letter.isEmpty(), qPrintable(action->text()));
            QVERIFY2(!letters.contains(letter), qPrintable(action->text()));
            letters.insert(letter);
        }
        QVERIFY(!letters.isEmpty());
    }

    void shortcutsShowWindowsModally_data() {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("window");
        QTest::newRow("Ctrl+O settings") << int(Qt::Key_O) << "OptionsForm";
        QTest::newRow("Ctrl+D catalogue editor") << int(Qt::Key_D) << "DuctSizesForm";
    }
    void shortcutsShowWindowsModally() {
        QFETCH(int, key);
        QFETCH(QString, window);
        QString seen;
        QTimer closer;
        connect(&closer, &QTimer::timeout, [&seen] {
            if (QWidget* modal = QApplication::activeModalWidget(); modal != nullptr) {
                seen = modal->objectName();
                modal->close();
            }
        });
        closer.start(10);
        QVERIFY(Focus(ui()->Qedit));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), Qt::ControlModifier);
        QCOMPARE(seen, window);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void shiftEscapeCloses() {
        QVERIFY(Focus(ui()->Qedit));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape, Qt::ShiftModifier);
        QVERIFY(main()->closed());
        QCOMPARE(TempUser::storedString("v"), QStringLiteral("5"));
    }

    void minimiseHidesToTheTray_data() {
        QTest::addColumn<bool>("available");
        QTest::newRow("notification area") << true;
        QTest::newRow("no notification area") << false;
    }
    void minimiseHidesToTheTray() {
        QFETCH(bool, available);
        m_tray.available = available;
        minimise();
        if (available) {
            QVERIFY(!main()->isVisible());
            QVERIFY(main()->hiddenToTray());
            QVERIFY(m_tray.visible);
            QCOMPARE(m_tray.shows, 1);
            QCOMPARE(m_tray.tip, QStringLiteral("restore program"));
        } else {
            // Minimised as usual, so the task bar still reaches it.
            QVERIFY(main()->isVisible());
            QVERIFY(main()->isMinimized());
            QVERIFY(!m_tray.visible);
        }
    }

    void iconMessages_data() {
        QTest::addColumn<int>("reason");
        QTest::addColumn<bool>("restored");
        QTest::newRow("left click") << int(QSystemTrayIcon::Trigger) << true;
        QTest::newRow("double click") << int(QSystemTrayIcon::DoubleClick) << false;
        QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << false;
    }
    void iconMessages() {
        QFETCH(int, reason);
        QFETCH(bool, restored);
        minimise();
        m_fake->activate(QSystemTrayIcon::ActivationReason(reason));
        QCOMPARE(main()->isVisible(), restored);
        QCOMPARE(m_tray.visible, !restored);
        if (restored) {
            QVERIFY(!main()->isMinimized());
            QVERIFY(QTest::qWaitForWindowActive(main()));
        }
    }

    // The modal windows offer no minimise button and block only the main window. Minimised all
    // the same (the main window, or the modal window where the window manager offers it), the
    // program goes to the tray, and a left click brings both back with the modal one in front.
    void modalWindowComesBackFromTheTray_data() {
        QTest::addColumn<bool>("settings");
        QTest::addColumn<bool>("dialogMinimised");
        QTest::newRow("settings, main window minimised") << true << false;
        QTest::newRow("settings, itself minimised") << true << true;
        QTest::newRow("editor, main window minimised") << false << false;
        QTest::newRow("editor, itself minimised") << false << true;
    }
    void modalWindowComesBackFromTheTray() {
        QFETCH(bool, settings);
        QFETCH(bool, dialogMinimised);
        QDialog* dialog = settings ? static_cast<QDialog*>(m_forms.OptionsForm.get())
                                   : static_cast<QDialog*>(m_forms.DuctSizesForm.get());
        QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(dialog->windowModality(), Qt::WindowModal);
        bool toTray = false, back = false, inFront = false;
        QTimer::singleShot(0, dialog, [&] {
            if (dialogMinimised) {
                dialog->showMinimized();
            } else {
                main()->showMinimized();
            }
            toTray = QTest::qWaitFor([this] { return main()->hiddenToTray(); }, 1000) &&
                     !main()->isVisible() && m_tray.visible;
            m_fake->activate(QSystemTrayIcon::Trigger);
            back = main()->isVisible() && !main()->isMinimized() && !m_tray.visible;
            inFront = dialog->isVisible() && !dialog->isMinimized() &&
                      QApplication::activeModalWidget() == dialog;
            dialog->close();
        });
        (settings ? ui()->N5 : ui()->N6)->trigger();
        QVERIFY(toTray);
        QVERIFY(back);
        QVERIFY(inFront);
        QVERIFY(!dialog->isVisible());
    }

    void rightClickOpensThePopup() {
        minimise();
        QCursor::setPos(120, 140);
        const QPoint cursor = QCursor::pos();
        m_fake->activate(QSystemTrayIcon::Context);
        QMenu* popup = main()->popupMenu();
        QTRY_VERIFY(popup->isVisible());
        QCOMPARE(popup->pos(), cursor);
        popup->actions().first()->trigger(); // "Восстановить"
        popup->hide();
        QVERIFY(main()->isVisible());
        QVERIFY(!m_tray.visible);
    }

    void closeFromThePopupSavesAndRemovesTheIcon() {
        minimise();
        TempUser::storeString("v", "old");
        ui()->N1->trigger();
        QVERIFY(main()->closed());
        QVERIFY(!m_tray.visible);
        QCOMPARE(TempUser::storedString("v"), QStringLiteral("5"));
    }

    void destructionRemovesTheIcon() {
        minimise();
        QVERIFY(m_tray.visible);
        m_forms = {};
        QVERIFY(!m_tray.visible);
    }
};

KALVOR_GUI_TEST(MainWindowTest);
#include "MainWindowTest.moc"

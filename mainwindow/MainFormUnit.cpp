// The main window: its set-up, the size lists from the catalogues, saving at close, the menus.
#include "mainwindow/MainFormUnit.h"

#include "catalogues/CatalogueFile.h"
#include "catalogues/DuctSizes.h"
#include "common/NumberText.h"
#include "settings/Options.h"
#include "ui_MainFormUnit.h"
#include "ui_Options.h"
#include "widgets/KeyFilter.h"
#include "widgets/MenuBarStyle.h"
#include "widgets/Messages.h"
#include "widgets/Tray.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMovie>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>

// The resources live in the static window library; they are registered before the first window.
static void InitKalvorResources() {
    Q_INIT_RESOURCE(kalvor);
}

namespace kalvor {

namespace {

constexpr int ClientWidth = 442;
constexpr int ClientHeight = 449; // below the menu bar, the status bar included
constexpr int StatusBarHeight = 19;

// The number text of a catalogue size in the stored units.
QString SizeText(double metres, int mm, char decimalSeparator) {
    return QString::fromStdString(FormatNumber(mm != 0 ? metres * 1000 : metres, decimalSeparator));
}

} // namespace

TmainForm::TmainForm(QWidget* parent)
    : QMainWindow(parent)
    , m_ui(new Ui::TmainForm) {
    InitKalvorResources();
    m_ui->setupUi(this);
    setUpWindow();
    setUpInputs();
    setUpMenus();
    // The client area below the menu bar is fixed; the window sits in the middle of the screen.
    setFixedSize(ClientWidth, menuBar()->sizeHint().height() + ClientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    FormCreate();
}

TmainForm::~TmainForm() {
    if (m_tray) {
        m_tray->hide();
    }
    for (QWidget* form : {static_cast<QWidget*>(m_optionsForm.data()),
                          static_cast<QWidget*>(m_ductSizesForm.data())}) {
        if (form != nullptr && form->parent() == this) {
            form->setParent(nullptr);
        }
    }
}

void TmainForm::setOptionsForm(TOptionsForm* form) {
    m_optionsForm = form;
}

void TmainForm::setDuctSizesForm(TDuctSizesForm* form) {
    m_ductSizesForm = form;
}

TOptionsForm* TmainForm::optionsForm() const {
    return m_optionsForm.data();
}

void TmainForm::setUpWindow() {
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/icons/kalvor.png")));
    statusBar()->setFixedHeight(StatusBarHeight);
    auto* movie = new QMovie(QStringLiteral(":/pictures/rectangular.gif"), QByteArray(), this);
    m_ui->DuctPicture->setMovie(movie);
    movie->start();
}

void TmainForm::setUpInputs() {
    Ui::TmainForm& ui = *m_ui;
    for (QComboBox* box : {ui.DuctCb, ui.OvalDuctCb, ui.DEdit}) {
        box->setCompleter(nullptr); // typed text is never completed
        // Keys reach an editable combo box first, which hands them to its line edit.
        InstallKeyFilter(box);
        InstallKeyFilter(box->lineEdit());
        connect(box, &QComboBox::editTextChanged, this, &TmainForm::editChange);
    }
    for (CalcEdit* box : {ui.Qedit, ui.VEdit, ui.LLe, ui.KMSLe, ui.LEdit}) {
        InstallKeyFilter(box);
        connect(box, &QLineEdit::textChanged, this, &TmainForm::editChange);
    }
    for (QComboBox* box : {ui.MaterialCb, ui.OvalDuctMaterialCb, ui.MaterialDCb}) {
        connect(box, &QComboBox::currentIndexChanged, this, &TmainForm::editChange);
    }
    connect(ui.ZakrepitRazmerRg, &RadioGroup::clicked, this, &TmainForm::editChange);
    // The settings load replaces the search-method items; their buttons keep their place.
    connect(ui.ZakrepitRazmerRg, &RadioGroup::itemsChanged, this,
            &TmainForm::placeSearchMethodInTabOrder);
    placeSearchMethodInTabOrder();
    connect(ui.FindSizesBtn, &QPushButton::clicked, this, &TmainForm::FindSizesBtnClick);
}

void TmainForm::placeSearchMethodInTabOrder() {
    // Keyboard order: the rectangular material, the search method, then the flat-oval size.
    QWidget* previous = m_ui->MaterialCb;
    const auto buttons =
        m_ui->ZakrepitRazmerRg->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    for (QRadioButton* button : buttons) {
        setTabOrder(previous, button);
        previous = button;
    }
    setTabOrder(previous, m_ui->OvalDuctCb);
}

void TmainForm::setUpMenus() {
    Ui::TmainForm& ui = *m_ui;
    connect(ui.N6, &QAction::triggered, this, &TmainForm::N6Click);
    connect(ui.N5, &QAction::triggered, this, &TmainForm::N5Click);
    connect(ui.N4, &QAction::triggered, this, &TmainForm::N4Click);
    connect(ui.N2, &QAction::triggered, this, &TmainForm::N2Click);
    connect(ui.N1, &QAction::triggered, this, &TmainForm::CloseMiClick);

    // "Расчет" shows its own picture beside its caption.
    ui.N3->setIcon(QIcon(QStringLiteral(":/menu/calculation.png")));
    auto* menuBarStyle = new MenuBarStyle();
    menuBarStyle->setParent(menuBar());
    menuBar()->setStyle(menuBarStyle);

    // Shown only through the notification-area icon; "Esc" on "Закрыть" is a shown text only.
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    m_popupMenu->addAction(ui.N2);
    m_popupMenu->addAction(ui.N1);

    m_tray = CreateTrayIcon();
    connect(m_tray.get(), &TrayIcon::activated, this, &TmainForm::trayActivated);
}

bool TmainForm::FormCreate() {
    return Guarded(this, [this] { loadSizeLists(); });
}

void TmainForm::loadSizeLists() {
    Ui::TmainForm& ui = *m_ui;
    const char separator = SystemDecimalSeparator();
    m_store = std::make_unique<SettingsStore>();

    const SizeCatalogue round = ReadSizeCatalogue(DuctShape::Round, "Roundduct.txt");
    {
        const QSignalBlocker blocker(ui.DEdit);
        ui.DEdit->clear();
    }
    m_store->OpenKey(SettingsKey, true);
    {
        const int mm = m_store->ReadInteger("mm");
        const QSignalBlocker blocker(ui.DEdit);
        for (const double diameter : round.A) {
            ui.DEdit->addItem(SizeText(diameter, mm, separator));
        }
        ui.DEdit->setCurrentIndex(0);
    }

    // The two-sided lists, each side order read again for every entry.
    const auto fillPairs = [&](DuctShape shape, QComboBox* box) {
        const SizeCatalogue pairs = ReadSizeCatalogue(shape);
        const QSignalBlocker blocker(box);
        box->clear();
        const int mm = m_store->ReadInteger("mm");
        for (std::size_t row = 0; row < pairs.A.size(); ++row) {
            const QString a = SizeText(pairs.A[row], mm, separator);
            const QString b = SizeText(pairs.B[row], mm, separator);
            const bool aFirst = m_store->ReadInteger("AB") == 0;
            box->addItem(aFirst ? a + QLatin1Char('*') + b : b + QLatin1Char('*') + a);
        }
        box->setCurrentIndex(0);
    };
    fillPairs(DuctShape::Rectangular, ui.DuctCb);
    fillPairs(DuctShape::FlatOval, ui.OvalDuctCb);
}

void TmainForm::FormClose() {
    Guarded(this, [this] { saveSettings(); });
}

void TmainForm::saveSettings() {
    if (!m_store || !m_store->KeyExists(SettingsKey)) {
        return;
    }
    m_store->OpenKey(SettingsKey, true);
    // A settings field that still shows its design value never replaces a stored value.
    const auto mayStore = [this](const char* name) {
        return m_optionsForm != nullptr && m_optionsForm->mayStore(*m_store, name);
    };
    if (mayStore("PBar")) {
        m_store->WriteString("PBar", m_optionsForm->ui()->PBarEdit->text().toStdString());
    }
    if (mayStore("t")) {
        m_store->WriteString("t", m_optionsForm->ui()->tEdit->text().toStdString());
    }
    m_store->WriteString("v", m_ui->VEdit->text().toStdString());
    if (mayStore("mm")) {
        m_store->WriteInteger("mm", m_optionsForm->ui()->m_mmRg->itemIndex());
    }
    if (mayStore("AB")) {
        m_store->WriteInteger("AB", m_optionsForm->ui()->ABRadioGroup->itemIndex());
    }
}

void TmainForm::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
    m_closed = true;
    if (m_tray) {
        m_tray->hide();
    }
    // Closing the main window ends the program, also from the notification area.
    QCoreApplication::quit();
}

void TmainForm::keyPressEvent(QKeyEvent* event) {
    // The size search is the window's default button: Enter presses it.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        m_ui->FindSizesBtn->click();
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TmainForm::CloseMiClick() {
    close();
}

void TmainForm::N4Click() {
    close();
}

void TmainForm::N5Click() {
    if (m_optionsForm != nullptr) {
        m_optionsForm->exec();
    }
}

void TmainForm::N6Click() {
    if (m_ductSizesForm != nullptr) {
        m_ductSizesForm->exec();
    }
}

} // namespace kalvor

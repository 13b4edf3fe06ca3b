// The main window: its set-up, the size lists from the catalogues, saving at close, the menus.
#include "mainwindow/MainFormUnit.h"

#include "catalogues/CatalogueFile.h"
#include "common/NumberText.h"
#include "hydraulics/SizeText.h"
#include "settings/SettingsFields.h"
#include "ui_MainFormUnit.h"
#include "widgets/CalcEdit.h"
#include "widgets/KeyFilter.h"
#include "widgets/MenuBarStyle.h"
#include "widgets/Messages.h"
#include "widgets/Tray.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
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

} // namespace

TmainForm::TmainForm(std::shared_ptr<SettingsStore> store, QWidget* parent)
    : QMainWindow(parent)
    , m_ui(new Ui::TmainForm)
    , m_store(std::move(store)) {
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
    restoreVelocity();
}

TmainForm::~TmainForm() {
    // Signals the children send as they go (after this window's members) reach nothing of it.
    for (QObject* child : findChildren<QObject*>()) {
        QObject::disconnect(child, nullptr, this, nullptr);
    }
    if (m_tray) {
        m_tray->hide();
    }
}

void TmainForm::setSettingsWindow(QDialog* window, const SettingsFields* fields) {
    m_optionsForm = window;
    m_settingsFields = fields;
}

void TmainForm::setCatalogueEditor(QDialog* window) {
    m_ductSizesForm = window;
}

void TmainForm::setNetworkWindow(QWidget* window) {
    m_networkForm = window;
}

const SettingsFields* TmainForm::settingsFields() const {
    return m_optionsForm != nullptr ? m_settingsFields : nullptr;
}

void TmainForm::showSideOrder(bool firstSideFirst) {
    // Item 1 of the search method always fixes the side written first in a size text.
    const QString order = firstSideFirst ? QStringLiteral("AxB") : QStringLiteral("BxA");
    const QString fixA = QStringLiteral("Закрепить \"A\"");
    const QString fixB = QStringLiteral("Закрепить \"B\"");
    m_ui->ABLabel->setText(order);
    m_ui->ABOvalLabel->setText(order);
    m_ui->ZakrepitRazmerRg->setItems({QStringLiteral("Стандартный"), firstSideFirst ? fixA : fixB,
                                      firstSideFirst ? fixB : fixA});
    m_ui->ZakrepitRazmerRg->setItemIndex(0);
}

void TmainForm::requestClose() {
    close();
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

    // Results can be selected with the mouse and copied.
    const SectionLabels rectangular = rectangularLabels(), flatOval = flatOvalLabels();
    for (QLabel* label :
         {rectangular.V, rectangular.R, rectangular.De, rectangular.Pd, rectangular.P, flatOval.V,
          flatOval.R, flatOval.De, flatOval.Pd, flatOval.P, ui.DVLabel, ui.RoundDuctRLabel,
          ui.RoundDuctPdLabel, ui.RoundDuctPLabel}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
}

void TmainForm::placeSearchMethodInTabOrder() {
    // Keyboard order, as the screen reads: the sizes and materials across the three sections,
    // then the search method below them, then the size search.
    QWidget* previous = m_ui->MaterialDCb;
    const auto buttons =
        m_ui->ZakrepitRazmerRg->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    for (QRadioButton* button : buttons) {
        setTabOrder(previous, button);
        previous = button;
    }
    setTabOrder(previous, m_ui->FindSizesBtn);
}

void TmainForm::setUpMenus() {
    Ui::TmainForm& ui = *m_ui;
    connect(ui.N6, &QAction::triggered, this, &TmainForm::N6Click);
    connect(ui.N5, &QAction::triggered, this, &TmainForm::N5Click);
    connect(ui.N4, &QAction::triggered, this, &TmainForm::N4Click);
    connect(ui.N2, &QAction::triggered, this, &TmainForm::N2Click);
    connect(ui.N1, &QAction::triggered, this, &TmainForm::CloseMiClick);
    connect(ui.CopyResultsMi, &QAction::triggered, this, &TmainForm::CopyResultsMiClick);
    connect(ui.NetworkMi, &QAction::triggered, this, &TmainForm::NetworkMiClick);
    connect(ui.KmsMi, &QAction::triggered, this, &TmainForm::KmsMiClick);

    // "Расчет" shows its own picture beside its caption.
    ui.N3->setIcon(QIcon(QStringLiteral(":/menu/calculation.png")));
    auto* menuBarStyle = new MenuBarStyle();
    menuBarStyle->setParent(menuBar());
    menuBar()->setStyle(menuBarStyle);
    // Menus are windows of their own and would take the desktop's font: they take the window's.
    menuBar()->setFont(font());
    ui.N3->setFont(font());

    // Shown only through the notification-area icon; "Esc" on "Закрыть" is a shown text only.
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("PopupMenu1"));
    m_popupMenu->addAction(ui.N2);
    m_popupMenu->addAction(ui.N1);
    m_popupMenu->setFont(font());

    m_tray = CreateTrayIcon();
    connect(m_tray.get(), &TrayIcon::activated, this, &TmainForm::trayActivated);
}

bool TmainForm::FormCreate() {
    return Guarded(this, [this] { loadSizeLists(); });
}

void TmainForm::loadSizeLists() {
    Ui::TmainForm& ui = *m_ui;
    *m_store = SettingsStore(); // a new accessor, no key open yet

    const SizeCatalogue round = ReadSizeCatalogue(DuctShape::Round, "Roundduct.txt");
    {
        const QSignalBlocker blocker(ui.DEdit);
        ui.DEdit->clear();
    }
    m_store->OpenKey(SettingsKey, true);
    fillRoundList(round);
    fillPairList(ui.DuctCb, ReadSizeCatalogue(DuctShape::Rectangular));
    fillPairList(ui.OvalDuctCb, ReadSizeCatalogue(DuctShape::FlatOval));
}

void TmainForm::fillRoundList(const SizeCatalogue& round) {
    const char separator = SystemDecimalSeparator();
    const int mm = m_store->ReadInteger("mm");
    const QSignalBlocker blocker(m_ui->DEdit);
    m_ui->DEdit->clear();
    for (const double diameter : round.A) {
        m_ui->DEdit->addItem(QString::fromStdString(SizeNumberText(diameter, mm != 0, separator)));
    }
    m_ui->DEdit->setCurrentIndex(0);
}

// A two-sided list in the units and side order stored now.
void TmainForm::fillPairList(QComboBox* box, const SizeCatalogue& pairs) {
    const char separator = SystemDecimalSeparator();
    const QSignalBlocker blocker(box);
    box->clear();
    const int mm = m_store->ReadInteger("mm");
    // The side order once for the list: nothing can change it while the list is filled.
    const bool secondFirst = !pairs.A.empty() && m_store->ReadInteger("AB") != 0;
    for (std::size_t row = 0; row < pairs.A.size(); ++row) {
        box->addItem(QString::fromStdString(
            CatalogueSizeText(pairs.A[row], pairs.B[row], secondFirst, mm != 0, separator)));
    }
    box->setCurrentIndex(0);
}

void TmainForm::restoreVelocity() {
    // Read through an accessor of its own: the shared one stays as the creation handler left it.
    try {
        SettingsStore stored;
        if (!stored.KeyExists(SettingsKey)) {
            return;
        }
        stored.OpenKey(SettingsKey, false);
        // Written under the decimal separator of its day; shown under today's.
        const char separator = SystemDecimalSeparator();
        QString text = QString::fromStdString(stored.ReadString("v"));
        text.replace(QLatin1Char('.'), QLatin1Char(separator))
            .replace(QLatin1Char(','), QLatin1Char(separator));
        if (text.isEmpty() || !IsNumberOnTheWay(text, QLatin1Char(separator))) {
            return;
        }
        ParseNumber(text.toStdString(), separator); // a number, not a lone sign or separator
        m_ui->VEdit->setText(text);
    } catch (const std::exception&) {
        // Nothing stored that the box can show: it keeps its design value.
    }
}

void TmainForm::rebuildSizeLists() {
    // Each list on its own: a list that cannot be rebuilt is emptied rather than left in units
    // or an order no longer in force.
    const auto rebuild = [this](QComboBox* box, const auto& fill) {
        try {
            fill();
        } catch (const std::exception&) {
            const QSignalBlocker blocker(box);
            box->clear();
        }
    };
    rebuild(m_ui->DEdit,
            [this] { fillRoundList(ReadSizeCatalogue(DuctShape::Round, "Roundduct.txt")); });
    rebuild(m_ui->DuctCb,
            [this] { fillPairList(m_ui->DuctCb, ReadSizeCatalogue(DuctShape::Rectangular)); });
    rebuild(m_ui->OvalDuctCb,
            [this] { fillPairList(m_ui->OvalDuctCb, ReadSizeCatalogue(DuctShape::FlatOval)); });
}

bool TmainForm::reloadSizeLists() {
    const bool finished = FormCreate();
    editChange(); // the labels follow the sizes the rebuilt lists put into the boxes
    return finished;
}

void TmainForm::FormClose() {
    Guarded(this, [this] { saveSettings(); });
}

void TmainForm::saveSettings() {
    if (!m_store->KeyExists(SettingsKey)) {
        return;
    }
    m_store->OpenKey(SettingsKey, true);
    // A settings field that still shows its design value never replaces a stored value.
    const SettingsFields* fields = settingsFields();
    const auto mayStore = [&](const char* name) {
        return fields != nullptr && fields->mayStore(*m_store, name);
    };
    if (mayStore("PBar")) {
        m_store->WriteString("PBar", fields->pressureText().toStdString());
    }
    if (mayStore("t")) {
        m_store->WriteString("t", fields->temperatureText().toStdString());
    }
    m_store->WriteString("v", m_ui->VEdit->text().toStdString());
    if (mayStore("mm")) {
        m_store->WriteInteger("mm", fields->unitsIndex());
    }
    if (mayStore("AB")) {
        m_store->WriteInteger("AB", fields->sideOrderIndex());
    }
}

void TmainForm::closeEvent(QCloseEvent* event) {
    // The network window asks about its unsaved changes first; its "Отмена" keeps the program.
    if (m_networkForm != nullptr && m_networkForm->isVisible() && !m_networkForm->close()) {
        event->ignore();
        return;
    }
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

void TmainForm::NetworkMiClick() {
    if (m_networkForm != nullptr) {
        m_networkForm->show();
        m_networkForm->raise();
        m_networkForm->activateWindow();
    }
}

} // namespace kalvor

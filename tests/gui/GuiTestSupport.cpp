// Shared helpers of the window tests.
#include "GuiTestSupport.h"

#include "settings/SettingsStore.h"
#include "setup/FirstStart.h"
#include "widgets/KeyFilter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QTest>

#ifndef KALVOR_DATA_DIR
#error "KALVOR_DATA_DIR must name the folder of the standard catalogues"
#endif

namespace kalvor::test {

QString Local(QString text) {
    return text.replace(QLatin1Char(','), QLatin1Char(SystemDecimalSeparator()));
}

TempUser::TempUser(bool withSettings)
    : m_oldDirectory(QDir::currentPath())
    , m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
    , m_hadConfig(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")) {
    if (!m_dir.isValid()) {
        qFatal("no temporary folder");
    }
    QDir(m_dir.path()).mkpath(QStringLiteral("config"));
    QDir(m_dir.path()).mkpath(QStringLiteral("work"));
    qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral("config")).toUtf8());
    CopyStandardCatalogues(KALVOR_DATA_DIR, m_dir.filePath(QStringLiteral("work")).toStdString());
    QDir::setCurrent(folder());
    if (withSettings) {
        CreateInitialSettings();
    }
}

TempUser::~TempUser() {
    QDir::setCurrent(m_oldDirectory);
    if (m_hadConfig) {
        qputenv("XDG_CONFIG_HOME", m_oldConfig);
    } else {
        qunsetenv("XDG_CONFIG_HOME");
    }
}

QString TempUser::folder() const {
    return m_dir.filePath(QStringLiteral("work"));
}

void TempUser::writeFile(const QString& name, const QByteArray& bytes) const {
    QFile file(QDir(folder()).filePath(name));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes) != bytes.size()) {
        qFatal("cannot write a test file");
    }
}

void TempUser::removeFile(const QString& name) const {
    QFile::remove(QDir(folder()).filePath(name));
}

int TempUser::storedInteger(const char* name) {
    SettingsStore store;
    store.OpenKey(SettingsKey, false);
    return store.ReadInteger(name);
}

QString TempUser::storedString(const char* name) {
    SettingsStore store;
    store.OpenKey(SettingsKey, false);
    return QString::fromStdString(store.ReadString(name));
}

void TempUser::storeInteger(const char* name, int value) {
    SettingsStore store;
    store.OpenKey(SettingsKey, true);
    store.WriteInteger(name, value);
}

void TempUser::storeString(const char* name, const QString& value) {
    SettingsStore store;
    store.OpenKey(SettingsKey, true);
    store.WriteString(name, value.toStdString());
}

Forms MakeForms() {
    Forms forms = CreateForms();
    forms.mainForm->activateWindow();
    if (!QTest::qWaitForWindowActive(forms.mainForm.get())) {
        qWarning("the main window did not become active");
    }
    return forms;
}

bool Focus(QWidget* widget) {
    QWidget* window = widget->window();
    if (!window->isVisible()) {
        window->show();
    }
    window->raise();
    window->activateWindow();
    // Waits for this very window: the platform window of a dialog counts as active as soon as
    // the window it belongs to is, which is not yet what the keyboard sees.
    if (!QTest::qWaitFor([window] { return window->isActiveWindow(); }, 5000)) {
        return false;
    }
    widget->setFocus(Qt::TabFocusReason);
    return QTest::qWaitFor([widget] { return widget->hasFocus(); }, 1000);
}

namespace {

QLineEdit* LineEditOf(QWidget* box) {
    if (auto* combo = qobject_cast<QComboBox*>(box)) {
        return combo->lineEdit();
    }
    return qobject_cast<QLineEdit*>(box);
}

void PressKeys(QWidget* box, const QString& text) {
    for (const QChar c : text) {
        // Keys go where the user's keys go: to the widget with the focus.
        QWidget* target =
            QApplication::focusWidget() != nullptr ? QApplication::focusWidget() : box;
        if (c.unicode() < 128 && c.unicode() >= 32) {
            QTest::keyClick(target, c.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Press, target, Qt::Key_unknown, QString(c), Qt::NoModifier);
            QTest::sendKeyEvent(QTest::Release, target, Qt::Key_unknown, QString(c),
                                Qt::NoModifier);
        }
    }
}

} // namespace

QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TypeInto(QWidget* box, const QString& text) {
    if (!Focus(box)) {
        qWarning("could not focus %s", qPrintable(box->objectName()));
    }
    if (QLineEdit* edit = LineEditOf(box)) {
        edit->selectAll();
    }
    if (text.isEmpty()) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Delete);
        return;
    }
    PressKeys(box, text);
}

void TypeMore(QWidget* box, const QString& text) {
    if (!Focus(box)) {
        qWarning("could not focus %s", qPrintable(box->objectName()));
    }
    if (QLineEdit* edit = LineEditOf(box)) {
        edit->end(false);
    }
    PressKeys(box, text);
}

QString CrowdedItems(const QWidget* radioGroup) {
    const auto buttons = radioGroup->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    const QRect inside = radioGroup->contentsRect();
    int previousBottom = -1;
    for (const QRadioButton* button : buttons) {
        const QRect place = button->geometry();
        // The whole caption, and the whole circle with a pixel to spare.
        const QSize needed(
            button->sizeHint().width(),
            button->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, button) + 1);
        if (place.width() < needed.width() || place.height() < needed.height()) {
            return QStringLiteral("%1 is %2×%3, needs %4×%5")
                .arg(button->text())
                .arg(place.width())
                .arg(place.height())
                .arg(needed.width())
                .arg(needed.height());
        }
        if (!inside.contains(place)) {
            return button->text() + QStringLiteral(" reaches outside the group");
        }
        if (place.top() <= previousBottom) {
            return button->text() + QStringLiteral(" overlaps the item above");
        }
        previousBottom = place.bottom();
    }
    return {};
}

BoxAnswerer::BoxAnswerer() {
    m_timer.setInterval(5);
    QObject::connect(&m_timer, &QTimer::timeout, this, &BoxAnswerer::answer);
    m_timer.start();
}

void BoxAnswerer::answer() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr || !box->isVisible()) {
        return;
    }
    boxes.append({box->windowTitle(), box->text(), box->icon(), box->standardButtons(),
                  box->windowFlags().testFlag(Qt::WindowStaysOnTopHint), box->width(),
                  box->icon() == QMessageBox::Critical});
    const QList<QAbstractButton*> buttons = box->buttons();
    if (!answers.isEmpty()) {
        const QString wanted = answers.takeFirst();
        for (QAbstractButton* button : buttons) {
            if (button->text() == wanted) {
                button->click();
                return;
            }
        }
        qWarning("no button \"%s\" in the box \"%s\"", qPrintable(wanted), qPrintable(box->text()));
        box->close();
    } else if (!buttons.isEmpty()) {
        buttons.first()->click();
    } else {
        box->close();
    }
}

} // namespace kalvor::test

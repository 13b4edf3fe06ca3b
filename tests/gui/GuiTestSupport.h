// Shared helpers of the window tests: a temporary user with the standard catalogues and initial
// settings, the windows as the program creates them, typing as a user types, answering boxes.
//
// Typical use in a test class:
//     void init() { m_user = std::make_unique<TempUser>(); m_forms = MakeForms(); }
//     void cleanup() { m_forms = {}; m_user.reset(); }   // windows first, then the folders
//     ...
//     TypeInto(ui->Qedit, "3600");
//     QCOMPARE(ui->DuctVLabel->text(), Local("V= 6,67[m/s]"));
#pragma once

#include "mainwindow/Startup.h"
#include "widgets/Messages.h"

#include <QByteArray>
#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

class QWidget;

namespace kalvor::test {

// The text with every ',' replaced by the system's decimal separator: expected numbers are
// written once, with a comma, and hold under both locales.
QString Local(QString text);

// One test's own user: XDG_CONFIG_HOME and the current directory point at temporary folders for
// its lifetime. The working folder holds the three standard catalogues; the settings key holds
// the initial values ("Shag" 50, "mm" 1, "AB" 0, "t" "0", "PBar" "990") unless withSettings is
// false. The destructor restores the directory and the variable.
class TempUser {
public:
    explicit TempUser(bool withSettings = true);
    ~TempUser();
    TempUser(const TempUser&) = delete;
    TempUser& operator=(const TempUser&) = delete;

    QString folder() const;                                             // the current directory
    void writeFile(const QString& name, const QByteArray& bytes) const; // into the folder
    void removeFile(const QString& name) const;

    // Values as stored now, read through a fresh store: an absent integer throws RegistryError.
    static int storedInteger(const char* name);
    static QString storedString(const char* name);
    static void storeInteger(const char* name, int value);
    static void storeString(const char* name, const QString& value);

private:
    QTemporaryDir m_dir;
    QString m_oldDirectory;
    QByteArray m_oldConfig;
    bool m_hadConfig;
};

// The three windows as the program creates them (the main window shown), with the main window
// active so that its boxes can take the focus.
Forms MakeForms();

// Shows the widget's window, makes it active and gives the widget the focus; false if it failed.
bool Focus(QWidget* widget);

// Types the text into the box as a user does: the box gets the focus, its whole text is
// selected, then each character is a key press (so the key filter and the box's own checks
// apply). An empty text deletes the selection. Characters outside ASCII go as plain key events.
void TypeInto(QWidget* box, const QString& text);

// A file's bytes; empty when it cannot be read.
QByteArray ReadFile(const QString& path);

// Types more characters at the end of what the box holds.
void TypeMore(QWidget* box, const QString& text);

// Why the items of a radio group do not stand apart, or an empty text when they do: each button
// gets its whole caption and its whole circle, inside the group, below the one before it. The
// group's window must have been shown.
QString CrowdedItems(const QWidget* radioGroup);

// The one way the window tests meet message boxes: while it lives, every modal message box is
// shown as the user would see it, recorded, and answered with the button named next in answers,
// or with its first button once answers is empty.
class BoxAnswerer : public QObject {
public:
    struct Box {
        QString caption, text;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
        bool onTop; // kept above other windows
        int width;  // of the box's client area, in pixels
        bool error; // the standard error box (stop icon) rather than a plain message
    };

    BoxAnswerer();
    QList<Box> boxes;
    QStringList answers; // button texts, one per box in turn

private:
    void answer();
    QTimer m_timer;
};

} // namespace kalvor::test

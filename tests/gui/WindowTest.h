// The frame of the window test classes: each test with its own user, every message box answered
// and recorded, and the windows as the program creates them.
#pragma once

#include "FormAccess.h"
#include "GuiTestSupport.h"

#include "ui_MainFormUnit.h"

#include <QObject>

#include <memory>

namespace kalvor::test {

class WindowTest : public QObject {
    Q_OBJECT

protected:
    // Run just before the windows are created and right after they are gone (a fake tray, say).
    virtual void beforeWindows() {}
    virtual void afterWindows() {}

    TmainForm* main() const { return m_forms.mainForm.get(); }
    Ui::TmainForm* ui() const { return UiOf(m_forms.mainForm); }
    const QList<BoxAnswerer::Box>& boxes() const { return m_boxes->boxes; }

    std::unique_ptr<TempUser> m_user;
    std::unique_ptr<BoxAnswerer> m_boxes;
    Forms m_forms;

private slots:
    void init() {
        m_user = std::make_unique<TempUser>();
        m_boxes = std::make_unique<BoxAnswerer>();
        beforeWindows();
        m_forms = MakeForms();
    }
    void cleanup() {
        m_forms = {};
        afterWindows();
        m_boxes.reset();
        m_user.reset();
    }
};

} // namespace kalvor::test

// The window tests' way to the controls of a window's form, which the windows keep to themselves.
#pragma once

#include <memory>

namespace kalvor::test {

struct FormAccess {
    template <class Form> static auto* ui(const Form& form) { return form.ui(); }
};

// The form of a window: its controls by their names.
template <class Form> auto* UiOf(const Form* form) {
    return FormAccess::ui(*form);
}
template <class Form> auto* UiOf(const std::unique_ptr<Form>& form) {
    return FormAccess::ui(*form);
}

} // namespace kalvor::test

// A captioned group of radio buttons with an item index.
#include "widgets/RadioGroup.h"

#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace kalvor {

RadioGroup::RadioGroup(QWidget* parent)
    : QGroupBox(parent)
    , m_group(new QButtonGroup(this)) {
    m_group->setExclusive(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 2, 2, 2);
    layout->setSpacing(0);
    connect(m_group, &QButtonGroup::idClicked, this, [this](int id) {
        m_itemIndex = id;
        emit clicked();
    });
}

void RadioGroup::setItems(const QStringList& items) {
    m_items = items;
    m_itemIndex = -1;
    rebuild();
}

QString RadioGroup::itemText(int index) const {
    return index >= 0 && index < count() ? m_items.at(index) : QString();
}

void RadioGroup::setItemIndex(int index) {
    m_itemIndex = index >= 0 && index < count() ? index : -1;
    const auto buttons = m_group->buttons();
    m_group->setExclusive(false);
    for (QAbstractButton* button : buttons) {
        button->setChecked(m_group->id(button) == m_itemIndex);
    }
    m_group->setExclusive(true);
}

// The buttons that exist take the new captions; only the ones beyond them are made or removed.
// A button that goes is deleted once the event that may have started this (its own click, say)
// is over.
void RadioGroup::rebuild() {
    QList<QAbstractButton*> buttons = m_group->buttons();
    std::sort(buttons.begin(), buttons.end(), [this](QAbstractButton* a, QAbstractButton* b) {
        return m_group->id(a) < m_group->id(b);
    });
    bool changed = false;
    for (qsizetype i = count(); i < buttons.size(); ++i) {
        m_group->removeButton(buttons[i]);
        buttons[i]->hide();
        buttons[i]->deleteLater();
        changed = true;
    }
    for (int i = 0; i < count(); ++i) {
        if (i < buttons.size()) {
            buttons[i]->setText(m_items.at(i));
            continue;
        }
        auto* button = new QRadioButton(m_items.at(i), this);
        button->setObjectName(QStringLiteral("item%1").arg(i));
        // The circles of neighbouring items stand apart: the style's circle is taller than a
        // line of the small window font.
        const int circle =
            style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, button);
        button->setMinimumHeight(circle + 2);
        m_group->addButton(button, i);
        layout()->addWidget(button);
        changed = true;
    }
    setItemIndex(m_itemIndex);
    if (changed) {
        emit itemsChanged();
    }
}

} // namespace kalvor

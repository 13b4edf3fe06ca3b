// A captioned group of radio buttons with an item index, like the radio groups of the windows.
#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

namespace kalvor {

class RadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList items READ items WRITE setItems)
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex)

public:
    explicit RadioGroup(QWidget* parent = nullptr);

    QStringList items() const { return m_items; }
    void setItems(const QStringList& items); // all at once; the selection becomes none
    int count() const { return static_cast<int>(m_items.size()); }
    QString itemText(int index) const;

    int itemIndex() const { return m_itemIndex; } // -1: none
    void setItemIndex(int index);                 // out of range: none; never emits clicked

signals:
    void clicked();      // the user picked an item; itemIndex() already tells which
    void itemsChanged(); // buttons were added or removed (tab order, look)

private:
    void rebuild();

    QStringList m_items;
    int m_itemIndex = -1;
    QButtonGroup* m_group;
};

} // namespace kalvor

// Tests of the radio group: items in one call, the item index, the user's clicks, and items
// replaced from inside a click.
#include "GuiTest.h"

#include "widgets/RadioGroup.h"

#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace kalvor;

class RadioGroupTest : public QObject {
    Q_OBJECT

    std::unique_ptr<RadioGroup> m_group;

    QList<QRadioButton*> buttons() const {
        return m_group->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
    }
    QRadioButton* button(int i) const {
        return m_group->findChild<QRadioButton*>(QStringLiteral("item%1").arg(i));
    }

private slots:
    void init() {
        m_group = std::make_unique<RadioGroup>();
        m_group->setItems({"a", "b", "c"});
        m_group->show();
    }
    void cleanup() { m_group.reset(); }

    void itemIndexAndClicks() {
        QCOMPARE(m_group->itemIndex(), -1);
        QSignalSpy clicks(m_group.get(), &RadioGroup::clicked);
        m_group->setItemIndex(2);
        QVERIFY(button(2)->isChecked());
        QCOMPARE(clicks.size(), 0); // only the user's picks are clicks
        button(0)->click();
        QCOMPARE(m_group->itemIndex(), 0);
        QCOMPARE(clicks.size(), 1);
        m_group->setItemIndex(7);
        QCOMPARE(m_group->itemIndex(), -1);
        QVERIFY(!button(0)->isChecked() && !button(2)->isChecked());
    }

    // The same number of items keeps the buttons (their keyboard place too); more or fewer make
    // or remove only the difference.
    void itemsReplacedInOneCall_data() {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<int>("changes");
        QTest::newRow("same count") << QStringList{"x", "y", "z"} << 0;
        QTest::newRow("one more") << QStringList{"x", "y", "z", "w"} << 1;
        QTest::newRow("none") << QStringList{} << 1;
    }
    void itemsReplacedInOneCall() {
        QFETCH(QStringList, items);
        QFETCH(int, changes);
        QRadioButton* first = button(0);
        QSignalSpy changed(m_group.get(), &RadioGroup::itemsChanged);
        m_group->setItemIndex(1);
        m_group->setItems(items);
        QCOMPARE(changed.size(), changes);
        QCOMPARE(m_group->items(), items);
        QCOMPARE(m_group->itemIndex(), -1);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(buttons().size(), items.size());
        for (int i = 0; i < items.size(); ++i) {
            QCOMPARE(button(i)->text(), items[i]);
        }
        if (!items.isEmpty()) {
            QCOMPARE(button(0), first);
        }
    }

    // A click that replaces the items, the clicked button's own among them, goes on safely.
    void itemsReplacedInsideAClick() {
        connect(m_group.get(), &RadioGroup::clicked, m_group.get(),
                [this] { m_group->setItems({"only"}); });
        button(2)->click();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(buttons().size(), 1);
        QCOMPARE(button(0)->text(), QStringLiteral("only"));
    }
};

KALVOR_GUI_TEST(RadioGroupTest);
#include "RadioGroupTest.moc"

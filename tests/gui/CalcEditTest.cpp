// Tests of the numeric box: accepted texts, value, "0.##" and grouped texts, refused edits,
// the unfocused display, the pop-up calculator.
#include "GuiTest.h"
#include "GuiTestSupport.h"

#include "common/Errors.h"
#include "widgets/CalcEdit.h"
#include "widgets/CalcPopup.h"
#include "widgets/KeyFilter.h"

#include <QApplication>
#include <QLocale>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <limits>
#include <memory>

using namespace kalvor;
using namespace kalvor::test;

namespace {
// The grouped text with '_' standing for the locale's group separator.
QString Grouped(const QString& text) {
    return Local(text).replace(QLatin1Char('_'), QLocale::system().groupSeparator());
}
} // namespace

class CalcEditTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QWidget> m_window;
    CalcEdit* m_box = nullptr;
    CalcEdit* m_other = nullptr;

private slots:
    void init() {
        m_window = std::make_unique<QWidget>();
        auto* layout = new QVBoxLayout(m_window.get());
        m_box = new CalcEdit(m_window.get());
        m_other = new CalcEdit(m_window.get());
        layout->addWidget(m_box);
        layout->addWidget(m_other);
        InstallKeyFilter(m_box);
        m_window->show();
    }
    void cleanup() { m_window.reset(); }

    void numberOnTheWay_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("empty") << "" << true;
        QTest::newRow("whole") << "3600" << true;
        QTest::newRow("two decimals") << Local("277,78") << true;
        QTest::newRow("lone minus") << "-" << true;
        QTest::newRow("trailing separator") << Local("5,") << true;
        QTest::newRow("leading separator") << Local(",5") << true;
        QTest::newRow("leading zeros") << "00" << true;
        QTest::newRow("three decimals") << Local("1,234") << false;
        QTest::newRow("two separators") << Local("1,2,") << false;
        QTest::newRow("minus inside") << "1-2" << false;
        QTest::newRow("star") << "5*3" << false;
        QTest::newRow("exponent") << "1E5" << false;
        QTest::newRow("blank") << " 5" << false;
        QTest::newRow("15 integer digits") << Local("-999999999999999,99") << true;
        QTest::newRow("16 integer digits") << "1000000000000000" << false;
        QTest::newRow("400 digits") << QString(400, QLatin1Char('9')) << false;
    }
    void numberOnTheWay() {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QCOMPARE(IsNumberOnTheWay(text, QLatin1Char(SystemDecimalSeparator())), accepted);
    }

    void value_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("value");
        QTest::newRow("empty") << "" << 0.0;
        QTest::newRow("lone minus") << "-" << 0.0;
        QTest::newRow("lone separator") << Local(",") << 0.0;
        QTest::newRow("trailing separator") << Local("12,") << 12.0;
        QTest::newRow("leading separator") << Local(",5") << 0.5;
        QTest::newRow("negative") << Local("-2,25") << -2.25;
        QTest::newRow("whole") << "3600" << 3600.0;
        QTest::newRow("15 integer digits") << "999999999999999" << 999999999999999.0;
        // Only the program could write such texts; reading them must not throw.
        QTest::newRow("400 digits") << QString(400, QLatin1Char('9')) << 0.0;
        QTest::newRow("exponent form") << "1E300" << 0.0;
    }
    void value() {
        QFETCH(QString, text);
        QFETCH(double, value);
        m_box->setText(text);
        QCOMPARE(m_box->Value(), value);
    }

    void texts_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("plain");
        QTest::addColumn<QString>("grouped");
        QTest::newRow("zero") << 0.0 << ""
                              << "0";
        QTest::newRow("rounded to two decimals") << 277.778 << Local("277,78") << Local("277,78");
        QTest::newRow("trailing zeros dropped") << 1.5 << Local("1,5") << Local("1,5");
        QTest::newRow("thousands") << 1234567.5 << Local("1234567,5") << Grouped("1_234_567,5");
        QTest::newRow("exactly a thousand") << 1000.0 << "1000" << Grouped("1_000");
        QTest::newRow("negative thousands")
            << -4500.25 << Local("-4500,25") << Grouped("-4_500,25");
        QTest::newRow("below a hundredth") << 0.004 << ""
                                           << "0";
    }
    void texts() {
        QFETCH(double, value);
        QFETCH(QString, plain);
        QFETCH(QString, grouped);
        const char separator = SystemDecimalSeparator();
        QCOMPARE(ValueText(value, separator), plain);
        QCOMPARE(GroupedValueText(value, separator, QLocale::system().groupSeparator()), grouped);
        m_box->setValue(value);
        QCOMPARE(m_box->text(), plain);
    }

    // A value with more integer digits than the box holds is never written: the caller's run
    // stops with the overflow error and the box keeps its text.
    void valueTooLargeForTheBox_data() {
        QTest::addColumn<double>("value");
        QTest::addColumn<bool>("fits");
        QTest::newRow("largest") << 999999999999999.0 << true;
        QTest::newRow("shown as 1E15 with 15 digits") << 999999999999999.5 << false;
        QTest::newRow("1E15") << 1e15 << false;
        QTest::newRow("negative 1E20") << -1e20 << false;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << false;
        QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN() << false;
    }
    void valueTooLargeForTheBox() {
        QFETCH(double, value);
        QFETCH(bool, fits);
        m_box->setText("12");
        QCOMPARE(FitsNumericBox(value), fits);
        bool threw = false;
        try {
            m_box->setValue(value);
        } catch (const FloatError& error) {
            threw = true;
            QCOMPARE(QString::fromUtf8(error.what()), "Floating point overflow");
        }
        QCOMPARE(threw, !fits);
        if (!fits) {
            QCOMPARE(m_box->text(), "12");
        }
    }

    // Painting and the pop-up read the value of whatever text the box holds, without throwing.
    void longTextPaintsAndOpensTheCalculator() {
        m_box->setText(QString(400, QLatin1Char('9')));
        QVERIFY(Focus(m_other));
        m_box->repaint();
        QVERIFY(!m_box->grab().isNull());
        m_box->showCalculator();
        QTRY_VERIFY(m_box->calculator()->isVisible());
        QCOMPARE(m_box->calculator()->displayText(), "0");
        m_box->calculator()->hide();
    }

    void writingTheSameTextRaisesNoChange() {
        QSignalSpy changes(m_box, &QLineEdit::textChanged);
        m_box->setValue(0); // empty already
        QCOMPARE(changes.size(), 0);
        m_box->setValue(277.778);
        m_box->setValue(277.78);
        QCOMPARE(changes.size(), 1);
    }

    void typing_data() {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::newRow("third decimal refused") << "12,345" << Local("12,34");
        QTest::newRow("second separator refused") << "1,2,3" << Local("1,23");
        QTest::newRow("minus inside refused") << "12-3"
                                              << "123";
        QTest::newRow("on the way to a negative number") << "-"
                                                         << "-";
        QTest::newRow("trailing separator") << "7." << Local("7,");
    }
    void typing() {
        QFETCH(QString, keys);
        QFETCH(QString, text);
        TypeInto(m_box, "");
        TypeMore(m_box, keys);
        QCOMPARE(m_box->text(), text);
    }

    void unfocusedDisplayIsPaintedOnly() {
        TypeInto(m_box, "1234567,5");
        const QImage focused = m_box->grab().toImage();
        QVERIFY(Focus(m_other));
        QCOMPARE(m_box->text(), Local("1234567,5"));
        QCOMPARE(m_box->groupedText(), Grouped("1_234_567,5"));
        QVERIFY(m_box->grab().toImage() != focused);
        QVERIFY(Focus(m_box));
        QCOMPARE(m_box->text(), Local("1234567,5"));
    }

    void popUpResultGoesIntoTheBox_data() {
        QTest::addColumn<bool>("byKey");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("text");
        QTest::newRow("Down key") << true << "2*3"
                                  << "6";
        QTest::newRow("button, rounded") << false << "10/3" << Local("3,33");
    }
    void popUpResultGoesIntoTheBox() {
        QFETCH(bool, byKey);
        QFETCH(QString, keys);
        QFETCH(QString, text);
        QVERIFY(Focus(m_box));
        if (byKey) {
            QTest::keyClick(m_box, Qt::Key_Down);
        } else {
            QTest::mouseClick(m_box->findChild<QToolButton*>("calcButton"), Qt::LeftButton);
        }
        CalcPopup* popup = m_box->calculator();
        QVERIFY(popup != nullptr);
        QTRY_VERIFY(popup->isVisible());
        for (const QChar key : keys) {
            auto* button = popup->findChild<QToolButton*>(QStringLiteral("calcKey") + key);
            QVERIFY(button != nullptr);
            button->click();
        }
        popup->findChild<QToolButton*>("calcKeyOK")->click();
        QVERIFY(!popup->isVisible());
        QCOMPARE(m_box->text(), text);
        QTRY_VERIFY(m_box->hasFocus());
    }
};

KALVOR_GUI_TEST(CalcEditTest);
#include "CalcEditTest.moc"

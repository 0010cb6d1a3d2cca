#include "app/platform/numbers.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace numbers;

class tst_Numbers : public QObject {
    Q_OBJECT

private slots:
    void val_data();
    void val();
    void cint_data();
    void cint();
    void cintOverflow_data();
    void cintOverflow();
    void arithmetic();
    void divisionAndRemainder();
    void integerText();
    void doubleText_data();
    void doubleText();
};

void tst_Numbers::val_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("leading zero") << "07" << 7.0;
    QTest::newRow("two digits") << "15" << 15.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("no number") << "abc" << 0.0;
    QTest::newRow("trailing text") << "12abc" << 12.0;
    QTest::newRow("leading blanks") << "  42" << 42.0;
    QTest::newRow("negative") << "-3" << -3.0;
    QTest::newRow("plus") << "+8" << 8.0;
    QTest::newRow("decimal") << "2.5" << 2.5;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("bare exponent") << "1e" << 1.0;
    QTest::newRow("second number ignored") << "3 4x" << 3.0;
    QTest::newRow("lone sign") << "-" << 0.0;
    QTest::newRow("million") << "1000000" << 1000000.0;
    QTest::newRow("trailing point") << "12." << 12.0;
    QTest::newRow("whole with exponent") << "15e2" << 1500.0;
    QTest::newRow("negative with exponent") << "-15E-1" << -1.5;
    QTest::newRow("eighteen digits") << "123456789012345678" << 123456789012345678.0;
    QTest::newRow("fifteen digits") << "-999999999999999x" << -999999999999999.0;
}

void tst_Numbers::val()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(Val(text), value);
}

void tst_Numbers::cint_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("2.5 to even 2") << 2.5 << 2;
    QTest::newRow("3.5 to even 4") << 3.5 << 4;
    QTest::newRow("0.5 to 0") << 0.5 << 0;
    QTest::newRow("-2.5 to -2") << -2.5 << -2;
    QTest::newRow("99.5 to 100") << 99.5 << 100;
    QTest::newRow("2.4999") << 2.4999 << 2;
    QTest::newRow("2.5001") << 2.5001 << 3;
    QTest::newRow("max") << 32767.0 << 32767;
    QTest::newRow("min") << -32768.0 << -32768;
    QTest::newRow("32767.4") << 32767.4 << 32767;
    QTest::newRow("-32768.5 to even") << -32768.5 << -32768;
}

void tst_Numbers::cint()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(int(CInt(value)), expected);
}

void tst_Numbers::cintOverflow_data()
{
    QTest::addColumn<double>("value");
    QTest::newRow("32767.5") << 32767.5;
    QTest::newRow("32768") << 32768.0;
    QTest::newRow("-32769") << -32769.0;
    QTest::newRow("-32768.6") << -32768.6;
    QTest::newRow("huge") << 1e30;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
}

void tst_Numbers::cintOverflow()
{
    QFETCH(double, value);
    try {
        CInt(value);
        QFAIL("no overflow raised");
    } catch (const RuntimeError &error) {
        QCOMPARE(error.code(), RuntimeError::Overflow);
    }
}

void tst_Numbers::arithmetic()
{
    QCOMPARE(int(mul16(5, 5)), 25);
    QCOMPARE(int(mul16(181, 181)), 32761);
    QCOMPARE(int(sub16(-32767, 1)), -32768);
    QCOMPARE(int(add16(32766, 1)), 32767);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, mul16(182, 182));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, sub16(-32768, 1));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, add16(32767, 1));
}

void tst_Numbers::divisionAndRemainder()
{
    QCOMPARE(int(div16(6, 4)), 1);
    QCOMPARE(int(mod16(6, 4)), 2);
    QCOMPARE(int(mod16(100, 16)), 4);
    QCOMPARE(int(mod16(-7, 3)), -1);
    QCOMPARE(int(div16(24, 5)), 4);
    QVERIFY_THROWS_EXCEPTION(RuntimeError, mod16(3, 0));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, div16(3, 0));
    QVERIFY_THROWS_EXCEPTION(RuntimeError, div16(-32768, -1));
}

void tst_Numbers::integerText()
{
    QCOMPARE(text(qint16(0)), QStringLiteral("0"));
    QCOMPARE(text(qint16(12)), QStringLiteral("12"));
    QCOMPARE(text(qint16(-3)), QStringLiteral("-3"));
    QCOMPARE(text(qint16(-32768)), QStringLiteral("-32768"));
}

void tst_Numbers::doubleText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("13") << 13.0 << "13";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("minus one") << -1.0 << "-1";
    QTest::newRow("million, no exponent") << 1000000.0 << "1000000";
    QTest::newRow("beyond 16 bits") << 40000.0 << "40000";
    QTest::newRow("half") << 0.5 << "0.5";
    QTest::newRow("shortest") << 0.1 << "0.1";
}

void tst_Numbers::doubleText()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(text(value), expected);
}

QTEST_APPLESS_MAIN(tst_Numbers)
#include "tst_numbers.moc"

#pragma once

#include <QString>
#include <QtGlobal>

#include <stdexcept>

// A run-time error of the kind the platform raises: an overflow, a missing
// control array element, an index outside a list. It ends the handler that is
// running; the window reports it on standard error and stays usable.
class RuntimeError : public std::runtime_error {
public:
    enum Code {
        InvalidArgument = 5,
        Overflow = 6,
        DivisionByZero = 11,
        NoSuchElement = 340,
        ElementExists = 360,
        DesignElement = 362,
        BadListIndex = 381,
    };
    RuntimeError(Code code, const char *what) : std::runtime_error(what), m_code(code) {}
    Code code() const { return m_code; }

private:
    Code m_code;
};

namespace numbers {

// The leading decimal number of a text, as a double: leading blanks skipped,
// an optional sign, digits with an optional point and exponent. Anything
// after the number is ignored; a text with no number gives 0 ("07" gives 7,
// "" gives 0, "12abc" gives 12).
double Val(const QString &text);

// Nearest 16-bit integer, an exact half going to the even neighbour
// (2.5 -> 2, 3.5 -> 4). Outside -32768..32767, or not a number: Overflow.
qint16 CInt(double value);

// 16-bit signed arithmetic; a result outside the range raises Overflow.
qint16 add16(qint16 a, qint16 b);
qint16 sub16(qint16 a, qint16 b);
qint16 mul16(qint16 a, qint16 b);

// Integer division a \ c, truncating toward zero, and the remainder a mod c
// with the sign of a; c == 0 raises DivisionByZero.
qint16 div16(qint16 a, qint16 c);
qint16 mod16(qint16 a, qint16 c);

// Plain decimal digits, a minus sign when negative, no blank ("12", "-3").
QString text(qint16 value);

// The shortest decimal form of a double; whole numbers below 10^15 are
// written as plain digits without a decimal point ("13", "1000000").
QString text(double value);

} // namespace numbers

#include "app/platform/numbers.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace numbers {

double Val(const QString &text)
{
    const auto isDigit = [&](qsizetype i) {
        return i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9';
    };
    qsizetype i = 0;
    while (i < text.size() && (text.at(i) == u' ' || text.at(i) == u'\t'
                               || text.at(i) == u'\r' || text.at(i) == u'\n'))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    qsizetype digits = 0;
    for (; isDigit(i); ++i)
        ++digits;
    if (i < text.size() && text.at(i) == u'.')
        for (++i; isDigit(i); ++i)
            ++digits;
    if (digits == 0)
        return 0;
    qsizetype end = i;
    // Whole numbers, the counter and every list item, are read directly:
    // up to 15 digits are exact in a double, as the general parse below
    // would give.
    if (digits <= 15 && i - start == digits + (text.at(start) == u'+' || text.at(start) == u'-')
        && (i == text.size() || (text.at(i) != u'e' && text.at(i) != u'E'))) {
        double whole = 0;
        for (qsizetype d = i - digits; d < i; ++d)
            whole = whole * 10 + (text.at(d).unicode() - u'0');
        return text.at(start) == u'-' ? -whole : whole;
    }
    // An exponent counts only when digits follow it ("1e" reads as 1).
    if (i < text.size() && (text.at(i) == u'e' || text.at(i) == u'E')) {
        qsizetype j = i + 1;
        if (j < text.size() && (text.at(j) == u'+' || text.at(j) == u'-'))
            ++j;
        if (isDigit(j)) {
            while (isDigit(j))
                ++j;
            end = j;
        }
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(text.mid(start, end - start), &ok);
    if (!ok) // only an exponent too large for a double gets here
        throw RuntimeError(RuntimeError::Overflow, "Overflow");
    return value;
}

qint16 CInt(double value)
{
    // rint rounds to nearest with ties to even under the default rounding mode.
    const double whole = std::rint(value);
    if (!(whole >= std::numeric_limits<qint16>::min() && whole <= std::numeric_limits<qint16>::max()))
        throw RuntimeError(RuntimeError::Overflow, "Overflow");
    return static_cast<qint16>(whole);
}

static qint16 checked(int result)
{
    if (result < std::numeric_limits<qint16>::min() || result > std::numeric_limits<qint16>::max())
        throw RuntimeError(RuntimeError::Overflow, "Overflow");
    return static_cast<qint16>(result);
}

qint16 add16(qint16 a, qint16 b) { return checked(int(a) + int(b)); }
qint16 sub16(qint16 a, qint16 b) { return checked(int(a) - int(b)); }
qint16 mul16(qint16 a, qint16 b) { return checked(int(a) * int(b)); }

qint16 div16(qint16 a, qint16 c)
{
    if (c == 0)
        throw RuntimeError(RuntimeError::DivisionByZero, "Division by zero");
    return checked(int(a) / int(c));
}

qint16 mod16(qint16 a, qint16 c)
{
    if (c == 0)
        throw RuntimeError(RuntimeError::DivisionByZero, "Division by zero");
    return checked(int(a) % int(c));
}

QString text(qint16 value) { return QString::number(value); }

QString text(double value)
{
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace numbers

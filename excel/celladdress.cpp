#include "celladdress.h"

#include <limits>

namespace {

constexpr qint64 maxNumber = std::numeric_limits<int>::max();

bool isAsciiLetter(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Bijective base 26 over the leading letters (A = 1 ... Z = 26, AA = 27). Advances pos past
// the letters; returns -1 when the number does not fit an int.
qint64 readColumn(const QString &text, qsizetype &pos)
{
    qint64 column = 0;
    for (; pos < text.size() && isAsciiLetter(text.at(pos)); ++pos) {
        column = column * 26 + (text.at(pos).toUpper().unicode() - u'A' + 1);
        if (column > maxNumber)
            return -1;
    }
    return column;
}

// The decimal number that fills the rest of the text from pos: 0 when the rest is empty or
// holds anything but digits, -1 when the number does not fit an int.
qint64 readRow(const QString &text, qsizetype pos)
{
    qint64 row = 0;
    for (; pos < text.size(); ++pos) {
        if (!isAsciiDigit(text.at(pos)))
            return 0;
        row = row * 10 + (text.at(pos).unicode() - u'0');
        if (row > maxNumber)
            return -1;
    }
    return row;
}

} // namespace

QString columnLetters(int column)
{
    if (column < 1)
        return QString();
    if (column <= 26)
        return QString(QChar(u'A' + column - 1));
    return columnLetters((column - 1) / 26) + QChar(u'A' + (column - 1) % 26);
}

QString cellAddress(int row, int column)
{
    return columnLetters(column) + QString::number(row);
}

bool parseCell(const QString &text, int &row, int &column)
{
    row = 0;
    column = 0;
    qsizetype pos = 0;
    const qint64 readColumnNumber = readColumn(text, pos);
    if (readColumnNumber < 0)
        return false;
    const qint64 readRowNumber = readRow(text, pos);
    if (readRowNumber < 0)
        return false;
    column = int(readColumnNumber);
    row = int(readRowNumber);
    return true;
}

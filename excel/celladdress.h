#ifndef CELLADDRESS_H
#define CELLADDRESS_H

#include <QString>

// Conversions between 1-based column numbers and A1 column letters, and the reading of one
// cell reference. Column 0 (and row 0) means "none given".

// The letters of a column: 1 gives A, 26 Z, 27 AA, 703 AAA. A column below 1 has no
// letters and gives the empty text.
QString columnLetters(int column);

// The A1 address of a cell: row 7, column 28 gives AB7.
QString cellAddress(int row, int column);

// Reads a reference such as b12 (row 12, column 2), C (row 0, column 3) or 15 (row 15,
// column 0). Letters may be lower case; whatever follows them must be decimal digits,
// otherwise the row is 0. Returns false, with row and column 0, when the column or the
// row does not fit an int.
bool parseCell(const QString &text, int &row, int &column);

#endif

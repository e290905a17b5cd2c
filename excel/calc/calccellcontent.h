#ifndef CALCCELLCONTENT_H
#define CALCCELLCONTENT_H

#include <com/sun/star/table/XCell.hpp>

#include <QJsonObject>
#include <QString>

// What a cell holds, exactly enough to put it back: a number bit for bit, a text as text (so a
// text that looks like a number stays text), a formula as its formula, or nothing.
class CalcCellContent
{
public:
    enum class Kind { Empty, Number, Text, Formula };

    // Two office calls for a number, text or formula; one for an empty cell.
    static CalcCellContent read(const css::uno::Reference<css::table::XCell> &cell);
    void write(const css::uno::Reference<css::table::XCell> &cell) const;
    bool sameAs(const CalcCellContent &other) const;

    QJsonObject toJson() const;
    // False when the object does not describe a content.
    static bool fromJson(const QJsonObject &object, CalcCellContent &content);

    Kind kind() const { return contentKind; }
    double number() const { return numberValue; }
    QString text() const { return textValue; }

private:
    Kind contentKind = Kind::Empty;
    double numberValue = 0;
    QString textValue;
};

#endif

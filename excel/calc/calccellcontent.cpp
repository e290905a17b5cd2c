#include "excel/calc/calccellcontent.h"
#include "excel/calc/calcconnection.h"

#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/text/XText.hpp>

#include <cstring>
#include <iterator>

using namespace css;

namespace {

const char kindKey[] = "kind";
const char bitsKey[] = "bits";
const char textKey[] = "text";

const char *const kindNames[] = {"empty", "number", "text", "formula"};

// A double written as its 64 bits, so a journal gives back the very number it was given.
QString numberBits(double number)
{
    quint64 bits = 0;
    std::memcpy(&bits, &number, sizeof bits);
    return QString::number(bits, 16);
}

bool numberFromBits(const QString &text, double &number)
{
    bool ok = false;
    const quint64 bits = text.toULongLong(&ok, 16);
    if (ok)
        std::memcpy(&number, &bits, sizeof number);
    return ok;
}

} // namespace

CalcCellContent CalcCellContent::read(const uno::Reference<table::XCell> &cell)
{
    CalcCellContent content;
    switch (cell->getType()) {
    case table::CellContentType_VALUE:
        content.contentKind = Kind::Number;
        content.numberValue = cell->getValue();
        break;
    case table::CellContentType_TEXT:
        content.contentKind = Kind::Text;
        content.textValue =
            toQString(uno::Reference<text::XText>(cell, uno::UNO_QUERY_THROW)->getString());
        break;
    case table::CellContentType_FORMULA:
        content.contentKind = Kind::Formula;
        content.textValue = toQString(cell->getFormula());
        break;
    default:
        break;
    }
    return content;
}

void CalcCellContent::write(const uno::Reference<table::XCell> &cell) const
{
    switch (contentKind) {
    case Kind::Empty:
        cell->setFormula(OUString());
        break;
    case Kind::Number:
        cell->setValue(numberValue);
        break;
    case Kind::Text:
        uno::Reference<text::XText>(cell, uno::UNO_QUERY_THROW)->setString(toOUString(textValue));
        break;
    case Kind::Formula:
        cell->setFormula(toOUString(textValue));
        break;
    }
}

bool CalcCellContent::sameAs(const CalcCellContent &other) const
{
    if (contentKind != other.contentKind)
        return false;
    if (contentKind == Kind::Number)
        return std::memcmp(&numberValue, &other.numberValue, sizeof numberValue) == 0;
    return textValue == other.textValue;
}

QJsonObject CalcCellContent::toJson() const
{
    QJsonObject object{{kindKey, kindNames[int(contentKind)]}};
    if (contentKind == Kind::Number)
        object.insert(bitsKey, numberBits(numberValue));
    else if (contentKind != Kind::Empty)
        object.insert(textKey, textValue);
    return object;
}

bool CalcCellContent::fromJson(const QJsonObject &object, CalcCellContent &content)
{
    const QString kind = object.value(kindKey).toString();
    for (int index = 0; index < int(std::size(kindNames)); ++index) {
        if (kind != kindNames[index])
            continue;
        CalcCellContent read;
        read.contentKind = Kind(index);
        if (read.contentKind == Kind::Number &&
            !numberFromBits(object.value(bitsKey).toString(), read.numberValue))
            return false;
        if (read.contentKind == Kind::Text || read.contentKind == Kind::Formula) {
            if (!object.value(textKey).isString())
                return false;
            read.textValue = object.value(textKey).toString();
        }
        content = read;
        return true;
    }
    return false;
}

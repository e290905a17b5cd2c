#include "heavyworkbook.h"
#include "excel/calc/calcconnection.h"
#include "privateoffice.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/XStorable.hpp>

#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QUrl>

using namespace css;

namespace {

const int months = 360;
const int firstRow = 9;
const int balanceRow = firstRow + 119;

QString column(int index)
{
    QString name;
    for (++index; index > 0; index = (index - 1) / 26)
        name.prepend(QChar('A' + (index - 1) % 26));
    return name;
}

QString formulaCell(const QString &formula)
{
    QString escaped = formula;
    escaped.replace('&', "&amp;").replace('"', "&quot;").replace('<', "&lt;").replace('>', "&gt;");
    return QString(R"(<table:table-cell table:formula="of:=%1"/>)").arg(escaped);
}

QString textCell(const QString &text)
{
    return QString(R"(<table:table-cell office:value-type="string"><text:p>%1</text:p>)"
                   R"(</table:table-cell>)")
        .arg(text);
}

QString numberCell(double value)
{
    return QString(R"(<table:table-cell office:value-type="float" office:value="%1"/>)")
        .arg(value, 0, 'g', 17);
}

const int columnsPerLoan = 5;

// Loan k starts at column D + 5k: opening balance, interest, payment, balance and the interest
// paid so far, which sums the column above it as such models do.
QString loanCells(int loan, int row)
{
    const int first = 3 + columnsPerLoan * loan;
    const QString opening = column(first) + QString::number(row);
    const QString interest = column(first + 1) + QString::number(row);
    const QString payment = column(first + 2) + QString::number(row);
    const QString principal = QString("[.$B$1]*%1").arg(1.0 + loan / 10.0);
    QString cells;
    cells += formulaCell(row == firstRow ? principal
                                         : QString("[.%1%2]").arg(column(first + 3)).arg(row - 1));
    cells += formulaCell(QString("[.%1]*[.$B$2]/12").arg(opening));
    cells += formulaCell(QString("MIN([.%1]+[.%2];PMT([.$B$2]/12;%3;-%4)+[.$B$3])")
                             .arg(opening, interest)
                             .arg(months)
                             .arg(principal));
    cells += formulaCell(QString("[.%1]+[.%2]-[.%3]").arg(opening, interest, payment));
    cells +=
        formulaCell(QString("SUM([.%1$%2:.%1%3])").arg(column(first + 1)).arg(firstRow).arg(row));
    return cells;
}

QString inputRows(int loans)
{
    QStringList balances;
    for (int loan = 0; loan < loans; ++loan)
        balances.append(QString("[.%1%2]").arg(column(6 + columnsPerLoan * loan)).arg(balanceRow));
    const QString firstBalances = QString("[.G%1:.G%2]").arg(firstRow).arg(firstRow + months - 1);
    const QString rows[] = {textCell("Principal") + numberCell(200000),
                            textCell("Annual rate") + numberCell(0.05),
                            textCell("Extra payment") + numberCell(0),
                            textCell("Months to pay off") +
                                formulaCell(QString("COUNTIF(%1;\">0\")").arg(firstBalances)),
                            textCell("Balances after ten years") +
                                formulaCell("SUM(" + balances.join(';') + ")"),
                            QString(),
                            QString(),
                            QString()};
    QString text;
    for (const QString &row : rows)
        text += "<table:table-row>" + row + "</table:table-row>\n";
    return text;
}

} // namespace

QString HeavyWorkbook::write(const QString &folder, int loans)
{
    const QString path = QDir(folder).filePath("portfolio.fods");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QString text = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2" office:version="1.3"
 office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:body><office:spreadsheet><table:table table:name="Loans">
)";
    text += inputRows(loans);
    for (int row = firstRow; row < firstRow + months; ++row) {
        text += "<table:table-row><table:table-cell table:number-columns-repeated=\"3\"/>";
        for (int loan = 0; loan < loans; ++loan)
            text += loanCells(loan, row);
        text += "</table:table-row>\n";
    }
    text += "</table:table></office:spreadsheet></office:body></office:document>\n";
    const QByteArray bytes = text.toUtf8();
    return file.write(bytes) == bytes.size() ? path : QString();
}

QString HeavyWorkbook::writeXlsx(const QString &folder, int loans)
{
    const QString place = QDir(folder).filePath(QString("loans%1").arg(loans));
    const QString fods = QDir().mkpath(place) ? write(place, loans) : QString();
    const QString xlsx = QDir(place).filePath("portfolio.xlsx");
    PrivateOffice office;
    if (fods.isEmpty() || !office.start())
        return QString();
    try {
        const uno::Reference<frame::XStorable> storable(office.model(office.open(fods)),
                                                        uno::UNO_QUERY_THROW);
        beans::PropertyValue filter;
        filter.Name = "FilterName";
        filter.Value <<= OUString("Calc MS Excel 2007 XML");
        storable->storeToURL(toOUString(QUrl::fromLocalFile(xlsx).toString()),
                             uno::Sequence<beans::PropertyValue>(&filter, 1));
    } catch (const uno::Exception &e) {
        QTextStream(stderr) << "cannot save the portfolio as .xlsx: " << toQString(e.Message)
                            << "\n";
        return QString();
    }
    return xlsx;
}

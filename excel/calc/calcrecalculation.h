#ifndef CALCRECALCULATION_H
#define CALCRECALCULATION_H

#include <com/sun/star/frame/XModel.hpp>

#include <QHash>
#include <QSet>

class CalcConnection;

// The documents of one connection that recalculate fully after the program's writes. Calc's
// automatic recalculation leaves some formulas stale after a write through the API (seen on
// workbooks from other spreadsheet programs: a lookup over a table column whose cells form a
// chain thousands of formulas deep, as in a long payment schedule). Read once, such a formula
// is no longer dirty and XCalculatable::calculate() leaves it stale; calculateAll() alone
// computes it from the chain as it stood before. calculate() then calculateAll() gives true
// values. A write marks its document; the next read from it recalculates it once.
class CalcRecalculation
{
public:
    void setFull(const css::uno::Reference<css::frame::XModel> &model, bool on);
    bool isFull(const css::uno::Reference<css::frame::XModel> &model) const;
    void noteWrite(const css::uno::Reference<css::frame::XModel> &model);
    void beforeRead(CalcConnection &connection,
                    const css::uno::Reference<css::frame::XModel> &model);
    void calculateFully(CalcConnection &connection,
                        const css::uno::Reference<css::frame::XModel> &model);

private:
    static const void *key(const css::uno::Reference<css::frame::XModel> &model);

    // Holding the document keeps its proxy, and so the address that names it, from going to a
    // document opened after this one is closed.
    QHash<const void *, css::uno::Reference<css::uno::XInterface>> full;
    QSet<const void *> written;
};

#endif

#include "excel/calc/calcrecalculation.h"
#include "excel/calc/calcconnection.h"

#include <com/sun/star/sheet/XCalculatable.hpp>

using namespace css;

// The same document answers every query with the same object, so its interface pointer names it.
const void *CalcRecalculation::key(const uno::Reference<frame::XModel> &model)
{
    return uno::Reference<uno::XInterface>(model, uno::UNO_QUERY).get();
}

void CalcRecalculation::setFull(const uno::Reference<frame::XModel> &model, bool on)
{
    if (on)
        full.insert(key(model), model);
    else
        full.remove(key(model));
}

bool CalcRecalculation::isFull(const uno::Reference<frame::XModel> &model) const
{
    return full.contains(key(model));
}

void CalcRecalculation::noteWrite(const uno::Reference<frame::XModel> &model)
{
    if (!full.isEmpty() && isFull(model))
        written.insert(key(model));
}

void CalcRecalculation::beforeRead(CalcConnection &connection,
                                   const uno::Reference<frame::XModel> &model)
{
    if (written.isEmpty() || !written.contains(key(model)))
        return;
    calculateFully(connection, model);
}

void CalcRecalculation::calculateFully(CalcConnection &connection,
                                       const uno::Reference<frame::XModel> &model)
{
    written.remove(key(model));
    connection.guard("calculateAll", [&model]() {
        const uno::Reference<sheet::XCalculatable> calculation(model, uno::UNO_QUERY_THROW);
        // A formula over a chain deeper than Calc's interpreter follows in one go (a long
        // schedule of months, each a few formulas deep in the month before) is computed from
        // the chain's values as they stood before the recalculation, so calculateAll() alone
        // reads one write behind; calculate() brings the chain's dirty cells up to date first.
        calculation->calculate();
        calculation->calculateAll();
    });
}

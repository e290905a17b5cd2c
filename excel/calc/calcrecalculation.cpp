#include "excel/calc/calcrecalculation.h"
#include "excel/calc/calcconnection.h"

#include <com/sun/star/sheet/XCalculatable.hpp>

using namespace css;

// The same document answers every query with the same object, so its interface pointer names it.
const void *CalcRecalculation::key(const uno::Reference<frame::XModel> &model)
{
    return uno::Reference<uno::XInterface>(model, uno::UNO_QUERY).get();
}

void CalcRecalculation::noteWrite(const uno::Reference<frame::XModel> &model)
{
    written.insert(key(model), model);
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
        calculation->calculate();
        calculation->calculateAll();
    });
}

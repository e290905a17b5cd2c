#ifndef CALCRECALCULATION_H
#define CALCRECALCULATION_H

#include <com/sun/star/frame/XModel.hpp>

#include <QHash>

class CalcConnection;

// Recalculates every document of one connection fully between the program's writes and its next
// read, so every value read after a write is what a full recalculation gives. Calc's automatic
// recalculation leaves some formulas stale after a write through the API: a workbook saved with
// manual calculation, or one from another spreadsheet program whose lookup runs over a chain of
// formulas too deep for the interpreter to follow in one go (a long payment schedule). No
// comparison can prove a workbook free of that, since stale and true values agree wherever the
// write does not change the result, so no document is trusted. calculate() brings the dirty cells
// up to date, then calculateAll() computes every formula from them; calculateAll() alone computes
// a deep lookup from the chain as it stood before the write.
class CalcRecalculation
{
public:
    void noteWrite(const css::uno::Reference<css::frame::XModel> &model);
    // Recalculates the document fully when it was written since its last full recalculation.
    void beforeRead(CalcConnection &connection,
                    const css::uno::Reference<css::frame::XModel> &model);
    void calculateFully(CalcConnection &connection,
                        const css::uno::Reference<css::frame::XModel> &model);

private:
    static const void *key(const css::uno::Reference<css::frame::XModel> &model);

    // Holding the document keeps its proxy, and so the address that names it, from going to a
    // document opened after this one is closed.
    QHash<const void *, css::uno::Reference<css::uno::XInterface>> written;
};

#endif

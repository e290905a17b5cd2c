#ifndef KERNELCELLS_H
#define KERNELCELLS_H

#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>

using rtl::OUString;

#include <vector>

namespace KernelCells {

// The document as a spreadsheet; refused when it is none.
css::uno::Reference<css::sheet::XSpreadsheetDocument> spreadsheet(const css::uno::Any &document);

// The objects as cells, each of which must be a single cell on a sheet of the document (its sheet
// at its position in the document under its name). role names the list in the refusal ("write
// cell", "read cell").
std::vector<css::uno::Reference<css::table::XCell>>
resolve(const css::uno::Reference<css::sheet::XSpreadsheetDocument> &document,
        const css::uno::Sequence<css::uno::Reference<css::uno::XInterface>> &objects,
        const char *role);

// What a cell held, to put back exactly: a number as the number (its text form could round it), a
// text as the text (one that reads as a formula or a number stays text), anything else as its
// formula text, an empty cell as the empty text.
class Snapshot
{
public:
    explicit Snapshot(const css::uno::Reference<css::table::XCell> &cell);
    const css::uno::Reference<css::table::XCell> &cell() const { return target; }
    void restore() const;
    bool sameAs(const Snapshot &other) const;

private:
    css::uno::Reference<css::table::XCell> target;
    css::table::CellContentType type;
    double number = 0;
    // The formula, or the text of a text cell.
    OUString formula;
    // A text cell's text, set as such; unset for a cell that offers no text.
    css::uno::Reference<css::text::XText> text;
};

} // namespace KernelCells

#endif

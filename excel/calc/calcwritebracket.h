#ifndef CALCWRITEBRACKET_H
#define CALCWRITEBRACKET_H

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <rtl/ustring.hxx>

using rtl::OUString;

#include <QList>
#include <QSet>

class CalcConnection;

// Hides a burst of program writes from the user's documents. Calc, unlike Excel, puts every
// cell write in the undo history and marks the document modified. While the bracket is open the
// documents' controllers are locked and the writes go into a hidden undo context (or, when the
// undo stack is empty and so nothing can be lost, undo is off). Closing it restores all that,
// and a document that was unmodified before is unmodified again when every cell written in
// between holds its old content.
class CalcWriteBracket
{
public:
    bool isOpen() const { return open; }
    void begin(CalcConnection &connection,
               const QList<css::uno::Reference<css::frame::XModel>> &documents);
    // Called before each write while the bracket is open.
    void noteWrite(CalcConnection &connection, const css::uno::Reference<css::table::XCell> &cell);
    void end(CalcConnection &connection);
    // Hands the open bracket to the scan kernel, which closes it should the program die.
    void armKernel(CalcConnection &connection);

private:
    struct DocumentState
    {
        css::uno::Reference<css::frame::XModel> model;
        bool wasModified = true;
        bool hiddenUndoContext = false;
        bool undoDisabled = false;
    };
    struct WrittenCell
    {
        css::uno::Reference<css::table::XCell> cell;
        OUString content;
    };

    void enter(CalcConnection &connection, DocumentState &state);
    void leave(CalcConnection &connection, const DocumentState &state, bool restored);
    bool cellsRestored(CalcConnection &connection) const;

    bool open = false;
    QList<DocumentState> documents;
    QList<WrittenCell> written;
    QSet<const void *> writtenCells;
};

#endif

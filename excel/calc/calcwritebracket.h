#ifndef CALCWRITEBRACKET_H
#define CALCWRITEBRACKET_H

#include "excel/calc/calcbracketjournal.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/table/CellAddress.hpp>
#include <com/sun/star/table/XCell.hpp>

#include <QHash>
#include <QList>
#include <memory>
#include <vector>

class CalcConnection;

// Hides a burst of program writes from the user's documents. Calc, unlike Excel, puts every
// cell write in the undo history and marks the document modified. While the bracket is open
// each document it writes is locked, its writes go into a hidden undo context (or, when the
// undo stack is empty and so nothing can be lost, undo is off), and the first content of every
// written cell is kept in a journal on disk. Closing it restores all that, and a document that
// was unmodified before is unmodified again when every cell written in between holds its old
// content and, as the scan kernel could tell from inside the office, nobody else changed the
// document meanwhile. Documents it never writes it never touches.
class CalcWriteBracket
{
public:
    CalcWriteBracket();
    ~CalcWriteBracket();

    bool isOpen() const { return open; }
    // Opens the bracket over the documents it may write; each is entered before its first
    // write only.
    void begin(CalcConnection &connection,
               const QList<css::uno::Reference<css::frame::XModel>> &documents);
    // Called before each write while the bracket is open; a cell's first write records its
    // content on disk before this returns.
    void noteWrite(CalcConnection &connection,
                   const css::uno::Reference<css::frame::XModel> &document,
                   const css::uno::Reference<css::table::XCell> &cell,
                   const css::table::CellAddress &address);
    // Whether the cell was written since the bracket opened.
    bool holds(const css::uno::Reference<css::frame::XModel> &document,
               const css::table::CellAddress &address) const;
    // Writes back the content the cell held before its first write in this bracket; false when
    // the bracket holds no such content for it.
    bool restore(CalcConnection &connection,
                 const css::uno::Reference<css::frame::XModel> &document,
                 const css::table::CellAddress &address);
    void end(CalcConnection &connection);
    // Puts every written cell back, then ends: for a program that has to stop in the middle.
    void abandon(CalcConnection &connection);
    // Hands what the bracket holds to the scan kernel, which closes the bracket inside the office
    // should the program die; later entries follow as they are made.
    void armKernel(CalcConnection &connection);

private:
    struct DocumentState
    {
        css::uno::Reference<css::frame::XModel> model;
        bool wasModified = true;
        bool contentsUnknown = false;
        int journalIndex = -1;
        // Whether others changed the document is asked only of one that was unmodified, of the
        // kernel, which watches it inside the office while it holds the bracket. The program
        // keeps no listener of its own on the document: one that outlived a killed program
        // would take the office down when the document closes. So a document the kernel did not
        // watch counts as changed by others.
        bool kernelAsked = false;
        bool watchedByKernel = false;
        bool othersChanged = false;
        QHash<quint64, int> cellIndex;
        QList<css::uno::Reference<css::table::XCell>> cells;
    };

    DocumentState *document(const css::uno::Reference<css::frame::XModel> &model) const;
    DocumentState *enter(CalcConnection &connection,
                         const css::uno::Reference<css::frame::XModel> &model);
    CalcUndoMode hideUndo(CalcConnection &connection, DocumentState &state);
    void armKernel(CalcConnection &connection, DocumentState &state);
    void leave(CalcConnection &connection, DocumentState &state);
    bool cellsRestored(CalcConnection &connection, const DocumentState &state) const;
    void clear();

    bool open = false;
    QString officeIdentity;
    QList<css::uno::Reference<css::frame::XModel>> candidates;
    std::vector<std::unique_ptr<DocumentState>> documents;
    std::unique_ptr<CalcBracketJournal> journal;
};

#endif

#ifndef CALCWORKBOOKSNAPSHOT_H
#define CALCWORKBOOKSNAPSHOT_H

#include <com/sun/star/frame/XModel.hpp>

#include <QString>
#include <memory>

class CalcConnection;

// Copies of a spreadsheet document for offices of the program's own, which open them hidden and
// with macros off: what keeps such a copy from computing what the document computes, and the copy
// itself, stored without touching the document (its location, modified flag and undo history).
class CalcWorkbookSnapshot
{
public:
    CalcWorkbookSnapshot(std::shared_ptr<CalcConnection> connection,
                         css::uno::Reference<css::frame::XModel> model);

    // The first reason a copy would compute otherwise, in a few words; empty when none.
    QString problem();
    // The path of the new copy in folder; empty when it cannot be stored.
    QString store(const QString &folder);

private:
    bool storeTo(const QString &path, const QString &filter);

    std::shared_ptr<CalcConnection> connection;
    css::uno::Reference<css::frame::XModel> model;
};

#endif

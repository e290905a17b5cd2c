#ifndef CALCWORKBOOK_H
#define CALCWORKBOOK_H

#include "excel/excelworkbook.h"

#include <com/sun/star/frame/XModel.hpp>

#include <memory>

class CalcConnection;

// One spreadsheet document; its title is its name.
class CalcWorkbook : public ExcelWorkbook
{
public:
    CalcWorkbook(std::shared_ptr<CalcConnection> connection,
                 css::uno::Reference<css::frame::XModel> model);

    QString describe() const override;
    QString name() override;
    std::unique_ptr<ExcelWorksheets> worksheets() override;
    void recalculateAfterWrites() override;
    void recalculateFully() override;
    bool enterUndoContext(const QString &title) override;
    bool joinLastUndoStep() override;
    void leaveUndoContext() override;
    QString copyProblem() override;
    QString storeSnapshot(const QString &folder) override;

private:
    std::shared_ptr<CalcConnection> connection;
    css::uno::Reference<css::frame::XModel> model;
};

#endif

#ifndef CALCWINDOW_H
#define CALCWINDOW_H

#include "excel/excelwindow.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>

#include <memory>

class CalcConnection;

// A document's view (its controller): the active sheet and the user's selection.
class CalcWindow : public ExcelWindow
{
public:
    CalcWindow(std::shared_ptr<CalcConnection> connection,
               css::uno::Reference<css::frame::XModel> model,
               css::uno::Reference<css::sheet::XSpreadsheetView> view);

    QString describe() const override;
    std::unique_ptr<ExcelWorksheet> activeSheet() override;
    std::unique_ptr<ExcelRange> rangeSelection() override;

private:
    std::shared_ptr<CalcConnection> connection;
    css::uno::Reference<css::frame::XModel> model;
    css::uno::Reference<css::sheet::XSpreadsheetView> view;
};

#endif

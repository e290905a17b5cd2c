#include "excel/calc/calcworkbooks.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calcworkbook.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>

using namespace css;

CalcWorkbooks::CalcWorkbooks(std::shared_ptr<CalcConnection> connection)
    : connection(std::move(connection))
{}

QList<uno::Reference<frame::XModel>> CalcWorkbooks::spreadsheetModels(CalcConnection &connection)
{
    return connection.guard(
        "Workbooks",
        [&connection]() {
            QList<uno::Reference<frame::XModel>> models;
            const uno::Reference<container::XEnumeration> components =
                connection.desktop()->getComponents()->createEnumeration();
            while (components->hasMoreElements()) {
                const uno::Reference<sheet::XSpreadsheetDocument> document(
                    components->nextElement(), uno::UNO_QUERY);
                const uno::Reference<frame::XModel> model(document, uno::UNO_QUERY);
                if (model.is())
                    models.append(model);
            }
            return models;
        },
        QList<uno::Reference<frame::XModel>>());
}

QString CalcWorkbooks::describe() const
{
    return "Calc workbooks";
}

std::unique_ptr<ExcelWorkbook> CalcWorkbooks::add()
{
    const uno::Reference<frame::XModel> model = connection->guard(
        "Workbooks.Add",
        [this]() {
            const uno::Reference<frame::XComponentLoader> loader(connection->desktop(),
                                                                 uno::UNO_QUERY_THROW);
            return uno::Reference<frame::XModel>(
                loader->loadComponentFromURL("private:factory/scalc", "_blank", 0,
                                             uno::Sequence<beans::PropertyValue>()),
                uno::UNO_QUERY);
        },
        uno::Reference<frame::XModel>());
    if (!model.is())
        return nullptr;
    return std::make_unique<CalcWorkbook>(connection, model);
}

std::unique_ptr<ExcelWorkbook> CalcWorkbooks::item(const QString &name)
{
    const OUString title = toOUString(name);
    for (const uno::Reference<frame::XModel> &model : spreadsheetModels(*connection)) {
        const bool matches = connection->guard(
            "Workbooks.Item",
            [&model, &title]() {
                return uno::Reference<frame::XTitle>(model, uno::UNO_QUERY_THROW)->getTitle() ==
                       title;
            },
            false);
        if (matches)
            return std::make_unique<CalcWorkbook>(connection, model);
    }
    return nullptr;
}

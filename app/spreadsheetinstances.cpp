#include "app/spreadsheetinstances.h"

#include "excel/excelapplication.h"
#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"

#include <memory>

SpreadsheetInstances::SpreadsheetInstances(QObject *parent) : QObject(parent) {}

void SpreadsheetInstances::attachToFront()
{
    // Front-most first.
    const QList<qint64> windows = ExcelBackend::instances();
    if (windows.isEmpty())
        return;
    for (qsizetype i = 1; i < m_applications.size(); ++i) {
        if (m_applications[i]->hwnd() == windows.first()) {
            m_applications.swapItemsAt(0, i);
            break;
        }
    }
    if (!m_applications.isEmpty() && m_applications.first()->hwnd() == windows.first())
        return;
    attachTo(windows.first());
}

void SpreadsheetInstances::attachTo(qint64 window)
{
    std::unique_ptr<ExcelApplication> application = ExcelBackend::attach(window);
    if (application)
        m_applications.prepend(new VIVExcelApplication(std::move(application), this));
}

VIVExcelApplication *SpreadsheetInstances::current() const
{
    return m_applications.isEmpty() ? nullptr : m_applications.first();
}

void SpreadsheetInstances::prepend(VIVExcelApplication *application)
{
    application->setParent(this);
    m_applications.prepend(application);
}

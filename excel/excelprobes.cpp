#include "excel/excelprobes.h"
#include "excel/excelbackend.h"

#include <QDebug>
#include <QGuiApplication>
#include <QWindow>

namespace {

// Titles are seen through a buffer of 20 UTF-16 units, terminator included.
const int titleLength = 19;

QString foregroundTitle()
{
    const QWindow *window = QGuiApplication::focusWindow();
    const QString title = window ? window->title() : ExcelBackend::activeWindowTitle();
    qDebug() << "---------->" << title;
    return title;
}

} // namespace

bool isExcelProcessRunning()
{
    return ExcelBackend::isRunning();
}

bool titleStartsWith(const QString &title, const QString &prefix)
{
    return title.left(titleLength).startsWith(prefix);
}

// The office puts the application's name last ("loan.ods - LibreOffice Calc").
bool isExcelWindowTitle(const QString &title)
{
    return title.endsWith(" - " + ExcelBackend::applicationName());
}

bool foregroundTitleStartsWith(const QString &prefix)
{
    return titleStartsWith(foregroundTitle(), prefix);
}

bool isExcelForeground()
{
    return isExcelWindowTitle(foregroundTitle());
}

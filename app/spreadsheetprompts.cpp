#include "app/spreadsheetprompts.h"

#include "excel/excelbackend.h"
#include "excel/vivexcelapplication.h"
#include "excel/vivexcelworkbooks.h"

#include <QMessageBox>
#include <QTimer>

VIVExcelApplication *SpreadsheetPrompts::offerSpreadsheet(QWidget *parent)
{
    const QString name = ExcelBackend::applicationName();
    // Offering to open what is open but refused would do nothing: the user reads why instead.
    const QString refusal = ExcelBackend::refusal();
    if (!refusal.isEmpty()) {
        warn(parent, QString("Cannot reach %1").arg(name), refusal);
        return nullptr;
    }
    const bool running = ExcelBackend::isRunning();
    QMessageBox box(parent);
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    box.setText(running ? QString("There is no workbook open in %1.").arg(name)
                        : QString("%1 is not open.").arg(name));
    box.setInformativeText(running ? QString("Open a new workbook?")
                                   : QString("Open %1?").arg(name));
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    if (box.exec() != QMessageBox::Yes)
        return nullptr;
    // The wrapper reaches the running program, or starts it, when first used.
    auto *spreadsheet = new VIVExcelApplication(nullptr, parent);
    if (running)
        spreadsheet->workbooks()->add(true);
    else
        QTimer::singleShot(10, spreadsheet, &VIVExcelApplication::show);
    return spreadsheet;
}

void SpreadsheetPrompts::warnNothingUsable(QWidget *parent, bool forSliders)
{
    const QString name = ExcelBackend::applicationName();
    warn(parent, "No new watch.",
         forSliders ? QString("Please select a cell with a numeric value in %1 which is not the "
                              "result of a formula.")
                          .arg(name)
                    : QString("Please select a cell with a numeric formula in %1.").arg(name));
}

void SpreadsheetPrompts::warn(QWidget *parent, const QString &title, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    box.exec();
}

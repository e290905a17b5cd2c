#ifndef EXCELAPPLICATION_H
#define EXCELAPPLICATION_H

#include "excel/excelobject.h"

#include <memory>

class ExcelWindow;
class ExcelWorkbook;
class ExcelWorkbooks;

// The running spreadsheet application.
class ExcelApplication : public ExcelObject
{
public:
    // Tells application instances apart; 0 when the instance cannot be reached any more.
    virtual qint64 hwnd() = 0;
    virtual std::unique_ptr<ExcelWorkbook> activeWorkbook() = 0;
    virtual std::unique_ptr<ExcelWindow> activeWindow() = 0;
    virtual std::unique_ptr<ExcelWorkbooks> workbooks() = 0;
    virtual void setVisible(bool visible) = 0;
    virtual void setEnableEvents(bool enable) = 0;
    // Off: the user's documents stop repainting and the writes that follow stay out of their
    // undo history. On again: repainting resumes, and a document that was unmodified before is
    // unmodified again when every cell written in between got its old content back.
    virtual void setScreenUpdating(bool updating) = 0;
};

#endif

#ifndef PRIVATEOFFICE_H
#define PRIVATEOFFICE_H

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/table/XCell.hpp>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class CalcConnection;

// A headless office of the test's own, with its own pipe name and a throwaway profile, so
// tests never see or touch an office the user runs. It points the spreadsheet link at itself,
// and the program's write journals at a folder of its own, never among the user's.
// Besides the link it keeps a connection of its own, for what the link cannot do (write texts
// and formulas, select cells, look at the undo history) and to check what the link did.
class PrivateOffice
{
public:
    PrivateOffice();
    ~PrivateOffice();

    enum Listening { Listens, DoesNotListen };
    // A visible office opens a new workbook's window on the display in DISPLAY.
    enum Appearance { Headless, Visible };

    // Starts the office and waits until it accepts connections; one that does not listen is
    // only waited for until its process runs.
    bool start(Listening listening = Listens, Appearance appearance = Headless);
    // Opens the test's own connection to an office that was made to listen later.
    bool connect();
    // Kills the office at once, as a crash would, and waits until it is gone.
    void kill();
    // Asks the office to quit, and kills what is left after a while.
    void stop();

    QString pipeName() const { return pipe; }
    // The fixture's own connection, for what only a raw office call can show.
    std::shared_ptr<CalcConnection> connection() const { return direct; }
    QString profileUrl() const;
    // A cell of the workbook's first sheet, by its address ("B2").
    static css::uno::Reference<css::table::XCell>
    cellOf(const css::uno::Reference<css::frame::XModel> &model, const QString &address);
    // Where the program keeps its write journals while this office runs.
    QString runtimeFolder() const { return runtime.path(); }
    // The office process itself (not its launcher); 0 when it does not run.
    qint64 processId() const;

    // Opens a workbook file in a hidden window; its title, empty when it did not load (a file
    // that another office holds open does not load: nobody answers the office's question).
    QString open(const QString &path);
    // Brings the workbook's window to the front, as a user's click would.
    bool activate(const QString &book);
    bool setContent(const QString &book, const QString &cell, const QString &content);
    // Writes the cell from the office's main thread, where the user's typing is handled, so the
    // office does not take the write for one of this process's own calls.
    bool setContentFromOffice(const QString &book, const QString &cell, const QString &content);
    QString content(const QString &book, const QString &cell);
    // Selects cells of the first sheet; several areas are given as separate addresses.
    bool select(const QString &book, const QStringList &areas);
    QStringList undoTitles(const QString &book);
    QStringList redoTitles(const QString &book);
    bool isModified(const QString &book);
    bool setModified(const QString &book, bool modified);
    bool undo(const QString &book);
    bool clearUndo(const QString &book);
    // Closes the workbook the way the user's closing of its window does.
    bool close(const QString &book);
    bool controllersLocked(const QString &book);
    // Closes the innermost open undo context, as the office's own undo handling may.
    bool leaveUndoContext(const QString &book);
    // Protects the first sheet; every cell but the given ones stays locked.
    bool protectSheet(const QString &book, const QStringList &unlockedCells);
    // Enters text into the selected cell the way a user's typing does.
    bool type(const QString &book, const QString &text);
    // Keys text into the selected cell as the user's keys do and leaves the entry unfinished, as
    // before Enter: it reaches the cell when the user or a recalculation finishes it.
    bool typeUnfinished(const QString &book, const QString &text);
    // Presses Enter, as the user finishing an entry does.
    bool finishEntry(const QString &book);
    // Runs one of the office's own commands on the workbook's window, as its menu or keys do
    // (".uno:Undo" is the user's Ctrl+Z).
    bool dispatch(const QString &book, const QString &command);
    // Posts the command to the office's main thread and returns at once, so that a command
    // which opens a dialog leaves the dialog open and the test free to look at it.
    bool dispatchFromOffice(const QString &book, const QString &command);
    // The version of the extension in the user's repository; empty when none is installed.
    QString extensionVersion(const QString &identifier);

    // The workbook's document, for checks that talk UNO directly.
    css::uno::Reference<css::frame::XModel> model(const QString &book);

private:
    QList<qint64> officeProcesses() const;
    QStringList historyTitles(const QString &book, bool redo);
    // kind is TEXT for characters or KEYCODE for a named key.
    bool typeKeys(const QString &book, const char *kind, const QString &keys);

    QString pipe;
    QTemporaryDir profile;
    QTemporaryDir runtime;
    std::shared_ptr<CalcConnection> direct;
};

#endif

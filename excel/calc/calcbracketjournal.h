#ifndef CALCBRACKETJOURNAL_H
#define CALCBRACKETJOURNAL_H

#include "excel/calc/calccellcontent.h"

#include <QList>
#include <QString>
#include <QStringList>

// How a bracket kept the office's undo history out of its writes.
enum class CalcUndoMode { Untouched, HiddenContext, UndoDisabled };

struct CalcJournalCell
{
    int sheet = 0;
    int column = 0;
    int row = 0;
    CalcCellContent content;
};

struct CalcJournalDocument
{
    // The document's location, empty while it was never saved; then the title finds it.
    QString url;
    QString title;
    CalcUndoMode undo = CalcUndoMode::Untouched;
    QList<CalcJournalCell> cells;
};

// What an open write bracket changed, on disk before the office sees the change, so the next
// run of the program can put the documents back when this one dies inside the bracket. One
// file per process in the user's runtime folder (private to the user), synced on every save.
class CalcBracketJournal
{
public:
    // A journal of this process for the office known by officeId.
    explicit CalcBracketJournal(const QString &officeId = QString());

    // The journals left by processes that are gone.
    static QStringList abandonedFiles();
    // False when the file is missing or not a journal.
    static bool load(const QString &path, CalcBracketJournal &journal);

    QString officeId() const { return office; }
    QString path() const { return filePath; }
    QList<CalcJournalDocument> &documents() { return entries; }
    const QList<CalcJournalDocument> &documents() const { return entries; }

    // Writes the journal and waits until it is on disk; false when that failed.
    bool save() const;
    void remove() const;

private:
    static QString directory();

    QString office;
    QString filePath;
    qint64 pid = 0;
    QString processStart;
    QList<CalcJournalDocument> entries;
};

#endif

#include "excel/calc/calcbracketjournal.h"
#include "excel/calc/processidentity.h"
#include "excel/excellogging.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>

#include <algorithm>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace {

const char filePrefix[] = "marlowin-bracket-";
const char fileSuffix[] = ".json";

const char *const undoNames[] = {"untouched", "hidden-context", "undo-disabled"};

QJsonObject cellToJson(const CalcJournalCell &cell)
{
    QJsonObject object = cell.content.toJson();
    object.insert("sheet", cell.sheet);
    object.insert("column", cell.column);
    object.insert("row", cell.row);
    return object;
}

QJsonObject documentToJson(const CalcJournalDocument &document)
{
    QJsonArray cells;
    for (const CalcJournalCell &cell : document.cells)
        cells.append(cellToJson(cell));
    return {{"url", document.url},
            {"title", document.title},
            {"undo", undoNames[int(document.undo)]},
            {"cells", cells}};
}

bool documentFromJson(const QJsonObject &object, CalcJournalDocument &document)
{
    const QString undo = object.value("undo").toString();
    const auto named = std::find(std::begin(undoNames), std::end(undoNames), undo);
    if (named == std::end(undoNames))
        return false;
    document.url = object.value("url").toString();
    document.title = object.value("title").toString();
    document.undo = CalcUndoMode(named - std::begin(undoNames));
    for (const QJsonValue &value : object.value("cells").toArray()) {
        CalcJournalCell cell;
        const QJsonObject entry = value.toObject();
        if (!CalcCellContent::fromJson(entry, cell.content))
            return false;
        cell.sheet = entry.value("sheet").toInt(-1);
        cell.column = entry.value("column").toInt(-1);
        cell.row = entry.value("row").toInt(-1);
        if (cell.sheet < 0 || cell.column < 0 || cell.row < 0)
            return false;
        document.cells.append(cell);
    }
    return true;
}

bool syncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

} // namespace

CalcBracketJournal::CalcBracketJournal(const QString &officeId)
    : office(officeId), pid(::getpid()), processStart(ProcessIdentity::startTime(::getpid()))
{
    filePath = directory() + "/" + filePrefix + QString::number(pid) + fileSuffix;
}

QString CalcBracketJournal::directory()
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    return folder;
}

QStringList CalcBracketJournal::abandonedFiles()
{
    const QDir folder(directory());
    QStringList files;
    for (const QString &name :
         folder.entryList({QString(filePrefix) + "*" + fileSuffix}, QDir::Files, QDir::Name)) {
        CalcBracketJournal journal;
        const QString path = folder.filePath(name);
        if (load(path, journal) && ProcessIdentity::hasEnded(journal.pid, journal.processStart))
            files.append(path);
    }
    return files;
}

bool CalcBracketJournal::load(const QString &path, CalcBracketJournal &journal)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    if (!root.value("pid").isDouble())
        return false;
    CalcBracketJournal read;
    read.filePath = path;
    read.pid = qint64(root.value("pid").toDouble());
    read.processStart = root.value("start").toString();
    read.office = root.value("office").toString();
    for (const QJsonValue &value : root.value("documents").toArray()) {
        CalcJournalDocument document;
        if (!documentFromJson(value.toObject(), document))
            return false;
        read.entries.append(document);
    }
    journal = read;
    return true;
}

// Written beside the journal and renamed over it, so a crash while saving leaves the previous
// journal whole.
bool CalcBracketJournal::save() const
{
    QJsonArray documents;
    for (const CalcJournalDocument &document : entries)
        documents.append(documentToJson(document));
    const QJsonObject root{{"pid", double(pid)},
                           {"start", processStart},
                           {"office", office},
                           {"documents", documents}};
    const QString temporary = filePath + ".new";
    QFile file(temporary);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(QJsonDocument(root).toJson(QJsonDocument::Compact)) < 0 || !file.flush() ||
        ::fsync(file.handle()) != 0) {
        qCWarning(lcLink) << "Cannot write the write journal" << temporary << file.errorString();
        return false;
    }
    file.close();
    if (::rename(QFile::encodeName(temporary).constData(),
                 QFile::encodeName(filePath).constData()) != 0 ||
        !syncFile(directory())) {
        qCWarning(lcLink) << "Cannot write the write journal" << filePath;
        return false;
    }
    return true;
}

void CalcBracketJournal::remove() const
{
    QFile::remove(filePath);
}

#include "scan/sweeptable.h"

#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMap>
#include <QRegularExpression>
#include <QSaveFile>
#include <cmath>
#include <cstdio>

namespace {

const char shardPrefix[] = "# marlowin-sweep shard ";

struct Shard
{
    int index = 0;
    int count = 0;
    qint64 points = 0;
    QByteArray sweep;  // the shard line without its index
    QByteArray header; // the two header rows
    QList<QByteArray> rows;
};

bool readShard(const QString &path, Shard &shard, QString *error)
{
    static const QRegularExpression line("^# marlowin-sweep shard ([0-9]+)/([0-9]+); ([0-9]+) "
                                         "points; (.*)$");
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QString("%1: cannot read it").arg(path);
        return false;
    }
    QList<QByteArray> lines = file.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    const QRegularExpressionMatch match =
        lines.isEmpty() ? QRegularExpressionMatch() : line.match(QString::fromUtf8(lines[0]));
    if (!match.hasMatch() || lines.size() < 3) {
        *error = QString("%1: not the file of a sweep's shard").arg(path);
        return false;
    }
    shard.index = match.captured(1).toInt();
    shard.count = match.captured(2).toInt();
    shard.points = match.captured(3).toLongLong();
    shard.sweep = match.captured(2).toUtf8() + ";" + match.captured(3).toUtf8() + ";" +
                  match.captured(4).toUtf8();
    shard.header = lines[1] + '\n' + lines[2] + '\n';
    shard.rows = lines.mid(3);
    return true;
}

// Every row's point belongs to its shard and comes once; together the shards hold every point.
bool collectRows(const QList<Shard> &shards, const QStringList &paths, QByteArray &text,
                 QString *error)
{
    const qint64 points = shards.first().points;
    QList<QByteArray> rows(points);
    qint64 filled = 0;
    const char separator = shards.first().header.contains('\t') ? '\t' : ',';
    for (qsizetype s = 0; s < shards.size(); ++s) {
        for (const QByteArray &row : shards[s].rows) {
            bool ok = false;
            const qint64 point = row.left(row.indexOf(separator)).toLongLong(&ok);
            if (!ok || point < 0 || point >= points ||
                point % shards[s].count != shards[s].index - 1 || !rows[point].isEmpty()) {
                *error = QString("%1: a row that does not belong to the shard: %2")
                             .arg(paths[s], QString::fromUtf8(row.left(40)));
                return false;
            }
            rows[point] = row;
            ++filled;
        }
    }
    if (filled != points) {
        *error = QString("the shards hold %1 of %2 points").arg(filled).arg(points);
        return false;
    }
    for (const QByteArray &row : std::as_const(rows))
        text += row + '\n';
    return true;
}

} // namespace

SweepTable::SweepTable(Format format, const QStringList &addresses, const QStringList &labels)
    : m_format(format), m_addresses(addresses), m_labels(labels)
{}

// Plain digits where they stay short ("100000", "0.0125"), an exponent beyond; both forms read
// back as the same double.
QString SweepTable::number(double value)
{
    if (std::isnan(value))
        return QString();
    const double size = std::abs(value);
    const bool plain = value == 0 || (size >= 1e-5 && size < 1e16);
    return QString::number(value, plain ? 'f' : 'g', QLocale::FloatingPointShortest);
}

QByteArray SweepTable::shardLine(int index, int count, qint64 points, const QString &sweep)
{
    return shardPrefix + QByteArray::number(index) + '/' + QByteArray::number(count) + "; " +
           QByteArray::number(points) + " points; " + QString(sweep).replace('\n', ' ').toUtf8() +
           '\n';
}

// A label may hold anything a cell may; a line break would split the row.
QByteArray SweepTable::field(const QString &text) const
{
    QString flat = text;
    flat.replace('\n', ' ').replace('\r', ' ').replace('\t', ' ');
    if (m_format == Format::Tsv || !flat.contains(QRegularExpression("[,\"]")))
        return flat.toUtf8();
    return '"' + flat.replace("\"", "\"\"").toUtf8() + '"';
}

QByteArray SweepTable::header() const
{
    QByteArray text = "point";
    for (const QString &address : m_addresses)
        text += separator() + field(address);
    text += "\nlabel";
    for (const QString &label : m_labels)
        text += separator() + field(label);
    return text + '\n';
}

QByteArray SweepTable::row(qint64 point, const QList<double> &inputs, const double *watches,
                           qsizetype watchCount) const
{
    QByteArray text = QByteArray::number(point);
    for (const double value : inputs)
        text += separator() + number(value).toUtf8();
    for (qsizetype i = 0; i < watchCount; ++i)
        text += separator() + number(watches[i]).toUtf8();
    return text + '\n';
}

bool SweepTable::write(const QString &path, const QByteArray &text, QString *error)
{
    if (path == "-") {
        const bool written =
            std::fwrite(text.constData(), 1, size_t(text.size()), stdout) == size_t(text.size()) &&
            std::fflush(stdout) == 0;
        if (!written)
            *error = "cannot write to standard output";
        return written;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
        *error = QString("cannot write %1: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}

bool SweepTable::merge(const QString &out, const QStringList &paths, QString *error)
{
    QList<Shard> shards;
    QMap<int, QString> seen;
    for (const QString &path : paths) {
        Shard shard;
        if (!readShard(path, shard, error))
            return false;
        if (!shards.isEmpty() &&
            (shard.sweep != shards.first().sweep || shard.header != shards.first().header)) {
            *error = QString("%1: a shard of another sweep than %2").arg(path, paths.first());
            return false;
        }
        if (seen.contains(shard.index)) {
            *error = QString("%1: shard %2 is also in %3")
                         .arg(path)
                         .arg(shard.index)
                         .arg(seen[shard.index]);
            return false;
        }
        seen.insert(shard.index, path);
        shards.append(shard);
    }
    if (seen.size() != shards.first().count) {
        *error = QString("%1 of %2 shards given").arg(seen.size()).arg(shards.first().count);
        return false;
    }
    QByteArray text = shards.first().header;
    return collectRows(shards, paths, text, error) && write(out, text, error);
}

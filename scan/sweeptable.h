#ifndef SWEEPTABLE_H
#define SWEEPTABLE_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// The file a sweep writes: a row of addresses ("point", then each input's and watch's cell), a
// row of their labels ("label", then the labels), then one row per point: its number, the
// inputs' values and the watched values. Numbers are written in the shortest form that reads
// back as the same double; a cell without a number gives an empty field. A shard's file starts
// with a line that says which shard of which sweep it holds, so shards are only ever joined with
// their own kind.
class SweepTable
{
public:
    enum class Format { Csv, Tsv };

    SweepTable(Format format, const QStringList &addresses, const QStringList &labels);

    static QString number(double value);
    // The first line of a shard's file.
    static QByteArray shardLine(int index, int count, qint64 points, const QString &sweep);

    QByteArray header() const;
    QByteArray row(qint64 point, const QList<double> &inputs, const double *watches,
                   qsizetype watchCount) const;

    // Writes the whole text to path ("-" for standard output): at path it appears complete or
    // not at all. False, and why, when it could not be written.
    static bool write(const QString &path, const QByteArray &text, QString *error);
    // Joins the files of every shard of one sweep into the file the sweep writes unsharded.
    // False, and why, when they are not all the shards of one sweep, or a point is missing.
    static bool merge(const QString &out, const QStringList &shards, QString *error);

private:
    QByteArray field(const QString &text) const;
    char separator() const { return m_format == Format::Csv ? ',' : '\t'; }

    Format m_format;
    QStringList m_addresses;
    QStringList m_labels;
};

#endif

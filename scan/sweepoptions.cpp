#include "scan/sweepoptions.h"

#include <QCommandLineParser>
#include <QRegularExpression>
#include <QSet>
#include <cmath>

namespace {

std::optional<double> numberIn(const QString &text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<SweepAxis> parseAxis(const QString &text, QString *error)
{
    const int equals = text.lastIndexOf('=');
    const QStringList parts = text.mid(equals + 1).split(':');
    if (equals <= 0 || parts.size() != 3) {
        *error = QString("--vary %1: expected CELL=FROM:TO:COUNT").arg(text);
        return std::nullopt;
    }
    SweepAxis axis;
    axis.cell = text.left(equals).trimmed();
    const std::optional<double> from = numberIn(parts[0]);
    const std::optional<double> to = numberIn(parts[1]);
    if (!from || !to) {
        *error = QString("--vary %1: FROM and TO must be numbers").arg(text);
        return std::nullopt;
    }
    bool ok = false;
    axis.count = parts[2].trimmed().toInt(&ok);
    if (!ok || axis.count < 1) {
        *error = QString("--vary %1: COUNT must be a whole number of at least 1").arg(text);
        return std::nullopt;
    }
    axis.from = *from;
    axis.to = *to;
    return axis;
}

bool parseShard(const QString &text, SweepOptions &options, QString *error)
{
    static const QRegularExpression pattern("^([0-9]+)/([0-9]+)$");
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    options.shardIndex = match.hasMatch() ? match.captured(1).toInt() : 0;
    options.shardCount = match.hasMatch() ? match.captured(2).toInt() : 0;
    if (options.shardCount < 1 || options.shardIndex < 1 ||
        options.shardIndex > options.shardCount) {
        *error = QString("--shard %1: expected I/N with 1 <= I <= N").arg(text);
        return false;
    }
    return true;
}

bool parseAxes(const QStringList &texts, SweepOptions &options, QString *error)
{
    QList<SweepAxis> axes;
    QSet<QString> cells;
    for (const QString &text : texts) {
        const std::optional<SweepAxis> axis = parseAxis(text, error);
        if (!axis)
            return false;
        const QString key = QString(axis->cell).remove('$').toUpper();
        if (cells.contains(key)) {
            *error = QString("--vary %1: the cell is varied twice").arg(text);
            return false;
        }
        cells.insert(key);
        axes.append(*axis);
    }
    if (axes.isEmpty()) {
        *error = "--vary: give at least one input to vary";
        return false;
    }
    options.grid = SweepGrid(axes);
    return true;
}

bool parseWatches(const QStringList &texts, SweepOptions &options, QString *error)
{
    for (const QString &text : texts) {
        for (const QString &part : text.split(',', Qt::SkipEmptyParts))
            options.watches.append(part.trimmed());
    }
    if (options.watches.isEmpty()) {
        *error = "--watch: give at least one cell to watch";
        return false;
    }
    return true;
}

bool parseNumbers(const QCommandLineParser &parser, SweepOptions &options, QString *error)
{
    if (parser.isSet("jobs")) {
        bool ok = false;
        options.jobs = parser.value("jobs").toInt(&ok);
        if (!ok || options.jobs < 1) {
            *error = QString("--jobs %1: expected a whole number of at least 1")
                         .arg(parser.value("jobs"));
            return false;
        }
    }
    if (parser.isSet("format")) {
        const QString format = parser.value("format");
        if (format != "csv" && format != "tsv") {
            *error = QString("--format %1: expected csv or tsv").arg(format);
            return false;
        }
        options.format = format == "tsv" ? SweepTable::Format::Tsv : SweepTable::Format::Csv;
    } else if (options.out.endsWith(".tsv", Qt::CaseInsensitive)) {
        options.format = SweepTable::Format::Tsv;
    }
    return !parser.isSet("shard") || parseShard(parser.value("shard"), options, error);
}

std::optional<SweepOptions> parseMerge(const QStringList &arguments, QString *error)
{
    if (arguments.size() < 3) {
        *error = "merge: expected merge OUT SHARD...";
        return std::nullopt;
    }
    SweepOptions options;
    options.command = SweepOptions::Command::Merge;
    options.out = arguments[1];
    options.shards = arguments.mid(2);
    return options;
}

} // namespace

QString SweepOptions::usage()
{
    return "usage: marlowin-sweep WORKBOOK --vary CELL=FROM:TO:COUNT [--vary ...]\n"
           "                      --watch CELL[,CELL|RANGE...] [--out FILE] [--format csv|tsv]\n"
           "                      [--jobs N] [--shard I/N] [--plot DIR] [--quiet] [--force]\n"
           "       marlowin-sweep merge OUT SHARD...\n";
}

std::optional<SweepOptions> SweepOptions::parse(const QStringList &arguments, int defaultJobs,
                                                QString *error)
{
    if (!arguments.isEmpty() && arguments.first() == "merge")
        return parseMerge(arguments, error);
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions({{"vary", "", "CELL=FROM:TO:COUNT"},
                       {"watch", "", "CELLS"},
                       {"out", "", "FILE"},
                       {"format", "", "csv|tsv"},
                       {"jobs", "", "N"},
                       {"shard", "", "I/N"},
                       {"plot", "", "DIR"},
                       {"quiet", ""},
                       {"force", ""}});
    if (!parser.parse(QStringList{"marlowin-sweep"} + arguments)) {
        *error = parser.errorText();
        return std::nullopt;
    }
    SweepOptions options;
    options.jobs = std::max(1, defaultJobs);
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 1) {
        *error = positional.isEmpty()
                     ? QString("WORKBOOK: give the workbook to sweep")
                     : QString("%1: only one workbook may be given").arg(positional[1]);
        return std::nullopt;
    }
    options.workbook = positional.first();
    if (parser.isSet("out"))
        options.out = parser.value("out");
    options.plotDirectory = parser.value("plot");
    options.quiet = parser.isSet("quiet");
    if (!parseAxes(parser.values("vary"), options, error) ||
        !parseWatches(parser.values("watch"), options, error) ||
        !parseNumbers(parser, options, error))
        return std::nullopt;
    if (!options.plotDirectory.isEmpty() &&
        (options.grid.axes().size() > 2 || options.shardCount > 1)) {
        *error = options.shardCount > 1
                     ? QString("--plot: a shard holds only some points; plot a whole sweep")
                     : QString("--plot: pictures are drawn for one or two varied inputs");
        return std::nullopt;
    }
    if (options.grid.pointCount() > largestUnforced && !parser.isSet("force")) {
        *error = QString("--vary: the grid has more than %1 points; add --force to sweep it")
                     .arg(largestUnforced);
        return std::nullopt;
    }
    return options;
}

qint64 SweepOptions::pointCount() const
{
    const qint64 total = grid.pointCount();
    return total / shardCount + (total % shardCount >= shardIndex ? 1 : 0);
}

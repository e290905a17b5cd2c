#ifndef DATADIMENSION_H
#define DATADIMENSION_H

#include <QString>

// One axis of a multi-dimensional data store: how many points it has and which coordinates the
// first and the last point stand for (a scanned slider's range).
struct DataDimension
{
    int count = 0;
    QString label;
    double from = 0.0;
    double to = 0.0;

    friend bool operator==(const DataDimension &a, const DataDimension &b)
    {
        return a.count == b.count && a.from == b.from && a.label == b.label && a.to == b.to;
    }
    friend bool operator!=(const DataDimension &a, const DataDimension &b) { return !(a == b); }
};

#endif // DATADIMENSION_H

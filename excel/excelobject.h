#ifndef EXCELOBJECT_H
#define EXCELOBJECT_H

#include <QDebug>
#include <QString>

// One object of the spreadsheet application's automation model, as the wrappers see it. A
// backend derives the concrete objects; nothing outside the backend sees how it talks to the
// application. Every operation is safe to call at any time: when the application cannot
// answer (closed, document gone, invalid address) the result is an empty or invalid value and
// writes do nothing.
class ExcelObject
{
public:
    virtual ~ExcelObject() = default;
    // The kind of object and what it stands for, for diagnostics only.
    virtual QString describe() const = 0;

protected:
    ExcelObject() = default;
    ExcelObject(const ExcelObject &) = delete;
    ExcelObject &operator=(const ExcelObject &) = delete;
};

inline QDebug operator<<(QDebug debug, const ExcelObject *object)
{
    const QDebugStateSaver saver(debug);
    if (!object)
        debug.nospace() << "ExcelObject(null)";
    else
        debug.nospace().noquote() << "ExcelObject(" << object->describe() << ")";
    return debug;
}

#endif

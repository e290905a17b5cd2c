#ifndef SPREADSHEETINSTANCES_H
#define SPREADSHEETINSTANCES_H

#include <QList>
#include <QObject>

class VIVExcelApplication;

// The spreadsheet instances the main window has reached, the one the user looked at last first.
// It owns their wrappers: an instance that went away keeps its wrapper (the views made on it
// still point there) until the program ends.
class SpreadsheetInstances : public QObject
{
    Q_OBJECT

public:
    explicit SpreadsheetInstances(QObject *parent);

    // Puts the instance in front first, attaching to it when none of the wrappers holds it yet.
    void attachToFront();
    // The wrapper of the instance in front at the last attach; null before any.
    VIVExcelApplication *current() const;
    // A wrapper made elsewhere (of an instance the user just had started) becomes the current
    // one and is owned from now on.
    void prepend(VIVExcelApplication *application);

private:
    // Only an instance that shows a workbook gets a wrapper.
    void attachTo(qint64 window);

    QList<VIVExcelApplication *> m_applications;
};

#endif

#ifndef SIMPLEMULTIDIMDATA_H
#define SIMPLEMULTIDIMDATA_H

#include "graph/datadimension.h"

#include <QList>
#include <QObject>
#include <QString>

// Flat store of double values laid out over an ordered list of dimensions, the first dimension
// varying fastest. A scan fills it point by point; outside a scan it keeps a rolling history of
// single values along its one dimension. A missing value is a quiet NaN.
class SimpleMultiDimData : public QObject
{
    Q_OBJECT

public:
    explicit SimpleMultiDimData(QObject *parent = nullptr);

    // Set by markChanged() and finishScan(); cleared by markPainted(), so cached images know
    // when to rebuild.
    bool dataChanged() const { return m_dataChanged; }
    // A paint has taken the values in.
    void markPainted() { m_dataChanged = false; }
    // Whether the last scan pass ran to its end: painters then treat missing values as final
    // rather than not yet computed.
    bool scanComplete() const { return m_scanComplete; }
    // A scan pass has ended, completed or not: its values are painted anew.
    virtual void finishScan(bool completed);

    virtual void markChanged();
    virtual void clear();
    virtual void resetValues();
    // The operations below report whether they changed the store.
    virtual bool setValues(const QList<double> &newValues);
    virtual bool setValue(const QList<int> &indices, double value);
    virtual bool setDimensions(const QList<DataDimension> &newDimensions);
    virtual bool appendValue(double value);

    int historyLimit() const { return m_historyLimit; }
    void setHistoryLimit(int n);
    const QList<double> &values() const { return m_values; }
    const QList<DataDimension> &dimensions() const { return m_dimensions; }

    int offsetOf(const QList<int> &indices) const;
    double value(const QList<int> &indices) const;
    QList<double> extractValues(QList<int> indices) const;
    int expectedValueCount() const;

    static QList<int> freeIndexPositions(const QList<int> &indices);
    // "(i0, i1, ...)", the form in which diagnostics show an index list.
    static QString indicesText(const QList<int> &indices);

signals:
    void changed();
    void dimensionsChanged();
    void reportNaN();
    void updateNeeded();
    void displayAsScanChanged(bool displayAsScan);

private:
    bool m_dataChanged = true;
    bool m_scanComplete = false;
    int m_historyLimit = 200;
    QList<double> m_values;
    QList<DataDimension> m_dimensions;
};

#endif // SIMPLEMULTIDIMDATA_H

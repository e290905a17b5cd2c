#ifndef FADEDCURVEHISTORY_H
#define FADEDCURVEHISTORY_H

#include <QList>
#include <QObject>
#include <QTimer>

class MinMaxMultiDimData;
class QPainter;
class QRect;

// The data of earlier scans, kept so that a new curve is drawn over its fading predecessors.
// A snapshot fades out over half a second from the moment it was stacked (its "stackingdate"
// property) and is dropped at the next expiry check once it is too faint to draw, or at once
// when the graph is no curve, since only curves show their history. Snapshots are frozen: their
// signals are blocked, and the fade is the only setting that changes on them.
class FadedCurveHistory : public QObject
{
    Q_OBJECT

public:
    explicit FadedCurveHistory(QObject *parent = nullptr);

    const QList<MinMaxMultiDimData *> &snapshots() const { return m_snapshots; }
    // Takes the data of a finished scan; it is deleted when it has faded.
    void stack(MinMaxMultiDimData *data);
    void clear();
    // Drops the faded snapshots, or every snapshot when the graph shows no curve.
    void dropExpired(bool graphIsCurve);
    // Old curves share the value range of the current one.
    void shareRange(double minimum, double maximum);
    // Draws every snapshot that is still visible into graph, each with its fade.
    void paint(QPainter &painter, const QRect &graph);

signals:
    // Time to call dropExpired(): it comes every 100 ms while there are snapshots.
    void expiryDue();

private:
    static double fadeOf(const MinMaxMultiDimData *snapshot);
    static bool isVisible(double fade);

    QList<MinMaxMultiDimData *> m_snapshots;
    QTimer m_expiryTimer;
};

#endif // FADEDCURVEHISTORY_H

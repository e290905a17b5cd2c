#ifndef SCANSTATE_H
#define SCANSTATE_H

#include <QObject>

// Whether a scan runs and what it has been asked to do. The state lives in the owner's (the
// main window's) properties "scanning", "stopscan", "restartscan" and "closingapplication",
// where anything outside the program may read it by name; inside the program it is reached
// only through this class, so a misspelt name cannot read as false and every change is
// announced.
class ScanState : public QObject
{
    Q_OBJECT

public:
    enum class Phase {
        Idle,
        Scanning,
        // Asked to stop; the scan ends after the point in progress.
        Stopping,
        // Asked to stop and to start again with what changed.
        Restarting,
    };

    // The state kept on owner; made with the first call.
    static ScanState *of(QObject *owner);

    Phase phase() const;
    bool isScanning() const { return flag(scanning); }
    bool stopRequested() const { return flag(stopScan); }
    bool restartRequested() const { return flag(restartScan); }
    bool isClosing() const { return flag(closingApplication); }

    void setScanning(bool on) { setFlag(scanning, on); }
    // A pass begins: earlier stop and restart requests are done with.
    void startPass();
    void requestStop() { setFlag(stopScan, true); }
    void requestRestart();
    void dropRestart() { setFlag(restartScan, false); }
    void setClosing() { setFlag(closingApplication, true); }

signals:
    void changed();

private:
    explicit ScanState(QObject *owner);
    bool flag(const char *name) const;
    void setFlag(const char *name, bool on);

    static constexpr char scanning[] = "scanning";
    static constexpr char stopScan[] = "stopscan";
    static constexpr char restartScan[] = "restartscan";
    static constexpr char closingApplication[] = "closingapplication";

    QObject *m_owner;
};

#endif // SCANSTATE_H

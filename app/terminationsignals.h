#ifndef TERMINATIONSIGNALS_H
#define TERMINATIONSIGNALS_H

#include <QObject>

#include <csignal>
#include <iterator>

class QSocketNotifier;

// Turns the signals that ask a program to end (SIGTERM from a logout or `kill`, SIGHUP from a
// closed terminal, SIGINT from Ctrl+C) into a Qt signal delivered in the event loop, so the
// program ends the way its close button ends it: a running scan puts the cells back and the
// private offices of the scan workers are stopped. Each handler fires once; a second signal of
// the same kind ends the program at once, should the orderly end hang. One object at a time.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void readSignal();

    static constexpr int handled[] = {SIGTERM, SIGHUP, SIGINT};
    struct sigaction previous[std::size(handled)] = {};
    QSocketNotifier *notifier = nullptr;
};

#endif

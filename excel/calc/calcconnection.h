#ifndef CALCCONNECTION_H
#define CALCCONNECTION_H

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/uno/Exception.hpp>
#include <com/sun/star/uno/RuntimeException.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <rtl/ustring.hxx>

using rtl::OUString;

#include <QDebug>
#include <QString>
#include <chrono>
#include <memory>

class CalcKernel;
class CalcRecalculation;
class CalcWriteBracket;

inline QString toQString(const OUString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getStr()), text.getLength());
}

inline OUString toOUString(const QString &text)
{
    return OUString(reinterpret_cast<const sal_Unicode *>(text.utf16()), text.size());
}

// One bridge to one running office. Every object of the backend holds the connection it came
// from and makes its calls through guard(), so no office exception leaves the backend. Once a call
// finds the bridge gone (the office quit or was killed) the connection stays dead: its objects
// answer with empty values from then on and a later attach opens a new connection. An object
// that alone was disposed (a workbook the user closed) fails only its own calls.
//
// Opening is bounded: the pipe must belong to the user, and an office that takes the connection
// but does not answer within a few seconds is given up. Calls on an open connection are not:
// everything runs on the one GUI thread, so an office that is stopped (not dead) freezes the
// program until it runs again, as any blocking call would.
//
// The bridge is disposed when the connection goes and, at the latest, when the application
// object is destroyed, so no message of the office can arrive while the process exits.
class CalcConnection
{
public:
    enum class Failure {
        None,
        NoOffice, // nobody listens on the pipe
        Refused,  // the pipe is not safe to speak to; the office may run
        NoAnswer, // the office took the connection but did not answer in time
    };

    ~CalcConnection();

    // How long connecting and the handshake with the office may take.
    static constexpr std::chrono::milliseconds handshakeDeadline{5000};

    // Null when the pipe cannot be used; why is written to failure when given.
    static std::shared_ptr<CalcConnection>
    open(const QString &pipeName, Failure *failure = nullptr,
         std::chrono::milliseconds deadline = handshakeDeadline);
    // Why the latest open was refused, with the way out; empty when it was not refused.
    static QString lastRefusal();
    // A connection to nothing, for an application that could not be reached.
    static std::shared_ptr<CalcConnection> unbound();

    // Identity of this connection within the process; never reused.
    qint64 id() const { return serial; }
    // Whether no call has found the office gone yet.
    bool isAlive() const;
    // Asks the office, so a connection whose office just quit is found gone.
    bool answers();
    css::uno::Reference<css::frame::XDesktop2> desktop() const { return desktopObject; }
    css::uno::Reference<css::uno::XComponentContext> context() const { return remoteContext; }
    CalcWriteBracket &writeBracket() { return *bracket; }
    CalcKernel &kernel() { return *scanKernel; }
    CalcRecalculation &recalculation() { return *recalculating; }

    template <typename Call, typename Result>
    Result guard(const char *operation, Call &&call, Result fallback)
    {
        if (!isAlive())
            return fallback;
        try {
            return call();
        } catch (const css::lang::DisposedException &e) {
            noteDisposed(operation, e.Message);
        } catch (const css::uno::Exception &e) {
            noteFailure(operation, e.Message);
        }
        return fallback;
    }

    template <typename Call> void guard(const char *operation, Call &&call)
    {
        guard(
            operation,
            [&call]() {
                call();
                return true;
            },
            false);
    }

private:
    CalcConnection();
    static std::shared_ptr<CalcConnection> tryOpen(const QString &pipeName,
                                                   std::chrono::milliseconds deadline,
                                                   Failure &failure, bool &dropped);
    bool handshake(const QString &pipeName, std::chrono::milliseconds deadline);
    bool desktopAnswers() const;
    void noteDisposed(const char *operation, const OUString &message);
    void noteFailure(const char *operation, const OUString &message);

    qint64 serial = 0;
    bool gone = false;
    css::uno::Reference<css::uno::XComponentContext> remoteContext;
    css::uno::Reference<css::frame::XDesktop2> desktopObject;
    css::uno::Reference<css::lang::XComponent> bridge;
    std::unique_ptr<CalcWriteBracket> bracket;
    std::unique_ptr<CalcKernel> scanKernel;
    std::unique_ptr<CalcRecalculation> recalculating;
};

#endif

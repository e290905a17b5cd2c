#include "excel/calc/calckernel.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calckernelinstaller.h"
#include "excel/calc/kernel/kernelprotocol.h"
#include "excel/excellogging.h"

#include <QElapsedTimer>

using namespace css;

bool CalcKernel::ensure(CalcConnection &connection)
{
    if (state != State::Untried || !connection.isAlive())
        return state == State::Ready;
    QElapsedTimer timer;
    timer.start();
    QString reason;
    try {
        job = CalcKernelInstaller::load(connection.context());
    } catch (const CalcKernelInstaller::Unavailable &e) {
        reason = QString::fromStdString(e.what());
    } catch (const uno::Exception &e) {
        reason = toQString(e.Message);
    }
    state = job.is() ? State::Ready : State::Unavailable;
    if (job.is())
        qCDebug(lcLink) << "Scan kernel" << CalcKernelInstaller::carriedVersion()
                        << "ready in the office after" << timer.elapsed() << "ms";
    else
        qCWarning(lcLink).noquote()
            << "Scan kernel unavailable, scan points are exchanged cell by cell:" << reason;
    return job.is();
}

uno::Any CalcKernel::call(const char *command,
                          std::initializer_list<std::pair<const char *, uno::Any>> arguments)
{
    uno::Sequence<beans::NamedValue> named(sal_Int32(arguments.size() + 1));
    beans::NamedValue *next = named.getArray();
    *next++ = {OUString::createFromAscii(KernelProtocol::command),
               uno::Any(OUString::createFromAscii(command))};
    for (const auto &[name, value] : arguments)
        *next++ = {OUString::createFromAscii(name), value};
    return job->execute(named);
}

std::optional<uno::Sequence<uno::Any>> CalcKernel::evaluate(CalcConnection &connection,
                                                            const Batch &batch)
{
    if (!ensure(connection))
        return std::nullopt;
    using namespace KernelProtocol;
    std::optional<uno::Sequence<uno::Any>> results;
    connection.guard("scan kernel batch", [&]() {
        uno::Sequence<uno::Any> values;
        if (call(KernelProtocol::evaluate,
                 {{document, uno::Any(uno::Reference<uno::XInterface>(batch.document))},
                  {writeCells, uno::Any(batch.writeCells)},
                  {readCells, uno::Any(batch.readCells)},
                  {KernelProtocol::values, uno::Any(batch.values)},
                  {fullRecalculation, uno::Any(batch.fullRecalculation)}}) >>= values)
            results = values;
    });
    return results;
}

std::optional<uno::Any>
CalcKernel::send(CalcConnection &connection, const char *operation, const char *command,
                 std::initializer_list<std::pair<const char *, uno::Any>> arguments)
{
    if (!isReady())
        return std::nullopt;
    return connection.guard(
        operation, [&]() { return std::optional<uno::Any>(call(command, arguments)); },
        std::optional<uno::Any>());
}

bool CalcKernel::arm(CalcConnection &connection, const Document &state)
{
    using namespace KernelProtocol;
    const bool held = send(connection, "scan kernel arm", KernelProtocol::arm,
                           {{document, uno::Any(uno::Reference<uno::XInterface>(state.model))},
                            {hiddenUndoContext, uno::Any(state.hiddenUndoContext)},
                            {undoDisabled, uno::Any(state.undoDisabled)},
                            {KernelProtocol::watch, uno::Any(state.watch)}})
                          .has_value();
    armed = armed || held;
    return held;
}

void CalcKernel::journal(CalcConnection &connection, const uno::Reference<frame::XModel> &model,
                         const QList<uno::Reference<table::XCell>> &written)
{
    using namespace KernelProtocol;
    if (!armed)
        return;
    uno::Sequence<uno::Reference<uno::XInterface>> cells(written.size());
    for (qsizetype i = 0; i < written.size(); ++i)
        cells.getArray()[i] = written[i];
    send(connection, "scan kernel journal", KernelProtocol::journal,
         {{document, uno::Any(uno::Reference<uno::XInterface>(model))},
          {KernelProtocol::cells, uno::Any(cells)}});
}

std::optional<QList<uno::Reference<frame::XModel>>> CalcKernel::disarm(CalcConnection &connection)
{
    if (!armed)
        return QList<uno::Reference<frame::XModel>>();
    armed = false;
    const std::optional<uno::Any> answer =
        send(connection, "scan kernel disarm", KernelProtocol::disarm, {});
    uno::Sequence<uno::Reference<uno::XInterface>> documents;
    if (!answer || !(*answer >>= documents))
        return std::nullopt;
    QList<uno::Reference<frame::XModel>> changed;
    for (const uno::Reference<uno::XInterface> &document : std::as_const(documents))
        changed.append(uno::Reference<frame::XModel>(document, uno::UNO_QUERY));
    return changed;
}

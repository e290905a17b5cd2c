#include "excel/calc/calcsweepworker.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calcdeclininghandler.h"
#include "excel/calc/calckernel.h"
#include "excel/calc/officelaunch.h"
#include "excel/calc/officepipe.h"
#include "excel/calc/officeprocess.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <rtl/ref.hxx>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>
#include <QUuid>
#include <csignal>
#include <limits>
#include <mutex>
#include <unistd.h>

using namespace css;

namespace {

const int startWaitMs = 90000;
const int stopWaitMs = 5000;
const int pollMs = 50;

std::mutex &bridgeMutex()
{
    static std::mutex mutex;
    return mutex;
}

uno::Sequence<uno::Reference<uno::XInterface>>
cellsIn(const uno::Reference<frame::XModel> &document, const QList<CalcSweepCells::Cell> &cells)
{
    uno::Sequence<uno::Reference<uno::XInterface>> result(cells.size());
    for (qsizetype i = 0; i < cells.size(); ++i)
        result.getArray()[i] = CalcSweepCells::cellAt(document, cells[i]);
    return result;
}

beans::PropertyValue property(const char *name, const uno::Any &value)
{
    beans::PropertyValue result;
    result.Name = OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

// Hidden, with no macro run and no link updated: a copy is only computed, never shown.
uno::Sequence<beans::PropertyValue> loadProperties()
{
    const beans::PropertyValue properties[] = {
        property("Hidden", uno::Any(true)),
        property("MacroExecutionMode", uno::Any(document::MacroExecMode::NEVER_EXECUTE)),
        property("UpdateDocMode", uno::Any(document::UpdateDocMode::NO_UPDATE))};
    return uno::Sequence<beans::PropertyValue>(properties, sal_Int32(std::size(properties)));
}

double numberOf(const uno::Any &value)
{
    double number = 0;
    if (value.getValueTypeClass() != uno::TypeClass_STRING && (value >>= number))
        return number;
    return std::numeric_limits<double>::quiet_NaN();
}

} // namespace

CalcSweepWorker::CalcSweepWorker(const QString &folder) : folder(folder) {}

CalcSweepWorker::~CalcSweepWorker()
{
    kill();
}

QString CalcSweepWorker::profileUrl() const
{
    return QUrl::fromLocalFile(QDir(folder).filePath(QString("%1/profile").arg(attempt)))
        .toString();
}

bool CalcSweepWorker::launch(const QString &workbook, QString *message)
{
    ++attempt;
    const QDir place(QDir(folder).filePath(QString::number(attempt)));
    if (!place.mkpath("book") || !place.mkpath("tmp") || !takeWorkbook(workbook, message))
        return false;
    pipe = "marlowin_sweep_" + QUuid::createUuid().toString(QUuid::Id128).left(16);
    OfficeLaunch::prepareProfile(place.filePath("profile"));
    // The office's own temporary files go with the worker's folder, even when it is killed.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("TMPDIR", place.filePath("tmp"));
    if (!OfficeLaunch::start(OfficeLaunch::headlessArguments(profileUrl(), pipe), environment,
                             OfficeLaunch::Output::Discarded)) {
        *message = QString("cannot start the office %1").arg(OfficeLaunch::program());
        return false;
    }
    launched = true;
    return true;
}

bool CalcSweepWorker::takeWorkbook(const QString &workbook, QString *message)
{
    closeCopy();
    if (!copy.isEmpty())
        QFile::remove(copy);
    const QDir place(QDir(folder).filePath(QString::number(attempt)));
    copy = place.filePath("book/" + QFileInfo(workbook).fileName());
    if (!QFile::copy(workbook, copy)) {
        *message = QString("cannot read the workbook %1").arg(workbook);
        return false;
    }
    return true;
}

bool CalcSweepWorker::isAlive() const
{
    return connection && connection->isAlive();
}

void CalcSweepWorker::closeCopy()
{
    if (book.is() && isAlive()) {
        connection->guard("close workbook copy", [this]() {
            uno::Reference<util::XCloseable>(book, uno::UNO_QUERY_THROW)->close(true);
        });
    }
    book.clear();
    writes = {};
    reads = {};
}

bool CalcSweepWorker::connect(QString *message, const std::atomic<bool> &cancel)
{
    const QDeadlineTimer deadline(startWaitMs);
    CalcConnection::Failure failure = CalcConnection::Failure::NoOffice;
    while (!connection && failure == CalcConnection::Failure::NoOffice && !cancel &&
           !deadline.hasExpired()) {
        {
            const std::lock_guard<std::mutex> lock(bridgeMutex());
            connection = CalcConnection::open(pipe, &failure);
        }
        if (!connection)
            QThread::msleep(pollMs);
    }
    if (cancel)
        return false;
    if (!connection || !connection->kernel().ensure(*connection)) {
        *message = connection ? QString("the office takes no scan kernel")
                              : QString("the office did not start listening on its pipe");
        return false;
    }
    return true;
}

CalcSweepWorker::Failure CalcSweepWorker::open(QString *message, const std::atomic<bool> &cancel)
{
    if (!isAlive() && !connect(message, cancel))
        return cancel ? Failure::Interrupted : Failure::NoOffice;
    closeCopy();
    const OUString url = toOUString(QUrl::fromLocalFile(copy).toString());
    book = connection->guard(
        "open workbook copy",
        [&]() {
            return uno::Reference<frame::XModel>(
                uno::Reference<frame::XComponentLoader>(connection->desktop(), uno::UNO_QUERY_THROW)
                    ->loadComponentFromURL(url, "_blank", 0, loadProperties()),
                uno::UNO_QUERY);
        },
        uno::Reference<frame::XModel>());
    // A file of another kind (a text, a drawing) opens in another module of the office.
    if (book.is() && !uno::Reference<sheet::XSpreadsheetDocument>(book, uno::UNO_QUERY).is()) {
        *message = "it is not a spreadsheet";
        return Failure::CannotOpen;
    }
    if (!book.is()) {
        if (!connection->isAlive()) {
            *message = "the office died while opening it";
            return Failure::NoOffice;
        }
        *message = needsPassword(url) ? QString("it is protected by a password, which a sweep "
                                                "cannot give; save a copy without one")
                                      : QString("the office cannot open it (not a spreadsheet, "
                                                "or damaged)");
        return Failure::CannotOpen;
    }
    // A copy is never undone; keeping every point's writes for undo would only cost memory.
    connection->guard("switch undo off", [&]() {
        uno::Reference<beans::XPropertySet>(book, uno::UNO_QUERY_THROW)
            ->setPropertyValue("IsUndoEnabled", uno::Any(false));
    });
    return Failure::None;
}

// Loads the copy once more, now with somebody to answer the office's questions, only to learn
// whether it asks for a password; the first load had nobody, so that no question of the
// office's is answered differently from how it answers alone.
bool CalcSweepWorker::needsPassword(const OUString &url)
{
    const rtl::Reference<CalcDecliningHandler> handler = new CalcDecliningHandler;
    uno::Sequence<beans::PropertyValue> properties = loadProperties();
    properties.realloc(properties.getLength() + 1);
    properties.getArray()[properties.getLength() - 1] = property(
        "InteractionHandler", uno::Any(uno::Reference<task::XInteractionHandler>(handler.get())));
    const uno::Reference<lang::XComponent> loaded = connection->guard(
        "probe workbook copy",
        [&]() {
            return uno::Reference<frame::XComponentLoader>(connection->desktop(),
                                                           uno::UNO_QUERY_THROW)
                ->loadComponentFromURL(url, "_blank", 0, properties);
        },
        uno::Reference<lang::XComponent>());
    if (loaded.is())
        connection->guard("close probed copy", [&]() { loaded->dispose(); });
    return handler->askedForPassword();
}

void CalcSweepWorker::bind(const QList<CalcSweepCells::Cell> &inputs,
                           const QList<CalcSweepCells::Cell> &watches)
{
    writes = cellsIn(book, inputs);
    reads = cellsIn(book, watches);
}

std::optional<QList<double>> CalcSweepWorker::evaluate(const QList<double> &values)
{
    if (!connection || !connection->isAlive())
        return std::nullopt;
    CalcKernel::Batch batch;
    batch.document = book;
    batch.writeCells = writes;
    batch.readCells = reads;
    batch.values = uno::Sequence<double>(values.constData(), sal_Int32(values.size()));
    const std::optional<uno::Sequence<uno::Any>> answer =
        connection->kernel().evaluate(*connection, batch);
    if (!answer || reads.getLength() == 0 || writes.getLength() == 0 ||
        answer->getLength() != values.size() / writes.getLength() * reads.getLength())
        return std::nullopt;
    QList<double> results;
    results.reserve(answer->getLength());
    for (const uno::Any &value : *answer)
        results.append(numberOf(value));
    return results;
}

qint64 CalcSweepWorker::processId() const
{
    const QList<qint64> found =
        OfficeProcess::find("/proc", getuid(), profileUrl(), OfficeProcess::Kind::Office);
    return found.isEmpty() ? 0 : found.first();
}

void CalcSweepWorker::dropConnection()
{
    book.clear();
    writes = {};
    reads = {};
    const std::lock_guard<std::mutex> lock(bridgeMutex());
    connection.reset();
}

void CalcSweepWorker::kill()
{
    launched = false;
    if (attempt == 0)
        return;
    dropConnection();
    const QDeadlineTimer deadline(stopWaitMs);
    QList<qint64> processes;
    do {
        processes = OfficeProcess::find("/proc", getuid(), profileUrl(),
                                        OfficeProcess::Kind::OfficeAndLauncher);
        for (const qint64 pid : std::as_const(processes))
            ::kill(pid_t(pid), SIGKILL);
        if (!processes.isEmpty())
            QThread::msleep(pollMs);
    } while (!processes.isEmpty() && !deadline.hasExpired());
    // A killed office leaves its pipe behind.
    QFile::remove(OfficePipe::socketPath(pipe, getuid()));
}

void CalcSweepWorker::stop()
{
    if (connection && connection->isAlive()) {
        connection->guard("terminate", [this]() { connection->desktop()->terminate(); });
        dropConnection();
        const QDeadlineTimer deadline(stopWaitMs);
        while (!OfficeProcess::find("/proc", getuid(), profileUrl(),
                                    OfficeProcess::Kind::OfficeAndLauncher)
                    .isEmpty() &&
               !deadline.hasExpired())
            QThread::msleep(pollMs);
    }
    kill();
}

#include "privateoffice.h"

#include "excel/calc/calcconnection.h"
#include "excel/calc/officelaunch.h"
#include "excel/calc/officepipe.h"
#include "excel/calc/officeprocess.h"
#include "excel/excelbackend.h"

#include <com/sun/star/awt/AsyncCallback.hpp>
#include <com/sun/star/awt/XCallback.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/deployment/XExtensionManager.hpp>
#include <com/sun/star/document/XUndoManagerSupplier.hpp>
#include <com/sun/star/frame/DispatchHelper.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XDispatchProvider.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSheetCellRangeContainer.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/ui/test/XUIObject.hpp>
#include <com/sun/star/ui/test/XUITest.hpp>
#include <com/sun/star/util/CellProtection.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XModifiable.hpp>
#include <com/sun/star/util/XProtectable.hpp>
#include <com/sun/star/view/XSelectionSupplier.hpp>
#include <cppuhelper/implbase1.hxx>
#include <rtl/ref.hxx>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QUrl>
#include <QUuid>
#include <atomic>
#include <csignal>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

using namespace css;

namespace {

const int startWaitMs = 90000;
const int pollMs = 100;

uno::Reference<frame::XModel> findBook(CalcConnection &connection, const QString &title)
{
    return connection.guard(
        "find workbook",
        [&connection, &title]() {
            const uno::Reference<container::XEnumeration> components =
                connection.desktop()->getComponents()->createEnumeration();
            while (components->hasMoreElements()) {
                const uno::Reference<frame::XTitle> named(components->nextElement(),
                                                          uno::UNO_QUERY);
                if (named.is() && toQString(named->getTitle()) == title)
                    return uno::Reference<frame::XModel>(named, uno::UNO_QUERY);
            }
            return uno::Reference<frame::XModel>();
        },
        uno::Reference<frame::XModel>());
}

// Asks the named book's model a yes/no question; false when the book is missing or the office
// refuses the call.
template <typename Question>
bool askBook(CalcConnection &connection, const QString &book, const char *operation,
             Question question)
{
    const uno::Reference<frame::XModel> model = findBook(connection, book);
    return model.is() && connection.guard(
                             operation, [&]() { return bool(question(model)); }, false);
}

// Does something to the named book's model; false when the book is missing or the call failed.
template <typename Action>
bool actOnBook(CalcConnection &connection, const QString &book, const char *operation,
               Action action)
{
    return askBook(connection, book, operation, [&](const uno::Reference<frame::XModel> &model) {
        action(model);
        return true;
    });
}

uno::Reference<document::XUndoManager> undoManagerOf(const uno::Reference<frame::XModel> &model)
{
    return uno::Reference<document::XUndoManagerSupplier>(model, uno::UNO_QUERY_THROW)
        ->getUndoManager();
}

uno::Reference<sheet::XSpreadsheet> firstSheet(const uno::Reference<frame::XModel> &model)
{
    const uno::Reference<container::XIndexAccess> sheets(
        uno::Reference<sheet::XSpreadsheetDocument>(model, uno::UNO_QUERY_THROW)->getSheets(),
        uno::UNO_QUERY_THROW);
    return uno::Reference<sheet::XSpreadsheet>(sheets->getByIndex(0), uno::UNO_QUERY_THROW);
}

// Called by the office on its main thread; the write it makes from here is handled there too.
class OfficeThreadWrite : public cppu::WeakImplHelper1<awt::XCallback>
{
public:
    OfficeThreadWrite(uno::Reference<table::XCell> cell, OUString content)
        : cell(std::move(cell)), content(std::move(content))
    {}
    void SAL_CALL notify(const uno::Any &) override
    {
        try {
            cell->setFormula(content);
            written = true;
        } catch (const uno::Exception &) {
        }
        done = true;
    }
    std::atomic<bool> done{false};
    std::atomic<bool> written{false};

private:
    uno::Reference<table::XCell> cell;
    OUString content;
};

// Runs one of the office's commands on its main thread, as its menu does.
class OfficeThreadDispatch : public cppu::WeakImplHelper1<awt::XCallback>
{
public:
    OfficeThreadDispatch(uno::Reference<uno::XComponentContext> context,
                         uno::Reference<frame::XDispatchProvider> frame, OUString command)
        : context(std::move(context)), frame(std::move(frame)), command(std::move(command))
    {}
    void SAL_CALL notify(const uno::Any &) override
    {
        try {
            frame::DispatchHelper::create(context)->executeDispatch(frame, command, "", 0, {});
        } catch (const uno::Exception &) {
        }
    }

private:
    uno::Reference<uno::XComponentContext> context;
    uno::Reference<frame::XDispatchProvider> frame;
    OUString command;
};

} // namespace

PrivateOffice::PrivateOffice()
    : pipe("marlowin_test_" + QUuid::createUuid().toString(QUuid::Id128).left(12))
{}

PrivateOffice::~PrivateOffice()
{
    stop();
}

uno::Reference<table::XCell> PrivateOffice::cellOf(const uno::Reference<frame::XModel> &model,
                                                   const QString &address)
{
    return uno::Reference<table::XCell>(firstSheet(model)->getCellRangeByName(toOUString(address)),
                                        uno::UNO_QUERY_THROW);
}

QString PrivateOffice::profileUrl() const
{
    return "file://" + profile.path();
}

bool PrivateOffice::start(Listening listening, Appearance appearance)
{
    ExcelBackend::configure(pipe, profileUrl());
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    OfficeLaunch::prepareProfile(profile.path());
    QStringList arguments{"--norestore", "--nologo", "-env:UserInstallation=" + profileUrl()};
    if (appearance == Headless)
        arguments << "--headless"
                  << "--invisible"
                  << "--nodefault";
    else
        arguments << "--calc";
    if (listening == Listens)
        arguments << OfficeLaunch::acceptArgument(pipe);
    if (!OfficeLaunch::start(arguments))
        return false;
    const QDeadlineTimer deadline(startWaitMs);
    while (!deadline.hasExpired()) {
        if (listening == DoesNotListen && OfficeProcess::isRunning("/proc", getuid(), profileUrl()))
            return true;
        direct = CalcConnection::open(pipe);
        if (direct)
            return true;
        QThread::msleep(pollMs);
    }
    return false;
}

bool PrivateOffice::connect()
{
    direct = CalcConnection::open(pipe);
    return direct != nullptr;
}

// The launcher hands over to the office, which outlives it; both are found by the profile.
QList<qint64> PrivateOffice::officeProcesses() const
{
    return OfficeProcess::find("/proc", getuid(), profileUrl(),
                               OfficeProcess::Kind::OfficeAndLauncher);
}

qint64 PrivateOffice::processId() const
{
    const QList<qint64> found =
        OfficeProcess::find("/proc", getuid(), profileUrl(), OfficeProcess::Kind::Office);
    return found.isEmpty() ? 0 : found.first();
}

void PrivateOffice::kill()
{
    direct.reset();
    QList<qint64> processes = officeProcesses();
    for (const qint64 pid : std::as_const(processes))
        ::kill(pid_t(pid), SIGKILL);
    const QDeadlineTimer deadline(10000);
    while (!officeProcesses().isEmpty() && !deadline.hasExpired())
        QThread::msleep(pollMs);
    // A killed office leaves its pipe behind in the temporary folder.
    QFile::remove(OfficePipe::socketPath(pipe, getuid()));
}

void PrivateOffice::stop()
{
    if (direct) {
        direct->guard("terminate", [this]() { direct->desktop()->terminate(); });
        direct.reset();
        const QDeadlineTimer deadline(10000);
        while (!officeProcesses().isEmpty() && !deadline.hasExpired())
            QThread::msleep(pollMs);
    }
    kill();
}

QString PrivateOffice::open(const QString &path)
{
    const OUString url =
        toOUString(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toString());
    return toQString(direct->guard(
        "open workbook",
        [&]() {
            beans::PropertyValue hidden;
            hidden.Name = "Hidden";
            hidden.Value <<= true;
            const uno::Reference<frame::XTitle> book(
                uno::Reference<frame::XComponentLoader>(direct->desktop(), uno::UNO_QUERY_THROW)
                    ->loadComponentFromURL(url, "_blank", 0,
                                           uno::Sequence<beans::PropertyValue>(&hidden, 1)),
                uno::UNO_QUERY);
            return book.is() ? book->getTitle() : OUString();
        },
        OUString()));
}

bool PrivateOffice::setContent(const QString &book, const QString &cell, const QString &content)
{
    return actOnBook(*direct, book, "set content", [&](const auto &model) {
        cellOf(model, cell)->setFormula(toOUString(content));
    });
}

bool PrivateOffice::setContentFromOffice(const QString &book, const QString &cell,
                                         const QString &content)
{
    rtl::Reference<OfficeThreadWrite> write;
    const bool posted = actOnBook(*direct, book, "set content from office", [&](const auto &model) {
        write = new OfficeThreadWrite(cellOf(model, cell), toOUString(content));
        awt::AsyncCallback::create(direct->context())->addCallback(write.get(), uno::Any());
    });
    const QDeadlineTimer deadline(startWaitMs);
    while (posted && !write->done && !deadline.hasExpired())
        QThread::msleep(10);
    return posted && write->written;
}

bool PrivateOffice::protectSheet(const QString &book, const QStringList &unlockedCells)
{
    return actOnBook(*direct, book, "protect sheet", [&](const auto &model) {
        for (const QString &cell : unlockedCells) {
            util::CellProtection protection;
            protection.IsLocked = false;
            uno::Reference<beans::XPropertySet>(cellOf(model, cell), uno::UNO_QUERY_THROW)
                ->setPropertyValue("CellProtection", uno::Any(protection));
        }
        uno::Reference<util::XProtectable>(firstSheet(model), uno::UNO_QUERY_THROW)->protect("");
    });
}

QString PrivateOffice::content(const QString &book, const QString &cell)
{
    const uno::Reference<frame::XModel> model = findBook(*direct, book);
    if (!model.is())
        return QString();
    return toQString(direct->guard(
        "read content", [&]() { return cellOf(model, cell)->getFormula(); }, OUString()));
}

bool PrivateOffice::select(const QString &book, const QStringList &areas)
{
    return askBook(*direct, book, "select", [&](const uno::Reference<frame::XModel> &model) {
        const uno::Reference<sheet::XSpreadsheet> sheet = firstSheet(model);
        const uno::Reference<sheet::XSpreadsheetView> view(model->getCurrentController(),
                                                           uno::UNO_QUERY_THROW);
        view->setActiveSheet(sheet);
        const uno::Reference<sheet::XSheetCellRangeContainer> ranges(
            uno::Reference<lang::XMultiServiceFactory>(model, uno::UNO_QUERY_THROW)
                ->createInstance("com.sun.star.sheet.SheetCellRanges"),
            uno::UNO_QUERY_THROW);
        for (const QString &area : areas) {
            const uno::Reference<sheet::XCellRangeAddressable> cells(
                sheet->getCellRangeByName(toOUString(area)), uno::UNO_QUERY_THROW);
            ranges->addRangeAddress(cells->getRangeAddress(), false);
        }
        uno::Any selection;
        if (areas.size() == 1)
            selection <<= sheet->getCellRangeByName(toOUString(areas.first()));
        else
            selection <<= ranges;
        return uno::Reference<view::XSelectionSupplier>(view, uno::UNO_QUERY_THROW)
            ->select(selection);
    });
}

QStringList PrivateOffice::undoTitles(const QString &book)
{
    return historyTitles(book, false);
}

QStringList PrivateOffice::redoTitles(const QString &book)
{
    return historyTitles(book, true);
}

QStringList PrivateOffice::historyTitles(const QString &book, bool redo)
{
    const uno::Reference<frame::XModel> model = findBook(*direct, book);
    if (!model.is())
        return {QString("no such workbook")};
    return direct->guard(
        "undo titles",
        [&]() {
            QStringList titles;
            const uno::Reference<document::XUndoManager> undo =
                uno::Reference<document::XUndoManagerSupplier>(model, uno::UNO_QUERY_THROW)
                    ->getUndoManager();
            for (const OUString &title :
                 redo ? undo->getAllRedoActionTitles() : undo->getAllUndoActionTitles())
                titles.append(toQString(title));
            return titles;
        },
        QStringList{QString("undo history unreadable")});
}

bool PrivateOffice::undo(const QString &book)
{
    return actOnBook(*direct, book, "undo",
                     [](const auto &model) { undoManagerOf(model)->undo(); });
}

bool PrivateOffice::isModified(const QString &book)
{
    return askBook(*direct, book, "modified", [](const auto &model) {
        return uno::Reference<util::XModifiable>(model, uno::UNO_QUERY_THROW)->isModified();
    });
}

bool PrivateOffice::setModified(const QString &book, bool modified)
{
    return actOnBook(*direct, book, "set modified", [modified](const auto &model) {
        uno::Reference<util::XModifiable>(model, uno::UNO_QUERY_THROW)->setModified(modified);
    });
}

bool PrivateOffice::clearUndo(const QString &book)
{
    return actOnBook(*direct, book, "clear undo",
                     [](const auto &model) { undoManagerOf(model)->clear(); });
}

bool PrivateOffice::close(const QString &book)
{
    return actOnBook(*direct, book, "close", [](const auto &model) {
        uno::Reference<util::XCloseable>(model, uno::UNO_QUERY_THROW)->close(true);
    });
}

bool PrivateOffice::controllersLocked(const QString &book)
{
    return askBook(*direct, book, "controllers locked",
                   [](const auto &model) { return model->hasControllersLocked(); });
}

bool PrivateOffice::leaveUndoContext(const QString &book)
{
    return actOnBook(*direct, book, "leave undo context",
                     [](const auto &model) { undoManagerOf(model)->leaveUndoContext(); });
}

bool PrivateOffice::type(const QString &book, const QString &text)
{
    return actOnBook(*direct, book, "type", [&](const auto &model) {
        const uno::Reference<frame::XDispatchProvider> frame(
            model->getCurrentController()->getFrame(), uno::UNO_QUERY_THROW);
        beans::PropertyValue argument;
        argument.Name = "StringName";
        argument.Value <<= toOUString(text);
        frame::DispatchHelper::create(direct->context())
            ->executeDispatch(frame, ".uno:EnterString", "", 0,
                              uno::Sequence<beans::PropertyValue>(&argument, 1));
    });
}

// The office's own test service hands the keys to the focused sheet's grid on the office's main
// thread, where its input handling takes them.
bool PrivateOffice::typeKeys(const QString &book, const char *kind, const QString &keys)
{
    return actOnBook(*direct, book, "type keys", [&](const auto &model) {
        model->getCurrentController()->getFrame()->activate();
        const uno::Reference<ui::test::XUITest> test(
            direct->context()->getServiceManager()->createInstanceWithContext(
                "org.libreoffice.uitest.UITest", direct->context()),
            uno::UNO_QUERY_THROW);
        beans::PropertyValue argument;
        argument.Name = OUString::createFromAscii(kind);
        argument.Value <<= toOUString(keys);
        test->getTopFocusWindow()
            ->getChild("grid_window")
            ->executeAction("TYPE", uno::Sequence<beans::PropertyValue>(&argument, 1));
    });
}

bool PrivateOffice::typeUnfinished(const QString &book, const QString &text)
{
    return typeKeys(book, "TEXT", text);
}

bool PrivateOffice::finishEntry(const QString &book)
{
    return typeKeys(book, "KEYCODE", "RETURN");
}

bool PrivateOffice::dispatch(const QString &book, const QString &command)
{
    return actOnBook(*direct, book, "dispatch", [&](const auto &model) {
        const uno::Reference<frame::XDispatchProvider> frame(
            model->getCurrentController()->getFrame(), uno::UNO_QUERY_THROW);
        frame::DispatchHelper::create(direct->context())
            ->executeDispatch(frame, toOUString(command), "", 0, {});
    });
}

bool PrivateOffice::dispatchFromOffice(const QString &book, const QString &command)
{
    return actOnBook(*direct, book, "dispatch from office", [&](const auto &model) {
        const uno::Reference<frame::XDispatchProvider> frame(
            model->getCurrentController()->getFrame(), uno::UNO_QUERY_THROW);
        awt::AsyncCallback::create(direct->context())
            ->addCallback(new OfficeThreadDispatch(direct->context(), frame, toOUString(command)),
                          uno::Any());
    });
}

bool PrivateOffice::activate(const QString &book)
{
    return actOnBook(*direct, book, "activate", [](const auto &model) {
        model->getCurrentController()->getFrame()->activate();
    });
}

QString PrivateOffice::extensionVersion(const QString &identifier)
{
    return toQString(direct->guard(
        "extension version",
        [&]() {
            const uno::Reference<deployment::XExtensionManager> manager(
                direct->context()->getValueByName(
                    "/singletons/com.sun.star.deployment.ExtensionManager"),
                uno::UNO_QUERY_THROW);
            for (const uno::Reference<deployment::XPackage> &package :
                 manager->getDeployedExtensions("user", manager->createAbortChannel(), nullptr)) {
                if (package->getIdentifier().IsPresent &&
                    package->getIdentifier().Value == toOUString(identifier))
                    return package->getVersion();
            }
            return OUString();
        },
        OUString()));
}

uno::Reference<frame::XModel> PrivateOffice::model(const QString &book)
{
    return findBook(*direct, book);
}

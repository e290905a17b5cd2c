#include "excel/calc/calcworkbooksnapshot.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/calcdeclininghandler.h"
#include "excel/excellogging.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/script/XLibraryContainer.hpp>
#include <com/sun/star/script/XLibraryContainerPassword.hpp>
#include <com/sun/star/sheet/DataImportMode.hpp>
#include <com/sun/star/sheet/XDatabaseRange.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XUnnamedDatabaseRanges.hpp>
#include <com/sun/star/task/XInteractionHandler.hpp>
#include <rtl/ref.hxx>

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>
#include <QUrl>
#include <algorithm>
#include <iterator>

using namespace css;

namespace {

// The formats a copy keeps the document's own: those the office writes with every formula. A
// template goes as the document format it belongs to, since opening a template makes a new
// untitled document; anything else (text files, formats the office only reads) goes as the
// office's own format.
struct SnapshotFormat
{
    const char *loadedWith;
    const char *storedWith;
    const char *suffix;
};

const SnapshotFormat ownFormat{"calc8", "calc8", "ods"};
const SnapshotFormat keptFormats[] = {
    ownFormat,
    {"calc8_template", "calc8", "ods"},
    {"OpenDocument Spreadsheet Flat XML", "OpenDocument Spreadsheet Flat XML", "fods"},
    {"Calc MS Excel 2007 XML", "Calc MS Excel 2007 XML", "xlsx"},
    {"Calc MS Excel 2007 XML Template", "Calc MS Excel 2007 XML", "xlsx"},
    {"Calc MS Excel 2007 VBA XML", "Calc MS Excel 2007 VBA XML", "xlsm"},
    {"Calc Office Open XML", "Calc Office Open XML", "xlsx"},
    {"Calc Office Open XML Template", "Calc Office Open XML", "xlsx"},
    {"MS Excel 97", "MS Excel 97", "xls"},
    {"MS Excel 97 Vorlage/Template", "MS Excel 97", "xls"},
};

const SnapshotFormat &formatOf(const QString &filter)
{
    const auto found = std::find_if(std::begin(keptFormats), std::end(keptFormats),
                                    [&filter](const SnapshotFormat &format) {
                                        return filter == QLatin1String(format.loadedWith);
                                    });
    return found == std::end(keptFormats) ? ownFormat : *found;
}

beans::PropertyValue property(const char *name, const uno::Any &value)
{
    beans::PropertyValue result;
    result.Name = OUString::createFromAscii(name);
    result.Value = value;
    return result;
}

// What the document was opened or last stored with, by name; void when it has none.
uno::Any mediumArgument(const uno::Reference<frame::XModel> &model, const char *name)
{
    const OUString wanted = OUString::createFromAscii(name);
    for (const beans::PropertyValue &argument : model->getArgs()) {
        if (argument.Name == wanted)
            return argument.Value;
    }
    return uno::Any();
}

bool isEncrypted(const uno::Reference<frame::XModel> &model)
{
    return mediumArgument(model, "EncryptionData").hasValue() ||
           mediumArgument(model, "Password").hasValue();
}

QString readableLocation(const QString &url)
{
    const QUrl location(url);
    return location.isLocalFile() ? location.toLocalFile() : location.toDisplayString();
}

QString firstName(const uno::Any &collection)
{
    const uno::Reference<container::XNameAccess> names(collection, uno::UNO_QUERY);
    if (!names.is())
        return {};
    const uno::Sequence<OUString> all = names->getElementNames();
    return all.hasElements() ? toQString(all[0]) : QString();
}

// Links the office keeps by name: other workbooks that formulas read, whole sheets copied from
// other files, and DDE conversations.
QString namedLinkProblem(const uno::Reference<beans::XPropertySet> &document)
{
    struct NamedLinks
    {
        const char *property;
        const char *problem;
        bool isLocation;
    };
    static const NamedLinks kinds[] = {
        {"ExternalDocLinks", "it refers to other workbooks (%1)", true},
        {"SheetLinks", "it takes sheets from other files (%1)", true},
        {"DDELinks", "it takes data through DDE links (%1)", false},
    };
    for (const NamedLinks &kind : kinds) {
        const QString name =
            firstName(document->getPropertyValue(OUString::createFromAscii(kind.property)));
        if (!name.isEmpty())
            return QString::fromLatin1(kind.problem)
                .arg(kind.isLocation ? readableLocation(name) : name);
    }
    return {};
}

QString areaLinkProblem(const uno::Reference<beans::XPropertySet> &document)
{
    const uno::Reference<container::XIndexAccess> links(document->getPropertyValue("AreaLinks"),
                                                        uno::UNO_QUERY);
    if (!links.is() || links->getCount() == 0)
        return {};
    const uno::Reference<beans::XPropertySet> link(links->getByIndex(0), uno::UNO_QUERY_THROW);
    OUString url;
    link->getPropertyValue("Url") >>= url;
    return QString("it takes cell areas from other files (%1)")
        .arg(readableLocation(toQString(url)));
}

// The data source a database range fills itself from; empty when it imports nothing.
QString importedSource(const uno::Reference<sheet::XDatabaseRange> &range, const QString &name)
{
    sheet::DataImportMode mode = sheet::DataImportMode_NONE;
    OUString database;
    for (const beans::PropertyValue &setting : range->getImportDescriptor()) {
        if (setting.Name == "SourceType")
            setting.Value >>= mode;
        else if (setting.Name == "DatabaseName")
            setting.Value >>= database;
    }
    if (mode == sheet::DataImportMode_NONE)
        return {};
    return database.isEmpty() ? name : toQString(database);
}

// Named database ranges and the one unnamed range each sheet may have.
QString importProblem(const uno::Reference<beans::XPropertySet> &document)
{
    const QString problem = QStringLiteral("it imports data from a database (%1)");
    const uno::Reference<container::XNameAccess> named(document->getPropertyValue("DatabaseRanges"),
                                                       uno::UNO_QUERY);
    if (named.is()) {
        for (const OUString &name : named->getElementNames()) {
            const QString source = importedSource(
                uno::Reference<sheet::XDatabaseRange>(named->getByName(name), uno::UNO_QUERY_THROW),
                toQString(name));
            if (!source.isEmpty())
                return problem.arg(source);
        }
    }
    const uno::Reference<sheet::XUnnamedDatabaseRanges> unnamed(
        document->getPropertyValue("UnnamedDatabaseRanges"), uno::UNO_QUERY);
    const sal_Int32 sheets =
        uno::Reference<container::XIndexAccess>(
            uno::Reference<sheet::XSpreadsheetDocument>(document, uno::UNO_QUERY_THROW)
                ->getSheets(),
            uno::UNO_QUERY_THROW)
            ->getCount();
    for (sal_Int16 sheet = 0; unnamed.is() && sheet < sheets; ++sheet) {
        if (!unnamed->hasByTable(sheet))
            continue;
        const QString source = importedSource(
            uno::Reference<sheet::XDatabaseRange>(unnamed->getByTable(sheet), uno::UNO_QUERY_THROW),
            QString("sheet %1").arg(sheet + 1));
        if (!source.isEmpty())
            return problem.arg(source);
    }
    return {};
}

// Comments, options and attributes are all an office writes into the modules of a workbook that
// holds no macro (an imported workbook's sheet modules, for one); anything else is code.
bool holdsCode(const QString &source)
{
    static const QRegularExpression inert(R"(^\s*($|'|rem\b|option\s|attribute\s))",
                                          QRegularExpression::CaseInsensitiveOption);
    const QStringList lines = source.split('\n');
    return std::any_of(lines.cbegin(), lines.cend(),
                       [](const QString &line) { return !inert.match(line).hasMatch(); });
}

// Reading a library's modules loads it, which leaves the document unmodified. A library whose
// password was not given cannot be read, and is taken for one with code.
QString macroProblem(const uno::Reference<beans::XPropertySet> &document)
{
    const uno::Reference<script::XLibraryContainer> libraries(
        document->getPropertyValue("BasicLibraries"), uno::UNO_QUERY);
    if (!libraries.is())
        return {};
    const uno::Reference<script::XLibraryContainerPassword> passwords(libraries, uno::UNO_QUERY);
    const uno::Reference<container::XNameAccess> names(libraries, uno::UNO_QUERY_THROW);
    const QString problem = QStringLiteral("it holds macros (%1)");
    for (const OUString &library : names->getElementNames()) {
        if (passwords.is() && passwords->isLibraryPasswordProtected(library) &&
            !passwords->isLibraryPasswordVerified(library))
            return problem.arg(toQString(library));
        if (!libraries->isLibraryLoaded(library))
            libraries->loadLibrary(library);
        const uno::Reference<container::XNameAccess> modules(names->getByName(library),
                                                             uno::UNO_QUERY_THROW);
        for (const OUString &module : modules->getElementNames()) {
            OUString source;
            modules->getByName(module) >>= source;
            if (holdsCode(toQString(source)))
                return problem.arg(toQString(library + "." + module));
        }
    }
    return {};
}

QString firstProblem(const uno::Reference<frame::XModel> &model)
{
    if (isEncrypted(model))
        return QStringLiteral("it is protected by a password");
    const uno::Reference<beans::XPropertySet> document(model, uno::UNO_QUERY_THROW);
    for (const auto check : {namedLinkProblem, areaLinkProblem, importProblem, macroProblem}) {
        const QString problem = check(document);
        if (!problem.isEmpty())
            return problem;
    }
    return {};
}

QString baseNameOf(const QString &url)
{
    const QString name = QFileInfo(QUrl(url).fileName()).completeBaseName();
    return name.isEmpty() ? QStringLiteral("workbook") : name;
}

} // namespace

CalcWorkbookSnapshot::CalcWorkbookSnapshot(std::shared_ptr<CalcConnection> connection,
                                           uno::Reference<frame::XModel> model)
    : connection(std::move(connection)), model(std::move(model))
{}

// An office that fails the questions leaves it open whether a copy is faithful: it is not.
QString CalcWorkbookSnapshot::problem()
{
    return connection->guard(
        "copy problem", [this]() { return firstProblem(model); },
        QStringLiteral("the office could not be asked about it"));
}

// A password-protected document is not stored: its copy would not be protected.
QString CalcWorkbookSnapshot::store(const QString &folder)
{
    if (connection->guard(
            "is encrypted", [this]() { return isEncrypted(model); }, true)) {
        qCWarning(lcLink) << "No snapshot of a workbook protected by a password";
        return {};
    }
    const QString filter = connection->guard(
        "filter",
        [this]() {
            OUString name;
            mediumArgument(model, "FilterName") >>= name;
            return toQString(name);
        },
        QString());
    const SnapshotFormat &format = formatOf(filter);
    const QString url = connection->guard(
        "location", [this]() { return toQString(model->getURL()); }, QString());
    QTemporaryFile file(QDir(folder).filePath(baseNameOf(url) + "-XXXXXX." + format.suffix));
    file.setAutoRemove(false);
    if (!file.open()) {
        qCWarning(lcLink) << "Cannot make a snapshot in" << folder << file.errorString();
        return {};
    }
    const QString path = file.fileName();
    file.close();
    if (!storeTo(path, QString::fromLatin1(format.storedWith))) {
        QFile::remove(path);
        return {};
    }
    return path;
}

bool CalcWorkbookSnapshot::storeTo(const QString &path, const QString &filter)
{
    // The user's office may be on screen: whatever it would ask is declined, so no dialog appears
    // in front of the user.
    const rtl::Reference<CalcDecliningHandler> handler = new CalcDecliningHandler;
    const beans::PropertyValue properties[] = {
        property("FilterName", uno::Any(toOUString(filter))), property("Overwrite", uno::Any(true)),
        property("InteractionHandler",
                 uno::Any(uno::Reference<task::XInteractionHandler>(handler.get())))};
    const OUString target = toOUString(QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded));
    return connection->guard(
        "store snapshot",
        [&]() {
            uno::Reference<frame::XStorable>(model, uno::UNO_QUERY_THROW)
                ->storeToURL(target, uno::Sequence<beans::PropertyValue>(
                                         properties, sal_Int32(std::size(properties))));
            return true;
        },
        false);
}

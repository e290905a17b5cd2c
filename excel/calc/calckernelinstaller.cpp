#include "excel/calc/calckernelinstaller.h"
#include "excel/calc/calccommandenvironment.h"
#include "excel/calc/calcconnection.h"
#include "excel/calc/kernel/kernelprotocol.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/container/XSet.hpp>
#include <com/sun/star/deployment/XExtensionManager.hpp>
#include <com/sun/star/deployment/XPackageTypeInfo.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>
#include <com/sun/star/util/XMacroExpander.hpp>
#include <rtl/uri.hxx>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>
#include <QVersionNumber>

using namespace css;

namespace {

const char userRepository[] = "user";
const char expandScheme[] = "vnd.sun.star.expand:";
const char componentsMediaType[] = "application/vnd.sun.star.uno-components";
const char officeExecutable[] = "soffice.bin";

QString &packagePath()
{
    static QString path = ":/kernel/marlowin-kernel.oxt";
    return path;
}

uno::Reference<deployment::XPackage>
deployedKernel(const uno::Reference<deployment::XExtensionManager> &manager,
               const uno::Reference<ucb::XCommandEnvironment> &environment)
{
    const OUString identifier = OUString::createFromAscii(KernelProtocol::extensionIdentifier);
    for (const uno::Reference<deployment::XPackage> &package : manager->getDeployedExtensions(
             userRepository, manager->createAbortChannel(), environment)) {
        if (package.is() && package->getIdentifier().IsPresent &&
            package->getIdentifier().Value == identifier)
            return package;
    }
    return nullptr;
}

// The office reads the package from a file; one carried as a resource is copied out first.
uno::Reference<deployment::XPackage>
install(const uno::Reference<deployment::XExtensionManager> &manager,
        const uno::Reference<ucb::XCommandEnvironment> &environment)
{
    QTemporaryDir folder;
    const QString file = folder.filePath(QFileInfo(packagePath()).fileName());
    QFile::remove(file);
    if (!folder.isValid() || !QFile::copy(packagePath(), file))
        throw CalcKernelInstaller::Unavailable("cannot read the kernel package " +
                                               packagePath().toStdString());
    return manager->addExtension(toOUString(QUrl::fromLocalFile(file).toString()), {},
                                 userRepository, manager->createAbortChannel(), environment);
}

OUString componentsUrl(const uno::Reference<uno::XComponentContext> &context,
                       const uno::Reference<deployment::XPackage> &package,
                       const uno::Reference<ucb::XCommandEnvironment> &environment)
{
    for (const uno::Reference<deployment::XPackage> &part :
         package->getBundle(package->createAbortChannel(), environment)) {
        if (!part->getPackageType()->getMediaType().startsWith(componentsMediaType))
            continue;
        const OUString url = part->getURL();
        if (!url.startsWith(expandScheme))
            return url;
        const uno::Reference<util::XMacroExpander> expander(
            context->getValueByName("/singletons/com.sun.star.util.theMacroExpander"),
            uno::UNO_QUERY_THROW);
        return expander->expandMacros(
            rtl::Uri::decode(url.copy(RTL_CONSTASCII_LENGTH(expandScheme)),
                             rtl_UriDecodeWithCharset, RTL_TEXTENCODING_UTF8));
    }
    throw CalcKernelInstaller::Unavailable("the installed kernel has no component description");
}

struct Description
{
    QString version;
    QString executable;
};

Description describe(const uno::Reference<task::XJob> &kernel)
{
    const beans::NamedValue question(OUString::createFromAscii(KernelProtocol::command),
                                     uno::Any(OUString::createFromAscii(KernelProtocol::describe)));
    uno::Sequence<beans::NamedValue> answer;
    kernel->execute(uno::Sequence<beans::NamedValue>(&question, 1)) >>= answer;
    Description description;
    for (const beans::NamedValue &item : std::as_const(answer)) {
        OUString text;
        item.Value >>= text;
        if (item.Name.equalsAscii(KernelProtocol::version))
            description.version = toQString(text);
        else if (item.Name.equalsAscii(KernelProtocol::executable))
            description.executable = toQString(text);
    }
    return description;
}

uno::Reference<task::XJob> instantiate(const uno::Reference<uno::XComponentContext> &context)
{
    return uno::Reference<task::XJob>(
        context->getServiceManager()->createInstanceWithContext(
            OUString::createFromAscii(KernelProtocol::serviceName), context),
        uno::UNO_QUERY_THROW);
}

bool runsInOffice(const Description &description)
{
    return QFileInfo(description.executable).fileName() == officeExecutable;
}

// Undocumented behaviour of the office's service manager, measured: dropping a component
// description and reading it again loads the component into the office's own process.
void reloadInOffice(const uno::Reference<uno::XComponentContext> &context, const OUString &url)
{
    const uno::Reference<container::XSet> manager(context->getServiceManager(),
                                                  uno::UNO_QUERY_THROW);
    const beans::NamedValue uri("uri", uno::Any(url));
    const uno::Any description(uno::Sequence<beans::NamedValue>(&uri, 1));
    manager->remove(description);
    manager->insert(description);
}

} // namespace

QString CalcKernelInstaller::carriedVersion()
{
    return MARLOWIN_KERNEL_VERSION;
}

void CalcKernelInstaller::setPackage(const QString &path)
{
    packagePath() = path;
}

uno::Reference<task::XJob>
CalcKernelInstaller::load(const uno::Reference<uno::XComponentContext> &context)
{
    const uno::Reference<deployment::XExtensionManager> manager(
        context->getValueByName("/singletons/com.sun.star.deployment.ExtensionManager"),
        uno::UNO_QUERY_THROW);
    const uno::Reference<ucb::XCommandEnvironment> environment(new CalcCommandEnvironment);
    uno::Reference<deployment::XPackage> package = deployedKernel(manager, environment);
    const QVersionNumber carried = QVersionNumber::fromString(carriedVersion());
    if (!package.is() || QVersionNumber::fromString(toQString(package->getVersion())) < carried)
        package = install(manager, environment);
    if (!package.is() || toQString(package->getVersion()) != carriedVersion())
        throw Unavailable(
            "the office holds kernel version " +
            (package.is() ? toQString(package->getVersion()).toStdString() : std::string("none")) +
            ", the program needs " + carriedVersion().toStdString());

    uno::Reference<task::XJob> kernel = instantiate(context);
    Description description = describe(kernel);
    if (!runsInOffice(description)) {
        kernel.clear();
        reloadInOffice(context, componentsUrl(context, package, environment));
        kernel = instantiate(context);
        description = describe(kernel);
    }
    if (!runsInOffice(description))
        throw Unavailable("the kernel runs in " + description.executable.toStdString() +
                          ", outside the office");
    if (description.version != carriedVersion())
        throw Unavailable("the office loaded kernel version " + description.version.toStdString());
    return kernel;
}

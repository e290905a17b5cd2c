// The shared library's entry points, through which the office's component loader finds the
// kernel's factory.

#include "kernelprotocol.h"
#include "scankernel.h"

#include <cppuhelper/factory.hxx>
#include <cppuhelper/implementationentry.hxx>
#include <uno/environment.h>
#include <uno/lbnames.h>

using namespace css;

namespace {

uno::Reference<uno::XInterface>
    SAL_CALL createKernel(const uno::Reference<uno::XComponentContext> &)
{
    return static_cast<cppu::OWeakObject *>(new ScanKernel);
}

OUString SAL_CALL implementationName()
{
    return OUString::createFromAscii(KernelProtocol::implementationName);
}

uno::Sequence<OUString> SAL_CALL serviceNames()
{
    const OUString name = OUString::createFromAscii(KernelProtocol::serviceName);
    return uno::Sequence<OUString>(&name, 1);
}

const cppu::ImplementationEntry entries[] = {{createKernel, implementationName, serviceNames,
                                              cppu::createSingleComponentFactory, nullptr, 0},
                                             {nullptr, nullptr, nullptr, nullptr, nullptr, 0}};

} // namespace

extern "C" SAL_DLLPUBLIC_EXPORT void *SAL_CALL component_getFactory(const char *name,
                                                                    void *serviceManager,
                                                                    void *registryKey)
{
    return cppu::component_getFactoryHelper(name, serviceManager, registryKey, entries);
}

extern "C" SAL_DLLPUBLIC_EXPORT void SAL_CALL
component_getImplementationEnvironment(const char **environmentName, uno_Environment **)
{
    *environmentName = CPPU_CURRENT_LANGUAGE_BINDING_NAME;
}

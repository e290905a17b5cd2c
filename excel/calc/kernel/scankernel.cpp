#include "scankernel.h"
#include "kernelarguments.h"
#include "kernelprotocol.h"
#include "scanbatch.h"

#include <cppuhelper/supportsservice.hxx>

#include <climits>
#include <unistd.h>

using namespace css;

namespace {

OUString processExecutable()
{
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    return length > 0 ? OUString(path, sal_Int32(length), RTL_TEXTENCODING_UTF8) : OUString();
}

} // namespace

// The office releases the program's references when its connection dies; a bracket still held
// then was never closed by the program.
ScanKernel::~ScanKernel()
{
    guard.release();
}

uno::Any ScanKernel::execute(const uno::Sequence<beans::NamedValue> &arguments)
{
    const OUString command =
        KernelArguments(arguments).required<OUString>(KernelProtocol::command, "a text");
    if (command.equalsAscii(KernelProtocol::describe))
        return describe();
    if (command.equalsAscii(KernelProtocol::evaluate))
        return evaluate(arguments);
    if (command.equalsAscii(KernelProtocol::arm)) {
        guard.arm(arguments);
        return uno::Any();
    }
    if (command.equalsAscii(KernelProtocol::journal)) {
        guard.journal(arguments);
        return uno::Any();
    }
    if (command.equalsAscii(KernelProtocol::disarm))
        return uno::Any(guard.disarm());
    if (command.equalsAscii(KernelProtocol::isArmed))
        return uno::Any(guard.isArmed());
    throw KernelArguments::refusal("unknown command " + command);
}

uno::Any ScanKernel::describe() const
{
    const beans::NamedValue answer[] = {
        {OUString::createFromAscii(KernelProtocol::version),
         uno::Any(OUString::createFromAscii(MARLOWIN_KERNEL_VERSION))},
        {OUString::createFromAscii(KernelProtocol::processId), uno::Any(sal_Int64(getpid()))},
        {OUString::createFromAscii(KernelProtocol::executable), uno::Any(processExecutable())}};
    return uno::Any(uno::Sequence<beans::NamedValue>(answer, 3));
}

uno::Any ScanKernel::evaluate(const uno::Sequence<beans::NamedValue> &arguments)
{
    ScanBatch batch(arguments);
    guard.journalWrites(batch.writtenCells());
    return uno::Any(batch.evaluate());
}

OUString ScanKernel::getImplementationName()
{
    return OUString::createFromAscii(KernelProtocol::implementationName);
}

sal_Bool ScanKernel::supportsService(const OUString &name)
{
    return cppu::supportsService(this, name);
}

uno::Sequence<OUString> ScanKernel::getSupportedServiceNames()
{
    const OUString name = OUString::createFromAscii(KernelProtocol::serviceName);
    return uno::Sequence<OUString>(&name, 1);
}

#include "kernelarguments.h"

using namespace css;

KernelArguments::KernelArguments(const uno::Sequence<beans::NamedValue> &arguments)
    : arguments(arguments)
{}

const uno::Any &KernelArguments::find(const char *name) const
{
    static const uno::Any nothing;
    for (const beans::NamedValue &argument : arguments) {
        if (argument.Name.equalsAscii(name))
            return argument.Value;
    }
    return nothing;
}

lang::IllegalArgumentException KernelArguments::refusal(const OUString &message)
{
    return lang::IllegalArgumentException("Scan kernel: " + message, nullptr, 0);
}

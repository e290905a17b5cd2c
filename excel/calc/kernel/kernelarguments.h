#ifndef KERNELARGUMENTS_H
#define KERNELARGUMENTS_H

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/uno/Sequence.hxx>
#include <rtl/ustring.hxx>

using rtl::OUString;

// The named arguments of one kernel call. Anything missing or of the wrong type is refused with
// an exception that names the argument, before the call touches a document.
class KernelArguments
{
public:
    explicit KernelArguments(const css::uno::Sequence<css::beans::NamedValue> &arguments);

    const css::uno::Any &find(const char *name) const;
    bool has(const char *name) const { return find(name).hasValue(); }

    template <typename T> T required(const char *name, const char *kind) const
    {
        T value{};
        if (!(find(name) >>= value))
            throw refusal(OUString::createFromAscii(name) + " is missing or not " +
                          OUString::createFromAscii(kind));
        return value;
    }

    template <typename T> T optional(const char *name, const char *kind, T fallback) const
    {
        return has(name) ? required<T>(name, kind) : fallback;
    }

    static css::lang::IllegalArgumentException refusal(const OUString &message);

private:
    css::uno::Sequence<css::beans::NamedValue> arguments;
};

#endif

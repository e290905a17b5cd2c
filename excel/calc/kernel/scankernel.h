#ifndef SCANKERNEL_H
#define SCANKERNEL_H

#include "kernelguard.h"

#include <com/sun/star/lang/XServiceInfo.hpp>
#include <com/sun/star/task/XJob.hpp>
#include <cppuhelper/implbase2.hxx>
#include <rtl/ustring.hxx>

using rtl::OUString;

// The scan kernel: the program's one object inside the office. It evaluates batches of scan
// points next to the document and holds the program's write bracket, which it closes when the
// office releases it because the program's connection died.
class ScanKernel : public cppu::WeakImplHelper2<css::task::XJob, css::lang::XServiceInfo>
{
public:
    ScanKernel() = default;
    ~ScanKernel() override;

    css::uno::Any SAL_CALL
    execute(const css::uno::Sequence<css::beans::NamedValue> &arguments) override;

    OUString SAL_CALL getImplementationName() override;
    sal_Bool SAL_CALL supportsService(const OUString &name) override;
    css::uno::Sequence<OUString> SAL_CALL getSupportedServiceNames() override;

private:
    css::uno::Any describe() const;
    css::uno::Any evaluate(const css::uno::Sequence<css::beans::NamedValue> &arguments);

    KernelGuard guard;
};

#endif

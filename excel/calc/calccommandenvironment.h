#ifndef CALCCOMMANDENVIRONMENT_H
#define CALCCOMMANDENVIRONMENT_H

#include <com/sun/star/task/XInteractionHandler.hpp>
#include <com/sun/star/ucb/XCommandEnvironment.hpp>
#include <com/sun/star/ucb/XProgressHandler.hpp>
#include <cppuhelper/implbase3.hxx>

// What the office's extension manager asks while it installs the scan kernel: it approves
// installing it and replacing another version of it, and aborts on anything else, so no dialog
// ever waits for a user who did not ask for one.
class CalcCommandEnvironment
    : public cppu::WeakImplHelper3<css::ucb::XCommandEnvironment, css::task::XInteractionHandler,
                                   css::ucb::XProgressHandler>
{
public:
    css::uno::Reference<css::task::XInteractionHandler> SAL_CALL getInteractionHandler() override;
    css::uno::Reference<css::ucb::XProgressHandler> SAL_CALL getProgressHandler() override;

    void SAL_CALL
    handle(const css::uno::Reference<css::task::XInteractionRequest> &request) override;

    void SAL_CALL push(const css::uno::Any &) override {}
    void SAL_CALL update(const css::uno::Any &) override {}
    void SAL_CALL pop() override {}
};

#endif

#ifndef CALCDECLININGHANDLER_H
#define CALCDECLININGHANDLER_H

#include <com/sun/star/task/XInteractionHandler.hpp>
#include <cppuhelper/implbase1.hxx>

#include <atomic>

// Answers every question the office asks during a call (a password, an overwrite, a filter
// option) by declining it, so that no dialog waits for somebody, on screen or not; remembers
// whether one asked for a password.
class CalcDecliningHandler : public cppu::WeakImplHelper1<css::task::XInteractionHandler>
{
public:
    void SAL_CALL
    handle(const css::uno::Reference<css::task::XInteractionRequest> &request) override;
    bool askedForPassword() const { return passwordAsked; }

private:
    std::atomic<bool> passwordAsked{false};
};

#endif

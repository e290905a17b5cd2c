#include "excel/calc/calcdeclininghandler.h"

#include <com/sun/star/task/PasswordRequest.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>

using namespace css;

void CalcDecliningHandler::handle(const uno::Reference<task::XInteractionRequest> &request)
{
    task::PasswordRequest password;
    if (request->getRequest() >>= password)
        passwordAsked = true;
    for (const uno::Reference<task::XInteractionContinuation> &continuation :
         request->getContinuations()) {
        const uno::Reference<task::XInteractionAbort> abort(continuation, uno::UNO_QUERY);
        if (abort.is()) {
            abort->select();
            return;
        }
    }
}

#include "excel/calc/calccommandenvironment.h"

#include <com/sun/star/deployment/InstallException.hpp>
#include <com/sun/star/deployment/VersionException.hpp>
#include <com/sun/star/task/XInteractionAbort.hpp>
#include <com/sun/star/task/XInteractionApprove.hpp>

using namespace css;

uno::Reference<task::XInteractionHandler> CalcCommandEnvironment::getInteractionHandler()
{
    return this;
}

uno::Reference<ucb::XProgressHandler> CalcCommandEnvironment::getProgressHandler()
{
    return this;
}

void CalcCommandEnvironment::handle(const uno::Reference<task::XInteractionRequest> &request)
{
    const uno::Any question = request->getRequest();
    const bool approve =
        question.isExtractableTo(cppu::UnoType<deployment::InstallException>::get()) ||
        question.isExtractableTo(cppu::UnoType<deployment::VersionException>::get());
    for (const uno::Reference<task::XInteractionContinuation> &answer :
         request->getContinuations()) {
        const bool chosen =
            approve ? uno::Reference<task::XInteractionApprove>(answer, uno::UNO_QUERY).is()
                    : uno::Reference<task::XInteractionAbort>(answer, uno::UNO_QUERY).is();
        if (chosen) {
            answer->select();
            return;
        }
    }
}

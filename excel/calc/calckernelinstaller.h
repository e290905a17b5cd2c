#ifndef CALCKERNELINSTALLER_H
#define CALCKERNELINSTALLER_H

#include <com/sun/star/task/XJob.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>
#include <stdexcept>

// Brings the scan kernel into a running office: installs the package the program carries into
// the user's extension repository when the office has no kernel or an older one, and makes sure
// the kernel runs inside the office's own process. A live-installed component is first hosted
// in a helper process, where every call it makes to a document crosses a pipe again; reloading
// its component description through the service manager moves it into the office.
namespace CalcKernelInstaller {

struct Unavailable : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// The version of the kernel the program carries.
QString carriedVersion();
// The package to install; the program's own unless a test points elsewhere.
void setPackage(const QString &path);
// The kernel inside the office's process. Throws Unavailable, or the office's exceptions, when
// it cannot be had.
css::uno::Reference<css::task::XJob>
load(const css::uno::Reference<css::uno::XComponentContext> &context);

} // namespace CalcKernelInstaller

#endif

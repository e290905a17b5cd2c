#include "app/quickhelp.h"

#include "app/applogging.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace {

const char productName[] = "Marlowin Pro";
const char supportAddress[] = "support@marlowin.org";

} // namespace

QString QuickHelp::filePath()
{
    const QString name = "Marlowin Pro Quick Help.pdf";
    const QDir programDir(QCoreApplication::applicationDirPath());
    const QString installed =
        QDir::cleanPath(programDir.filePath(MARLOWIN_DATA_DIR_FROM_BIN "/" + name));
    if (!QFileInfo::exists(programDir.filePath(name)) && QFileInfo::exists(installed))
        return installed;
    return programDir.filePath(name);
}

void QuickHelp::show(QWidget *parent)
{
    const QString path = filePath();
    if (QFileInfo::exists(path)) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
        qCDebug(lcApp) << path;
        return;
    }
    QMessageBox box(parent);
    box.setWindowFlags(box.windowFlags() | Qt::WindowStaysOnTopHint);
    box.setText(QString::fromLatin1(productName) + " Quick Help file not found.");
    box.setInformativeText("Please re-download " + QString::fromLatin1(productName) +
                           " or request the help file from our support (" +
                           QString::fromLatin1(supportAddress) + ").");
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}

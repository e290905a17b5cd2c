#include "excel/excelbackend.h"
#include "excel/calc/calcbackend.h"
#include "excel/calc/calcsweepfolder.h"
#include "excel/calc/calcsweeppool.h"

QString ExcelBackend::applicationName()
{
    return "LibreOffice Calc";
}

void ExcelBackend::configure(const QString &connectionName, const QString &profileUrl)
{
    CalcBackend::configure(connectionName, profileUrl);
}

bool ExcelBackend::isRunning()
{
    return CalcBackend::isOfficeRunning();
}

QString ExcelBackend::refusal()
{
    return CalcBackend::refusal();
}

QList<qint64> ExcelBackend::instances()
{
    return CalcBackend::officeInstances();
}

std::unique_ptr<ExcelApplication> ExcelBackend::attach(qint64 instance)
{
    return CalcBackend::attachToInstance(instance);
}

std::unique_ptr<ExcelApplication> ExcelBackend::attachOrStart()
{
    return CalcBackend::attachOrStart();
}

std::unique_ptr<SweepPool> ExcelBackend::createSweepPool()
{
    return std::make_unique<CalcSweepPool>();
}

std::unique_ptr<QTemporaryDir> ExcelBackend::createPrivateFolder()
{
    return CalcSweepFolder::create();
}

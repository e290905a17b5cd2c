#include "excel/vivexcelbase.h"

VIVExcelBase::VIVExcelBase(QObject *parent) : QObject(parent) {}

VIVExcelBase::~VIVExcelBase()
{
    qDeleteAll(ownedObjects);
    // Released here, while the wrapper is still whole, so that the object can detach from
    // anything that still refers to the wrapper.
    wrapped.reset();
}

ExcelObject *VIVExcelBase::object()
{
    if (!wrapped)
        setObject(createObject());
    return wrapped.get();
}

void VIVExcelBase::setObject(std::unique_ptr<ExcelObject> object)
{
    if (object.get() == wrapped.get()) {
        // The same object handed in again: it is already owned here.
        (void)object.release();
        return;
    }
    wrapped = std::move(object);
    objectChanged();
}

void VIVExcelBase::objectChanged() {}

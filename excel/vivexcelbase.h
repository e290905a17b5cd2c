#ifndef VIVEXCELBASE_H
#define VIVEXCELBASE_H

#include "excel/excelobject.h"

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

// Wraps one object of the spreadsheet program. The wrappers form a Qt object tree that mirrors
// the program's (application, workbooks, workbook, worksheets, worksheet, range); each owns the
// object it wraps. Factory operations take a keep flag: a wrapper made without keep is deleted
// when control returns to the event loop, so the caller may use it only within the current call.
class VIVExcelBase : public QObject
{
    Q_OBJECT

public:
    explicit VIVExcelBase(QObject *parent = nullptr);
    ~VIVExcelBase() override;

    // The wrapped object; when none is set yet, the one createObject() makes.
    ExcelObject *object();
    void setObject(std::unique_ptr<ExcelObject> object);
    // The wrapped object without making one.
    ExcelObject *currentObject() const { return wrapped.get(); }
    // Made without keep: deleted at the next pass of the event loop, never handed out again.
    bool isTemporary() const { return temporary; }

protected:
    virtual std::unique_ptr<ExcelObject> createObject() = 0;
    virtual void objectChanged();

    template <typename Wrapper> static Wrapper *kept(Wrapper *wrapper, bool keep)
    {
        if (!keep) {
            wrapper->temporary = true;
            wrapper->deleteLater();
        }
        return wrapper;
    }

    // The first kept direct child wrapper whose name() is name.
    template <typename Wrapper> Wrapper *keptChildNamed(const QString &name) const
    {
        const QList<Wrapper *> known =
            findChildren<Wrapper *>(QString(), Qt::FindDirectChildrenOnly);
        for (Wrapper *wrapper : known) {
            if (!wrapper->isTemporary() && wrapper->name() == name)
                return wrapper;
        }
        return nullptr;
    }

    QList<QObject *> ownedObjects;

private:
    std::unique_ptr<ExcelObject> wrapped;
    bool temporary = false;
};

#endif

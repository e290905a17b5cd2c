#ifndef EXCELADDRESSBLOCK_H
#define EXCELADDRESSBLOCK_H

#include <QList>
#include <QObject>
#include <QString>

// A rectangle of cells read from an A1 address text ("B2:D5", "C7", "C:E", "3:5"), or
// several rectangles joined by ";". Parsing can walk the cells of a rectangle; every parse
// announces, synchronously and in order, each walked cell as a block of its own, then every
// area of a multi-area text, then the block itself, all through rangeIterated().
// Announced blocks live only as long as the block that announced them.
class ExcelAddressBlock : public QObject
{
    Q_OBJECT

public:
    // A walk stops short of creating one object per cell beyond this many cells in one text;
    // such a text is parsed and announced without its cells.
    static constexpr qint64 maxWalkedCells = 1 << 20;

    explicit ExcelAddressBlock(const QString &address = QString(), bool iterate = false);
    ~ExcelAddressBlock() override;

    void setAddress(const QString &address, bool iterate);
    ExcelAddressBlock *createSubBlock(const QString &address, bool iterate);
    bool isSingleCell() const;

    QString address() const { return m_address; }
    bool entireRows() const { return m_entireRows; }
    bool entireColumns() const { return m_entireColumns; }
    int firstRow() const { return m_firstRow; }
    int firstColumn() const { return m_firstColumn; }
    int lastRow() const { return m_lastRow; }
    int lastColumn() const { return m_lastColumn; }
    bool valid() const { return m_valid; }
    bool singleArea() const { return m_singleArea; }
    QList<ExcelAddressBlock *> subBlocks() const { return m_subBlocks; }

signals:
    void rangeIterated(ExcelAddressBlock *block);

public slots:
    void rangeIteration(ExcelAddressBlock *block);

private:
    void parse(bool iterate);
    void parseSingleArea(bool iterate);
    void parseAreas(const QStringList &parts, bool iterate);
    void walk();
    bool keepSubBlock(ExcelAddressBlock *block);
    void clearSubBlocks();
    void resetArea();

    QString m_address;
    bool m_entireRows = false;
    bool m_entireColumns = false;
    int m_firstRow = 0;
    int m_firstColumn = 0;
    int m_lastRow = 0;
    int m_lastColumn = 0;
    bool m_valid = false;
    bool m_singleArea = false;
    QList<ExcelAddressBlock *> m_subBlocks;
};

#endif

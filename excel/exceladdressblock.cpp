#include "exceladdressblock.h"

#include "celladdress.h"
#include "excel/excellogging.h"

#include <QRegularExpression>

namespace {

struct Area
{
    int firstRow = 0;
    int firstColumn = 0;
    int lastRow = 0;
    int lastColumn = 0;

    bool ordered() const { return lastRow >= firstRow && lastColumn >= firstColumn; }
    bool entireRows() const { return firstColumn == 0; }
    bool entireColumns() const { return firstRow == 0; }
    // Only a valid rectangle of named cells that covers more than one cell is walked.
    bool walkable() const
    {
        return ordered() && !entireRows() && !entireColumns() &&
               (firstRow != lastRow || firstColumn != lastColumn);
    }
    qint64 cellCount() const
    {
        return (qint64(lastRow) - firstRow + 1) * (qint64(lastColumn) - firstColumn + 1);
    }
};

// Reads one rectangle. Only upper-case letters and ASCII digits are accepted (no "$", no
// spaces); the colon and the second corner are optional. False when the text does not
// match or a row or column does not fit an int.
bool readArea(const QString &text, Area &area)
{
    static const QRegularExpression pattern(
        QRegularExpression::anchoredPattern(QStringLiteral("([A-Z]*)([0-9]*):?([A-Z]*)([0-9]*)")));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    Area read;
    if (!parseCell(match.captured(1) + match.captured(2), read.firstRow, read.firstColumn) ||
        !parseCell(match.captured(3) + match.captured(4), read.lastRow, read.lastColumn))
        return false;
    if (read.lastRow == 0 && read.lastColumn == 0) {
        read.lastRow = read.firstRow;
        read.lastColumn = read.firstColumn;
    }
    area = read;
    return true;
}

// The number of cells a walk of the areas would create, counted no further than just past
// the limit.
qint64 walkedCellCount(const QStringList &areas)
{
    qint64 count = 0;
    for (const QString &text : areas) {
        Area area;
        if (readArea(text, area) && area.walkable())
            count += qMin(area.cellCount(), ExcelAddressBlock::maxWalkedCells + 1);
        if (count > ExcelAddressBlock::maxWalkedCells)
            break;
    }
    return count;
}

} // namespace

ExcelAddressBlock::ExcelAddressBlock(const QString &address, bool iterate) : m_address(address)
{
    if (!m_address.isEmpty())
        parse(iterate);
}

ExcelAddressBlock::~ExcelAddressBlock()
{
    clearSubBlocks();
}

void ExcelAddressBlock::setAddress(const QString &address, bool iterate)
{
    if (address == m_address)
        return;
    m_address = address;
    parse(iterate);
}

ExcelAddressBlock *ExcelAddressBlock::createSubBlock(const QString &address, bool iterate)
{
    auto *block = new ExcelAddressBlock;
    // Connected before parsing, so the sub-block's own announcements pass through this block.
    connect(block, &ExcelAddressBlock::rangeIterated, this, &ExcelAddressBlock::rangeIteration);
    block->setAddress(address, iterate);
    return block;
}

bool ExcelAddressBlock::isSingleCell() const
{
    return m_singleArea && m_valid && !m_entireRows && !m_entireColumns &&
           m_firstRow == m_lastRow && m_firstColumn == m_lastColumn;
}

void ExcelAddressBlock::rangeIteration(ExcelAddressBlock *block)
{
    emit rangeIterated(block);
}

void ExcelAddressBlock::parse(bool iterate)
{
    clearSubBlocks();
    resetArea();
    m_singleArea = false;
    const QStringList parts = m_address.split(u';');
    if (iterate && walkedCellCount(parts) > maxWalkedCells) {
        qCDebug(lcLink) << "Too many cells to walk:" << m_address;
        iterate = false;
    }
    if (parts.size() < 2)
        parseSingleArea(iterate);
    else
        parseAreas(parts, iterate);
    emit rangeIterated(this);
}

void ExcelAddressBlock::parseSingleArea(bool iterate)
{
    m_singleArea = true;
    Area area;
    if (!readArea(m_address, area)) {
        qCDebug(lcLink) << "Invalid address:" << m_address;
        return;
    }
    m_firstRow = area.firstRow;
    m_firstColumn = area.firstColumn;
    m_lastRow = area.lastRow;
    m_lastColumn = area.lastColumn;
    m_entireRows = area.entireRows();
    m_entireColumns = area.entireColumns();
    m_valid = area.ordered();
    if (!m_valid)
        qCDebug(lcLink) << "Invalid address:" << m_address;
    else if (iterate && area.walkable())
        walk();
}

void ExcelAddressBlock::parseAreas(const QStringList &parts, bool iterate)
{
    m_valid = true;
    for (const QString &part : parts) {
        ExcelAddressBlock *block = createSubBlock(part, iterate);
        if (!keepSubBlock(block))
            qCDebug(lcLink) << "Invalid block" << part;
    }
}

void ExcelAddressBlock::walk()
{
    // 64-bit counters: a corner may sit at the largest int.
    for (qint64 row = m_firstRow; row <= m_lastRow; ++row) {
        for (qint64 column = m_firstColumn; column <= m_lastColumn; ++column)
            keepSubBlock(createSubBlock(cellAddress(int(row), int(column)), false));
    }
}

// Keeps a parsed sub-block while this block and the sub-block are both valid; otherwise
// this block becomes invalid and the sub-block is deleted. Returns whether it was kept.
bool ExcelAddressBlock::keepSubBlock(ExcelAddressBlock *block)
{
    if (m_valid && block->m_valid) {
        m_subBlocks.append(block);
        return true;
    }
    m_valid = false;
    delete block;
    return false;
}

void ExcelAddressBlock::clearSubBlocks()
{
    qDeleteAll(m_subBlocks);
    m_subBlocks.clear();
}

void ExcelAddressBlock::resetArea()
{
    m_valid = false;
    m_entireRows = false;
    m_entireColumns = false;
    m_firstRow = 0;
    m_firstColumn = 0;
    m_lastRow = 0;
    m_lastColumn = 0;
}

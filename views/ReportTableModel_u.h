#pragma once
// The rows of one report as the table view shows them: cell texts by column, each column
// with its caption, width, alignment and the comparer its cells sort by.
#include <QAbstractTableModel>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/DisplayFormat.h"

namespace brindle {

// Which comparer orders a column's cells.
enum class TCellCompare : std::uint8_t {
    Equal,  // every pair ties (the General report)
    Text,  // ignoring ASCII case
    Int64,
    Size,  // "900.00 kB" < "1.00 MB"
    Percent,
    Date,  // the display format's short date
    DateTime,
    Duration,  // "9:59" < "25:00:00"
    MonthYear,  // "March 2024" < "January 2025"
    DayName,  // Monday .. Sunday
    NbVisit,  // visit-count bands
    LenVisit,  // visit-length bands
};

// -1, 0 or 1.
int CompareCellTexts(TCellCompare kind, std::string_view a, std::string_view b, const DisplayFormat& format);

struct TTableColumn {
    std::string Caption;
    int Width = 75;
    Qt::Alignment Alignment = Qt::AlignLeft | Qt::AlignVCenter;
    TCellCompare Compare = TCellCompare::Text;
};

struct TTableRow {
    std::vector<std::string> Texts;  // one per column
    bool Bold = false;  // the first cell is drawn bold
};

class TReportTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TReportTableModel(QObject* parent = nullptr);

    // The format the date, size and percent cells are read with when sorting.
    void SetDisplayFormat(const DisplayFormat& format) { format_ = format; }
    const DisplayFormat& Format() const { return format_; }

    // Replaces every column and row in one reset.
    void SetTable(std::vector<TTableColumn> columns, std::vector<TTableRow> rows);
    void Clear() { SetTable({}, {}); }

    const std::vector<TTableColumn>& Columns() const { return columns_; }
    // Empty outside the table or the row's texts.
    const std::string& CellText(int row, int column) const;
    bool IsBold(int row) const;
    // The column's comparer; columns outside the table compare as text.
    int CompareCells(int column, std::string_view a, std::string_view b) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Stable: rows that tie keep their order. A column outside the table changes nothing.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    std::vector<TTableColumn> columns_;
    std::vector<TTableRow> rows_;
    DisplayFormat format_;
};

}  // namespace brindle

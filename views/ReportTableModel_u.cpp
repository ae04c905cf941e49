#include "views/ReportTableModel_u.h"

#include <QFont>
#include <algorithm>
#include <numeric>

#include "core/CommonUtils_u.h"
#include "views/DisplayText_u.h"

namespace brindle {

namespace {

QString ToQString(const std::string& text) { return DisplayText(text); }

int Sign(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

}  // namespace

int CompareCellTexts(TCellCompare kind, std::string_view a, std::string_view b, const DisplayFormat& format) {
    switch (kind) {
        case TCellCompare::Equal: return 0;
        case TCellCompare::Text: return Sign(CompareStrCase(a, b, 0));
        case TCellCompare::Int64: return CompareInt64Text(a, b);
        case TCellCompare::Size: return CompareSizeText(a, b, format);
        case TCellCompare::Percent: return ComparePercentText(a, b, format);
        case TCellCompare::Date: return CompareDateText(a, b, format);
        case TCellCompare::DateTime: return CompareDateTimeText(a, b, format);
        case TCellCompare::Duration: return CompareDurationText(a, b);
        case TCellCompare::MonthYear: return CompareMonthYearText(a, b);
        case TCellCompare::DayName: return CompareDayNames(a, b);
        case TCellCompare::NbVisit: return CompareNbVisitText(a, b);
        case TCellCompare::LenVisit: return CompareLenVisitText(a, b);
    }
    return 0;
}

TReportTableModel::TReportTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void TReportTableModel::SetTable(std::vector<TTableColumn> columns, std::vector<TTableRow> rows) {
    beginResetModel();
    columns_ = std::move(columns);
    rows_ = std::move(rows);
    endResetModel();
}

const std::string& TReportTableModel::CellText(int row, int column) const {
    static const std::string empty;
    if (row < 0 || row >= rowCount() || column < 0) return empty;
    const std::vector<std::string>& texts = rows_[static_cast<std::size_t>(row)].Texts;
    return static_cast<std::size_t>(column) < texts.size() ? texts[static_cast<std::size_t>(column)] : empty;
}

bool TReportTableModel::IsBold(int row) const {
    return row >= 0 && row < rowCount() && rows_[static_cast<std::size_t>(row)].Bold;
}

int TReportTableModel::CompareCells(int column, std::string_view a, std::string_view b) const {
    const TCellCompare kind =
        column >= 0 && column < columnCount() ? columns_[static_cast<std::size_t>(column)].Compare : TCellCompare::Text;
    return CompareCellTexts(kind, a, b, format_);
}

int TReportTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TReportTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant TReportTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
    switch (role) {
        case Qt::DisplayRole: return ToQString(CellText(index.row(), index.column()));
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(columns_[static_cast<std::size_t>(index.column())].Alignment);
        case Qt::FontRole:
            if (index.column() == 0 && IsBold(index.row())) {
                // Only the weight is set, so the view's own family and size stay.
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        default: return {};
    }
}

QVariant TReportTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    const TTableColumn& column = columns_[static_cast<std::size_t>(section)];
    switch (role) {
        case Qt::DisplayRole: return ToQString(column.Caption);
        case Qt::TextAlignmentRole: return QVariant::fromValue(column.Alignment);
        default: return {};
    }
}

Qt::ItemFlags TReportTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void TReportTableModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= columnCount()) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);

    std::vector<int> positions(rows_.size());
    std::iota(positions.begin(), positions.end(), 0);
    const bool ascending = order == Qt::AscendingOrder;
    std::stable_sort(positions.begin(), positions.end(), [&](int a, int b) {
        const int result = CompareCells(column, CellText(a, column), CellText(b, column));
        return ascending ? result < 0 : result > 0;
    });

    std::vector<TTableRow> sorted;
    sorted.reserve(rows_.size());
    std::vector<int> newRow(rows_.size());
    for (std::size_t i = 0; i < positions.size(); ++i) {
        const auto from = static_cast<std::size_t>(positions[i]);
        sorted.push_back(std::move(rows_[from]));
        newRow[from] = static_cast<int>(i);
    }
    rows_ = std::move(sorted);

    // Selections and the current row follow their rows.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after.append(index.isValid() ? createIndex(newRow[static_cast<std::size_t>(index.row())], index.column())
                                     : QModelIndex());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace brindle

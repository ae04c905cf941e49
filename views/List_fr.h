#pragma once
// The table view of one report: a grid of the report's rows that the user sorts by
// clicking a column head.
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

#include "core/DisplayFormat.h"

class QFontMetrics;
class QTableView;

namespace brindle {

struct TReportSource;
class TReportTableModel;

class TfrList : public QWidget {
    Q_OBJECT
public:
    explicit TfrList(QWidget* parent = nullptr);

    // How cells are written and read back when sorting; the system locale's by default.
    void SetDisplayFormat(const DisplayFormat& format);
    const DisplayFormat& Format() const { return format_; }

    // Replaces the grid's columns and rows with one report of the analysis (its list is
    // re-sorted in place, as every reader does) and shows the frame. An id that names no
    // report leaves the grid empty.
    void ShowReport(TReportSource& source, int reportId);

    // Copies text i of the row into text i of the node for every i the node holds.
    static void SetNodeTexts(const std::vector<std::string>& rowTexts, std::vector<std::string>& nodeTexts);
    // The comparer of the shown report's column: -1, 0 or 1.
    int CompareCells(int column, std::string_view a, std::string_view b) const;

    QTableView* vt() const { return vt_; }
    const TReportTableModel& Model() const { return *model_; }
    int ReportId() const { return reportId_; }
    // -1 while no column is the sort column.
    int SortColumn() const { return sortColumn_; }
    Qt::SortOrder SortDirection() const { return sortDirection_; }

    // The widths the columns get now: the layout's widths scaled to the font, never narrower
    // than their caption, text columns widened into free space up to their text.
    std::vector<int> ColumnWidths() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void vtHeaderClick(int column);
    void FitColumns();
    // What the column's first rows need to show whole, margins included.
    int TextWidth(int column, const QFontMetrics& metrics) const;

    QTableView* vt_;
    TReportTableModel* model_;
    DisplayFormat format_;
    int reportId_ = 0;
    int sortColumn_ = -1;
    Qt::SortOrder sortDirection_ = Qt::AscendingOrder;
    bool fitting_ = false;  // the widths are being set by FitColumns
    bool userSized_ = false;  // the user has dragged a column since the report was shown
};

}  // namespace brindle

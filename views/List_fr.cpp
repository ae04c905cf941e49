#include "views/List_fr.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QHeaderView>
#include <QHelpEvent>
#include <QStyle>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

#include "core/ReportTxt_u.h"
#include "engine/ReportContent_u.h"
#include "engine/ReportSource.h"
#include "views/LocaleFormat_u.h"
#include "views/ReportTableModel_u.h"

namespace brindle {

namespace {

constexpr int kRowHeight = 16;
constexpr int kHeaderHeight = 19;
// The layout's column widths are pixels of an 8-point sans serif font whose average
// character is 5 pixels wide; they grow with the font actually used.
constexpr double kDesignCharWidth = 5.0;

using K = TCellCompare;

struct TColumnLayout {
    int Width = 150;
    bool Right = false;
    TCellCompare Compare = TCellCompare::Text;
};

// Widths, alignments and comparers of a table report's columns, and the order its rows
// come in (the order of the content rules' sort).
struct TReportLayout {
    std::vector<TColumnLayout> Columns;
    int SortColumn = -1;
    Qt::SortOrder Order = Qt::AscendingOrder;
};

constexpr TColumnLayout L(int width, TCellCompare compare) { return {width, false, compare}; }
constexpr TColumnLayout R(int width, TCellCompare compare) { return {width, true, compare}; }

TReportLayout Ascending(std::vector<TColumnLayout> columns, int sortColumn) {
    return {std::move(columns), sortColumn, Qt::AscendingOrder};
}
TReportLayout Descending(std::vector<TColumnLayout> columns, int sortColumn) {
    return {std::move(columns), sortColumn, Qt::DescendingOrder};
}

// Month, day, hour, weekday or day of month, then the traffic of that period.
TReportLayout PeriodLayout(TCellCompare first) {
    return Ascending({L(100, first), R(75, K::Int64), R(75, K::Int64), R(75, K::Size), R(75, K::Int64), R(75, K::Int64),
                      R(125, K::Duration)},
                     0);
}

// A name, then hits, visits and bandwidth, each with its share.
TReportLayout ShareLayout(int sortColumn) {
    return Descending({L(150, K::Text), R(75, K::Int64), R(75, K::Percent), R(75, K::Int64), R(75, K::Percent),
                       R(75, K::Size), R(75, K::Percent)},
                      sortColumn);
}

bool IsOneOf(std::string_view key, std::initializer_list<std::string_view> keys) {
    return std::find(keys.begin(), keys.end(), key) != keys.end();
}

TReportLayout LayoutOf(std::string_view key) {
    if (key == "ByMon") return PeriodLayout(K::MonthYear);
    if (key == "ByDay") return PeriodLayout(K::Date);
    if (key == "ByHod") return PeriodLayout(K::Text);
    if (key == "ByDow") return PeriodLayout(K::DayName);
    if (key == "ByDom") return PeriodLayout(K::Int64);
    if (IsOneOf(key, {"ByTld", "ByCountry", "ByRegion", "ByUserName"})) return ShareLayout(3);
    if (IsOneOf(key, {"ByBrowser", "ByOS"})) return ShareLayout(1);
    if (key == "BySpider")
        return Descending({L(150, K::Text), R(75, K::Int64), R(75, K::Percent), R(75, K::Int64), R(75, K::Percent)}, 1);
    if (IsOneOf(key, {"ByDomain", "ByHost"}))
        return Descending({L(150, K::Text), L(150, K::Text), R(75, K::Int64), R(75, K::Int64), R(75, K::Size)}, 3);
    if (key == "ByRecent")
        return Descending({L(150, K::Text), L(150, K::Text), R(75, K::Int64), R(75, K::Int64), R(150, K::DateTime)}, 4);
    if (key == "ByNbVisit") return Ascending({L(150, K::NbVisit), R(75, K::Int64), R(75, K::Percent)}, 0);
    if (key == "ByLenVisit") return Ascending({L(150, K::LenVisit), R(75, K::Int64), R(75, K::Percent)}, 0);
    if (IsOneOf(key, {"ByAllFiles", "ByFileDoc", "ByFileFile", "ByFileImg", "ByFileAudio", "ByFileVideo", "ByFileDir",
                      "ByRefDomain", "ByRefPage"}))
        return Descending({L(150, K::Text), R(75, K::Int64), R(75, K::Int64), R(75, K::Size), R(75, K::Int64)}, 2);
    if (IsOneOf(key, {"ByFileExt", "ByFileType"}))
        return Descending({L(150, K::Text), R(75, K::Int64), R(75, K::Size), R(75, K::Int64)}, 1);
    if (IsOneOf(key, {"ByTopIn", "ByTopOut", "ByRefSE", "ByRefSEP", "ByRefSEK"}))
        return Descending({L(150, K::Text), R(75, K::Int64)}, 1);
    if (IsOneOf(key, {"ByRefSESEP", "ByRefSESEK"}))
        return Descending({L(150, K::Text), L(150, K::Text), R(75, K::Int64)}, 2);
    if (key == "ByErr404") return Descending({L(150, K::Text), L(150, K::Text), R(50, K::Int64)}, 2);
    if (key == "ByErrMisc")
        return Descending({L(50, K::Int64), L(150, K::Text), L(150, K::Text), L(150, K::Text), R(50, K::Int64)}, 4);
    if (key == "ByErrType") return Descending({L(75, K::Int64), L(200, K::Text), R(75, K::Int64)}, 2);
    if (IsOneOf(key, {"ByUSState", "ByCAProv", "ByCNProv", "ByCity"}))
        return Descending({L(150, K::Text), R(75, K::Int64), R(75, K::Int64), R(75, K::Size)}, 2);
    return {};
}

Qt::Alignment AlignmentOf(bool right) { return (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter; }

// Everything one report puts into the grid.
struct TGridContent {
    std::vector<TTableColumn> Columns;
    std::vector<TTableRow> Rows;
    int SortColumn = -1;
    Qt::SortOrder Order = Qt::AscendingOrder;
};

TGridContent GeneralContent(const TReportSource& source, const DisplayFormat& format) {
    constexpr int kWidth = 175;
    const TRecColumnTxt& captions = BuiltInReportTxt().Column;
    const Qt::Alignment left = AlignmentOf(false);
    TGridContent content;
    content.Columns = {{captions.Item, kWidth, left, K::Equal}, {captions.Value, kWidth, left, K::Equal}};
    for (TGeneralItem& item : GeneralReportItems(source, nullptr, format)) {
        TTableRow row;
        row.Texts.resize(content.Columns.size());
        row.Texts[0] = std::move(item.Caption);
        // A category heading holds only its title, drawn bold.
        if (!item.IsCategory) row.Texts[1] = std::move(item.Value);
        row.Bold = item.IsCategory;
        content.Rows.push_back(std::move(row));
    }
    return content;
}

TGridContent TableContent(TReportSource& source, const TReportRule& rule, const DisplayFormat& format) {
    const TReportLayout layout = LayoutOf(rule.Key);
    const std::vector<std::string> captions = ReportColumnCaptions(rule, nullptr);
    TGridContent content;
    for (std::size_t i = 0; i < captions.size(); ++i) {
        // A column the layout does not know is a left-aligned text column.
        const TColumnLayout column = i < layout.Columns.size() ? layout.Columns[i] : TColumnLayout{};
        content.Columns.push_back({captions[i], column.Width, AlignmentOf(column.Right), column.Compare});
    }
    for (std::vector<std::string>& texts :
         ReadReportRows(source, rule.ID, nullptr, format, TReportConsumer::TableView)) {
        TTableRow row;
        row.Texts.resize(content.Columns.size());
        TfrList::SetNodeTexts(texts, row.Texts);
        content.Rows.push_back(std::move(row));
    }
    // The rows already come in this order: the content rules sorted the source by it.
    if (layout.SortColumn < static_cast<int>(content.Columns.size())) {
        content.SortColumn = layout.SortColumn;
        content.Order = layout.Order;
    }
    return content;
}

// No focus rectangle, and a hint with the whole text of a cell drawn cut short.
class TCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event->type() != QEvent::ToolTip || !view || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const int margins = 2 * (view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1);
        const int available = view->visualRect(index).width() - margins;
        if (cell.text.isEmpty() || QFontMetrics(cell.font).horizontalAdvance(cell.text) <= available) {
            QToolTip::hideText();
            event->ignore();
            return true;
        }
        QToolTip::showText(event->globalPos(), cell.text, view);
        return true;
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->state &= ~QStyle::State_HasFocus;
    }
};

}  // namespace

TfrList::TfrList(QWidget* parent)
    : QWidget(parent),
      vt_(new QTableView(this)),
      model_(new TReportTableModel(this)),
      format_(DisplayFormatFromLocale(QLocale::system())) {
    model_->SetDisplayFormat(format_);
    vt_->setObjectName("vt");
    vt_->setModel(model_);
    vt_->setItemDelegate(new TCellDelegate(vt_));
    vt_->setSelectionBehavior(QAbstractItemView::SelectRows);
    vt_->setSelectionMode(QAbstractItemView::SingleSelection);
    vt_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vt_->setWordWrap(false);
    vt_->setCornerButtonEnabled(false);
    // The grid sorts only when a column head is clicked.
    vt_->setSortingEnabled(false);
    vt_->setShowGrid(false);

    QHeaderView* rows = vt_->verticalHeader();
    rows->hide();
    const int rowHeight = std::max(kRowHeight, vt_->fontMetrics().height() + 2);
    rows->setMinimumSectionSize(rowHeight);
    rows->setDefaultSectionSize(rowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);

    QHeaderView* header = vt_->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setStretchLastSection(false);
    header->setHighlightSections(false);
    header->setMinimumHeight(kHeaderHeight);
    header->setSortIndicatorShown(false);
    connect(header, &QHeaderView::sectionClicked, this, &TfrList::vtHeaderClick);
    connect(header, &QHeaderView::sectionResized, this, [this] {
        if (!fitting_) userSized_ = true;
    });
    vt_->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(vt_);
}

void TfrList::SetDisplayFormat(const DisplayFormat& format) {
    format_ = format;
    model_->SetDisplayFormat(format);
}

void TfrList::ShowReport(TReportSource& source, int reportId) {
    // Read everything first: a failure leaves the grid as it was.
    TGridContent content;
    if (reportId == kGeneralReportID)
        content = GeneralContent(source, format_);
    else if (const TReportRule* rule = FindReportRule(reportId))
        content = TableContent(source, *rule, format_);

    reportId_ = reportId;
    vt_->setUpdatesEnabled(false);
    QHeaderView* header = vt_->horizontalHeader();
    header->setSortIndicatorShown(false);
    header->setSortIndicator(-1, Qt::AscendingOrder);
    vt_->setShowGrid(source.Options.ShowGridLines == 1);

    model_->SetTable(std::move(content.Columns), std::move(content.Rows));
    userSized_ = false;
    FitColumns();

    sortColumn_ = content.SortColumn;
    sortDirection_ = content.Order;
    if (sortColumn_ >= 0) {
        header->setSortIndicator(sortColumn_, sortDirection_);
        header->setSortIndicatorShown(true);
    }
    vt_->scrollToTop();
    vt_->setUpdatesEnabled(true);
    show();
}

std::vector<int> TfrList::ColumnWidths() const {
    const QHeaderView* header = vt_->horizontalHeader();
    const QFontMetrics cells(vt_->font());
    const QFontMetrics heads(header->font());
    // Room for the header's margins and its sort glyph.
    const int headPadding = 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header) +
                            heads.height() + heads.averageCharWidth();
    const double scale = std::max(1.0, cells.averageCharWidth() / kDesignCharWidth);
    const std::vector<TTableColumn>& columns = model_->Columns();
    std::vector<int> widths;
    int total = 0;
    for (const TTableColumn& column : columns) {
        const int scaled = static_cast<int>(std::lround(column.Width * scale));
        const int caption = heads.horizontalAdvance(QString::fromStdString(column.Caption)) + headPadding;
        widths.push_back(std::max(scaled, caption));
        total += widths.back();
    }
    // Text columns whose shown cells are cut grow into the empty grid beside them, each up
    // to what its text needs, left to right.
    int free = vt_->viewport()->width() - total;
    for (std::size_t i = 0; i < columns.size() && free > 0; ++i) {
        if (columns[i].Alignment & Qt::AlignRight) continue;
        const int need = TextWidth(static_cast<int>(i), cells) - widths[i];
        if (need <= 0) continue;
        const int grow = std::min(need, free);
        widths[i] += grow;
        free -= grow;
    }
    return widths;
}

int TfrList::TextWidth(int column, const QFontMetrics& metrics) const {
    // The rows a user sees first; the tool tip shows the rest whole.
    constexpr int kMeasuredRows = 500;
    const int rows = std::min(model_->rowCount(), kMeasuredRows);
    int widest = 0;
    for (int row = 0; row < rows; ++row)
        widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(model_->CellText(row, column))));
    const int margins = 2 * (vt_->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, vt_) + 1);
    return widest + margins + metrics.averageCharWidth();
}

void TfrList::FitColumns() {
    const std::vector<int> widths = ColumnWidths();
    QHeaderView* header = vt_->horizontalHeader();
    fitting_ = true;
    for (std::size_t i = 0; i < widths.size(); ++i) header->resizeSection(static_cast<int>(i), widths[i]);
    fitting_ = false;
}

bool TfrList::eventFilter(QObject* watched, QEvent* event) {
    // The grid gets its size only once laid out: the widths follow it until the user sets one.
    if (watched == vt_->viewport() && event->type() == QEvent::Resize && !userSized_) FitColumns();
    return QWidget::eventFilter(watched, event);
}

void TfrList::SetNodeTexts(const std::vector<std::string>& rowTexts, std::vector<std::string>& nodeTexts) {
    const std::size_t count = std::min(rowTexts.size(), nodeTexts.size());
    for (std::size_t i = 0; i < count; ++i) nodeTexts[i] = rowTexts[i];
}

int TfrList::CompareCells(int column, std::string_view a, std::string_view b) const {
    return model_->CompareCells(column, a, b);
}

void TfrList::vtHeaderClick(int column) {
    if (sortColumn_ < 0 || column != sortColumn_) {
        sortColumn_ = column;
        sortDirection_ = Qt::AscendingOrder;
    } else {
        sortDirection_ = sortDirection_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    }
    // The header may have moved its glyph on its own; ours is the one that counts.
    vt_->horizontalHeader()->setSortIndicator(sortColumn_, sortDirection_);
    model_->sort(sortColumn_, sortDirection_);
}

}  // namespace brindle

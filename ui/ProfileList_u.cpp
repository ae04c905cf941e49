#include "ui/ProfileList_u.h"

#include <algorithm>

#include "core/CommonConsts_tables.h"
#include "core/CommonUtils_u.h"
#include "core/Profiles_u.h"

namespace brindle {

namespace {

constexpr const char* kColumnCaptions[kProfileColumnCount] = {"Name", "URL", "Format", "Filter", "DNS", "Description"};

std::string YesNo(bool value) { return value ? "Yes" : "No"; }

std::string OneLine(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '\r') continue;
        out.push_back(c == '\n' ? ' ' : c);
    }
    return out;
}

}  // namespace

TProfileRowTexts ProfileRowTexts(const TProfile& profile) {
    std::string urls;
    for (const TRecLogFileProperty& location : profile.LogFiles) {
        if (!urls.empty()) urls += ';';
        if (location.LogFileType != "file://") urls += location.LogFileType;
        urls += location.LogFileURL;
    }
    return {profile.Name,
            urls,
            GetLogFormatName(profile.LogFileFormat),
            YesNo(!profile.Filters.IsEmpty()),
            YesNo(profile.DNSLookup != 0),
            OneLine(profile.Description)};
}

TProfileListModel::TProfileListModel(QObject* parent) : QAbstractTableModel(parent) {}

void TProfileListModel::Fill(TLstProfile& profiles) {
    beginResetModel();
    rows_.clear();
    rows_.reserve(profiles.Count());
    for (std::size_t i = 0; i < profiles.Count(); ++i) rows_.push_back({ProfileRowTexts(profiles[i]), &profiles[i]});
    endResetModel();
    SortRows(0, Qt::AscendingOrder);
}

void TProfileListModel::Clear() {
    beginResetModel();
    rows_.clear();
    endResetModel();
}

void TProfileListModel::SortRows(int column, Qt::SortOrder order) {
    if (column < 0 || column >= kProfileColumnCount) return;
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<TProfile*> beforeProfiles;
    for (const QModelIndex& index : before) beforeProfiles.push_back(ProfileAt(index.row()));
    const auto col = static_cast<std::size_t>(column);
    std::stable_sort(rows_.begin(), rows_.end(), [&](const TRow& a, const TRow& b) {
        const int c = CompareStrCase(a.Texts[col], b.Texts[col], 0);
        return order == Qt::AscendingOrder ? c < 0 : c > 0;
    });
    // Selections and the current row follow their profiles.
    QModelIndexList after;
    for (qsizetype i = 0; i < before.size(); ++i) {
        const auto found = std::find_if(rows_.begin(), rows_.end(), [&](const TRow& row) {
            return row.Profile == beforeProfiles[static_cast<std::size_t>(i)];
        });
        after.push_back(index(static_cast<int>(found - rows_.begin()), before[i].column()));
    }
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

TProfile* TProfileListModel::ProfileAt(int row) const {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return nullptr;
    return rows_[static_cast<std::size_t>(row)].Profile;
}

int TProfileListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TProfileListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kProfileColumnCount;
}

QVariant TProfileListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole) return {};
    if (index.row() >= static_cast<int>(rows_.size()) || index.column() >= kProfileColumnCount) return {};
    return QString::fromStdString(
        rows_[static_cast<std::size_t>(index.row())].Texts[static_cast<std::size_t>(index.column())]);
}

QVariant TProfileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kProfileColumnCount)
        return {};
    return QString::fromUtf8(kColumnCaptions[section]);
}

}  // namespace brindle

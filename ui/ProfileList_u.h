#pragma once
// The rows of the profile list: six texts per profile, sorted by a column without regard to
// case. The model refers to the profiles of the list and never owns them.
#include <QAbstractTableModel>
#include <array>
#include <string>
#include <vector>

namespace brindle {

class TProfile;
class TLstProfile;

constexpr int kProfileColumnCount = 6;
using TProfileRowTexts = std::array<std::string, kProfileColumnCount>;

// Name, URL (locations joined by ";", a "file://" location as its path alone), Format,
// Filter ("Yes"/"No"), DNS ("Yes"/"No"), Description (CR removed, LF as a blank).
TProfileRowTexts ProfileRowTexts(const TProfile& profile);

class TProfileListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TProfileListModel(QObject* parent = nullptr);

    // One row per profile in list order, then sorted by Name ascending.
    void Fill(TLstProfile& profiles);
    void Clear();
    // Case-insensitive by the column's texts; -1 leaves the order.
    void SortRows(int column, Qt::SortOrder order);

    TProfile* ProfileAt(int row) const;
    const TProfileRowTexts& TextsAt(int row) const { return rows_.at(static_cast<std::size_t>(row)).Texts; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    struct TRow {
        TProfileRowTexts Texts;
        TProfile* Profile = nullptr;
    };
    std::vector<TRow> rows_;
};

}  // namespace brindle

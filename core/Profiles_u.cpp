#include "core/Profiles_u.h"

#include "core/CommonConsts_catalogue.h"

namespace brindle {

TRecLogFileProperty& TLstLogFileProperty::Add(const TRecLogFileProperty& rec) { return items_.emplace_back(rec); }

std::size_t TLstReportProperty::Add(const TRecReportProperty& rec) {
    items_.push_back(rec);
    return items_.size() - 1;
}

bool TLstReportProperty::Find(int id, TRecReportProperty& rec, bool useDefault) const {
    for (const auto& item : items_) {
        if (item.ID == id) {
            rec = item;
            return true;
        }
    }
    if (!useDefault) return false;
    const TRecReportProperty* row = FindDefaultReportProperty(id);
    if (!row) return false;
    rec = *row;
    return true;
}

bool TLstReportProperty::Replace(int id, const TRecReportProperty& rec) {
    for (auto& item : items_) {
        if (item.ID == id) {
            item = rec;
            return true;
        }
    }
    return false;
}

TRecFilterProperty& TLstFilterProperty::Add(const TRecFilterProperty& rec) { return items_.emplace_back(rec); }

void TProfile::Assign(const TProfile& source) {
    if (this != &source) *this = source;
}

TReportSet TProfile::GetEnabledReports() const {
    TReportSet set;
    for (const auto& rec : Reports)
        if (rec.Enable != 0) set.Include(rec.ID);  // ids above 143 are never members
    return set;
}

TLstProfile::TLstProfile(const TLstProfile& other) {
    items_.reserve(other.items_.size());
    for (const auto& profile : other.items_) items_.push_back(std::make_unique<TProfile>(*profile));
}

TLstProfile& TLstProfile::operator=(const TLstProfile& other) {
    if (this != &other) {
        TLstProfile copy(other);
        *this = std::move(copy);
    }
    return *this;
}

std::size_t TLstProfile::Add(std::unique_ptr<TProfile> profile) {
    if (!profile) return items_.size();
    items_.push_back(std::move(profile));
    return items_.size() - 1;
}

void TLstProfile::Delete(std::size_t index) {
    if (index < items_.size()) items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}

TProfile* TLstProfile::FindByName(std::string_view name) {
    for (auto& profile : items_)
        if (profile->Name == name) return profile.get();
    return nullptr;
}

const TProfile* TLstProfile::FindByName(std::string_view name) const {
    return const_cast<TLstProfile*>(this)->FindByName(name);
}

bool operator==(const TLstProfile& a, const TLstProfile& b) {
    if (a.items_.size() != b.items_.size()) return false;
    for (std::size_t i = 0; i < a.items_.size(); ++i)
        if (!(*a.items_[i] == *b.items_[i])) return false;
    return true;
}

}  // namespace brindle

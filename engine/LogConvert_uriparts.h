#pragma once
// The extension and folder of the URLs a list's hits name. Both follow from the cleaned URL,
// so a hit record keeps only the URL's index and these are looked up by it: eight bytes
// less per hit than two more indices in every record.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/LogConvert_record.h"

namespace brindle {

struct TURIPartIndices {
    std::int32_t ExtIdx = 0;
    std::int32_t PathIdx = 0;
};

class TURIParts {
public:
    // The parts of the record's URL, or of a hit with no request line (whose URL, extension
    // and folder are all empty texts, a folder the empty URL of a request never has).
    void Set(const TRecLog& rec, TURIPartIndices parts) {
        if (rec.NoRequest) {
            SetForNoRequest(parts);
            return;
        }
        SetForURI(rec.URIIdx, parts);
    }
    void SetForURI(std::int32_t uri, TURIPartIndices parts) {
        const auto at = static_cast<std::size_t>(uri);
        if (at >= byURI_.size()) byURI_.resize(at + 1, {kUnset, kUnset});
        byURI_[at] = parts;
    }
    void SetForNoRequest(TURIPartIndices parts) { none_ = parts; }
    // Takes over what Other set, in the same indices.
    void Add(const TURIParts& other) {
        other.ForEachSet([this](std::int32_t uri, const TURIPartIndices& parts) { SetForURI(uri, parts); });
        if (other.HasNoRequest()) none_ = other.none_;
    }

    // Index 0 for a URL nothing was set for, as a record made by hand has.
    const TURIPartIndices& Of(const TRecLog& rec) const {
        if (rec.NoRequest) return none_.ExtIdx != kUnset ? none_ : kNone;
        const auto at = static_cast<std::size_t>(rec.URIIdx);
        return at < byURI_.size() && byURI_[at].ExtIdx != kUnset ? byURI_[at] : kNone;
    }
    std::int32_t ExtOf(const TRecLog& rec) const { return Of(rec).ExtIdx; }
    std::int32_t PathOf(const TRecLog& rec) const { return Of(rec).PathIdx; }

    // Visit(url, parts) for every URL whose parts were set, for a merge that renumbers them.
    template <class Visit>
    void ForEachSet(Visit visit) const {
        for (std::size_t i = 0; i < byURI_.size(); ++i)
            if (byURI_[i].ExtIdx != kUnset) visit(static_cast<std::int32_t>(i), byURI_[i]);
    }
    bool HasNoRequest() const { return none_.ExtIdx != kUnset; }
    const TURIPartIndices& NoRequestParts() const { return none_; }

    void Clear() {
        byURI_ = std::vector<TURIPartIndices>();
        none_ = {kUnset, kUnset};
    }

private:
    static constexpr std::int32_t kUnset = -1;
    static constexpr TURIPartIndices kNone{};
    std::vector<TURIPartIndices> byURI_;
    TURIPartIndices none_{kUnset, kUnset};
};

}  // namespace brindle

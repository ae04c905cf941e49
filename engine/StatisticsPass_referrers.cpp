#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "core/Options_u.h"
#include "engine/StatisticsPass_group.h"

namespace brindle::statpass {

void TStatisticsPass::ByReferrer(TLane& lane) {
    constexpr TWalkRule rule{.Pages = true, .Days = TDailyCounts::Visits};
    GroupNamed(
        lane, rule, TRecKey::Referrer, [](const TRecLog& r) { return r.ReferrerIdx; }, In.ReferrerTable,
        S.StatByRefPage);
    // The sites and the search lists only read the pages, and a log of many search
    // referrers holds most of its result in these lists: all of them are lean from here on.
    S.StatByRefPage.Compact();
}

// The sites are pieces of the page names, which stay put while the step runs.
void TStatisticsPass::ByReferrerSite(TLane&) {
    const TLstStat& pages = S.StatByRefPage;
    std::vector<TRegroupName> sites;
    sites.reserve(pages.Count());
    for (std::size_t i = 0; i < pages.Count(); ++i) {
        const std::string_view site = ReferrerSiteOf(pages[i].Name);
        sites.push_back({site.data(), static_cast<std::uint32_t>(site.size()), static_cast<std::uint32_t>(i)});
    }
    // A site of more than a short name's length is a piece of a long page name, in the store.
    RegroupRows(pages, sites, S.StatByRefDomain, true, Workers, {.InStore = true});
}

// Each referring page is read once: its engine by number and its phrase, a piece of the
// page name or else a copy in an arena; the keywords are pieces of the phrase. The five
// lists are regrouped one after the other from these, and what one list no longer needs is
// given back before the next grows.
void TStatisticsPass::BySearch(TLane&) {
    const TLstStat& pages = S.StatByRefPage;
    std::optional<TSearchEngineMatcher> own;
    if (!In.SearchEngineMatcher || !In.SearchEngineMatcher->IsFor(In.SearchEngines)) own.emplace(In.SearchEngines);
    const TSearchEngineMatcher& matcher = own ? *own : *In.SearchEngineMatcher;
    std::vector<std::string_view> engineNames;
    for (const TRecSEType& engine : In.SearchEngines) engineNames.push_back(engine.Name);
    const std::size_t count = pages.Count();
    const std::size_t parts = std::clamp<std::size_t>(count / kRowsPerPart, 1, Workers);
    std::vector<std::int32_t> engineOf(count, -1);
    std::vector<TTextArena> texts(parts);
    // Each part fills its own stretch, one item per page at most; the stretches are then
    // closed up in order.
    std::vector<TRegroupName> phrases(count);
    std::vector<std::size_t> filled(parts);
    RunParts(parts, [&](std::size_t part) {
        THostReferrerHelper helper;
        const std::size_t from = count * part / parts;
        std::size_t to = from;
        for (std::size_t i = from; i < count * (part + 1) / parts; ++i) {
            helper.ExtractSearchPhrase(pages[i].Name, matcher);
            if (helper.SearchEngineIndex < 0) continue;
            engineOf[i] = helper.SearchEngineIndex;
            // Mostly the phrase stands in the referrer as it is: no copy is needed then.
            const std::string_view referrer = pages[i].Name;
            const std::size_t at = referrer.find(helper.SearchPhrase);
            const std::string_view phrase = at != std::string_view::npos
                                                ? referrer.substr(at, helper.SearchPhrase.size())
                                                : texts[part].Keep(helper.SearchPhrase);
            phrases[to++] = {phrase.data(), static_cast<std::uint32_t>(phrase.size()), static_cast<std::uint32_t>(i)};
        }
        filled[part] = to - from;
    });
    std::size_t found = 0;
    for (std::size_t part = 0; part < parts; ++part) {
        const auto from = phrases.begin() + static_cast<std::ptrdiff_t>(count * part / parts);
        std::copy(from, from + static_cast<std::ptrdiff_t>(filled[part]),
                  phrases.begin() + static_cast<std::ptrdiff_t>(found));
        found += filled[part];
    }
    phrases.resize(found);
    phrases.shrink_to_fit();
    // The phrases that are not pieces of their page names now lie in the store too.
    for (TTextArena& part : texts) S.Texts.Adopt(std::move(part));
    TTextArena joined;
    const TRegroupPrefixes byEngine{engineNames, engineOf};

    // The lists that need the most room to build come first, while the fewest rows exist.
    std::vector<TRegroupName> work;
    work.reserve(phrases.size());
    for (const TRegroupName& phrase : phrases) {
        const std::string_view engine = engineNames[static_cast<std::size_t>(engineOf[phrase.Source])];
        work.push_back({engine.data(), static_cast<std::uint32_t>(engine.size()), phrase.Source});
    }
    RegroupRows(pages, work, S.StatByRefSE, true, Workers, {.Arena = &joined});
    work = std::vector<TRegroupName>();  // "= {}" would keep the room
    // Every piece between single blanks, empty ones included.
    std::size_t keywords = 0;
    for (const TRegroupName& phrase : phrases) keywords += 1 + std::count(phrase.Text, phrase.Text + phrase.Size, ' ');
    work.reserve(keywords);
    for (const TRegroupName& phrase : phrases) {
        std::string_view rest = phrase.View();
        while (true) {
            const std::size_t blank = rest.find(' ');
            const std::string_view keyword = rest.substr(0, blank);
            work.push_back({keyword.data(), static_cast<std::uint32_t>(keyword.size()), phrase.Source});
            if (blank == std::string_view::npos) break;
            rest.remove_prefix(blank + 1);
        }
    }
    for (TLstStat* list : {&S.StatByRefSEK, &S.StatByRefSESEK, &S.StatByRefSEP, &S.StatByRefSESEP}) list->Compact();
    RegroupRows(pages, work, S.StatByRefSEK, true, Workers, {.InStore = true});
    RegroupRows(pages, work, byEngine, S.StatByRefSESEK, false, Workers, &joined);
    work = std::vector<TRegroupName>();
    ReleaseFreedMemory();
    RegroupRows(pages, phrases, S.StatByRefSEP, true, Workers, {.InStore = true});
    RegroupRows(pages, phrases, byEngine, S.StatByRefSESEP, false, Workers, &joined);
    S.Texts.Adopt(std::move(joined));
}

}  // namespace brindle::statpass

#include "engine/LogConvert_agents.h"

#include <algorithm>

namespace brindle {

namespace {

const std::string& NoName() {
    static const std::string empty;
    return empty;
}

// Counting sort of entry numbers by a key of Keys values; entries with no key (-1) are left out.
void GroupByKey(const std::vector<int>& keyOf, std::size_t keys, std::vector<std::uint32_t>& start,
                std::vector<std::int32_t>& grouped) {
    start.assign(keys + 1, 0);
    for (const int key : keyOf)
        if (key >= 0) ++start[static_cast<std::size_t>(key) + 1];
    for (std::size_t i = 1; i < start.size(); ++i) start[i] += start[i - 1];
    grouped.assign(start.back(), 0);
    std::vector<std::uint32_t> next(start.begin(), start.end() - 1);
    for (std::size_t e = 0; e < keyOf.size(); ++e)
        if (keyOf[e] >= 0) grouped[next[static_cast<std::size_t>(keyOf[e])]++] = static_cast<std::int32_t>(e);
}

}  // namespace

TAgentMatcher::TAgentMatcher(const TLstUAType& list) {
    std::vector<int> pairOf;
    std::vector<int> byteOf;
    for (const TRecUAType& rec : list) {
        IDs.push_back(rec.ID);
        Names.push_back(rec.Name);
        const std::string& id = rec.ID;
        const int first = id.empty() ? 0 : static_cast<unsigned char>(id[0]);
        pairOf.push_back(id.size() >= 2 ? first << 8 | static_cast<unsigned char>(id[1]) : -1);
        byteOf.push_back(id.size() == 1 ? first : -1);
    }
    ByPair = TPairGroups(pairOf);
    GroupByKey(byteOf, 256, ByteStart, ByByte);
}

int TAgentMatcher::FindIndex(std::string_view agent) const {
    if (IDs.empty()) return -1;
    // The lowest entry number found anywhere in the agent wins.
    auto best = static_cast<std::int32_t>(IDs.size());
    const auto* text = reinterpret_cast<const unsigned char*>(agent.data());
    const std::size_t size = agent.size();
    for (std::size_t i = 0; i < size; ++i) {
        for (std::uint32_t k = ByteStart[text[i]]; k < ByteStart[text[i] + 1u]; ++k) {
            best = std::min(best, ByByte[k]);
            break;  // in list order: the first is the lowest
        }
        if (i + 1 == size) break;
        const std::size_t pair = static_cast<std::size_t>(text[i]) << 8 | text[i + 1];
        for (const std::int32_t e : ByPair.Group(pair)) {
            if (e >= best) break;
            const std::string& id = IDs[static_cast<std::size_t>(e)];
            if (agent.compare(i, id.size(), id) == 0) {
                best = e;
                break;
            }
        }
    }
    return best < static_cast<std::int32_t>(IDs.size()) ? best : -1;
}

const std::string& TAgentMatcher::FindName(std::string_view agent) const {
    const int index = FindIndex(agent);
    return index < 0 ? NoName() : Names[static_cast<std::size_t>(index)];
}

bool TAgentMatcher::IsFor(const TLstUAType& list) const {
    if (list.Count() != IDs.size()) return false;
    for (std::size_t e = 0; e < IDs.size(); ++e)
        if (list[e].ID != IDs[e] || list[e].Name != Names[e]) return false;
    return true;
}

}  // namespace brindle

#pragma once
// Classifying user agents by the first list entry whose ID occurs in the agent, without
// searching the agent once per entry: a log whose agents are all distinct classifies every
// line, against lists of hundreds of IDs.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/Options_u.h"
#include "engine/PairGroups_u.h"

namespace brindle {

class TAgentMatcher {
public:
    TAgentMatcher() = default;
    // The list is copied: the matcher answers for it as it is now.
    explicit TAgentMatcher(const TLstUAType& list);

    // The answer of list.FindIndex(agent).
    int FindIndex(std::string_view agent) const;
    // The answer of list.FindName(agent).
    const std::string& FindName(std::string_view agent) const;
    // Whether the matcher was made from a list equal to this one: its tables take longer to
    // build than comparing the lists, and most runs keep the lists of the run before.
    bool IsFor(const TLstUAType& list) const;

private:
    std::vector<std::string> IDs;
    std::vector<std::string> Names;
    // Entries by the two bytes their ID starts with, in list order; one-byte IDs by their
    // byte likewise: ByByte[ByteStart[b] .. ByteStart[b + 1]).
    TPairGroups ByPair;
    std::vector<std::uint32_t> ByteStart;
    std::vector<std::int32_t> ByByte;
};

}  // namespace brindle

#pragma once
// The table entries one piece of a log used, each once, in the order the piece first used
// them. A parser that keeps its tables from piece to piece hands this to the merge, which
// interns exactly those texts in that order: what a single thread reading the pieces one
// after the other would have added to its tables, and when.
#include <array>
#include <cstdint>
#include <vector>

#include "engine/LogConvert_tables.h"

namespace brindle {

class TPieceTouches {
public:
    using TLists = std::array<std::vector<std::int32_t>, TableCount>;

    bool Enabled() const { return On; }
    void Enable() { On = true; }
    // Starts the next piece: every entry counts as unused again.
    void StartPiece() {
        ++Piece;
        for (std::vector<std::int32_t>& list : First) list.clear();
        Last.fill(-1);
    }
    void Touch(TTableId table, std::int32_t index) {
        // Neighbouring hits mostly repeat a table's entry: a repeat needs no look-up.
        if (!On || Last[table] == index) return;
        Last[table] = index;
        std::vector<std::uint32_t>& seen = Seen[table];
        const auto at = static_cast<std::size_t>(index);
        if (at >= seen.size()) seen.resize(at + 1 + at / 2, 0);
        if (seen[at] == Piece) return;
        seen[at] = Piece;
        First[table].push_back(index);
    }
    // The entries the piece used, by table, in first-use order; leaves the lists empty.
    TLists Take() {
        TLists lists;
        lists.swap(First);
        return lists;
    }

private:
    bool On = false;
    std::uint32_t Piece = 1;
    std::array<std::vector<std::uint32_t>, TableCount> Seen;  // the last piece that used each entry
    TLists First;
    std::array<std::int32_t, TableCount> Last = [] {  // the entry each table touched last
        std::array<std::int32_t, TableCount> none;
        none.fill(-1);
        return none;
    }();
};

}  // namespace brindle

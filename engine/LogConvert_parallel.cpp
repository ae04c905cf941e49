#include "engine/LogConvert_parallel.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <filesystem>
#include <limits>
#include <memory>
#include <mutex>
#include <numeric>
#include <stdexcept>
#include <string_view>
#include <thread>

#include <cstring>

#include "core/FileStreamEx_u.h"
#include "engine/ForkJoin_u.h"
#include "engine/LogConvert_store.h"

namespace brindle {

unsigned TParseSettings::ThreadCount() const {
    if (Threads > 0) return Threads;
    return std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
}

unsigned TParseSettings::ThreadCountFor(std::int64_t totalBytes) const {
    if (Threads > 0) return Threads;
    const std::int64_t worth = totalBytes / std::max<std::int64_t>(BytesPerThread, 1);
    return static_cast<unsigned>(std::clamp<std::int64_t>(worth, 1, ThreadCount()));
}

namespace {

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

// A whole file, or one byte range of a file read in several.
struct TPiece {
    std::size_t File = 0;
    TLogParser::TFileRange Range;
    std::int64_t FileSize = 0;
    // W3C formats: the directives in force where the range starts.
    bool HasDirectives = false;
    TLogParser::TDirectiveState Directives;
    // The piece's slots in the record array: as many as it has lines at most.
    std::size_t Slot = 0;
    std::size_t Slots = 0;
    bool Counted = false;  // its lines are counted, its slots known once the earlier pieces' are

    // The most lines the piece's bytes hold as planned.
    std::size_t LineBound() const {
        const std::int64_t end = Range.End < 0 ? FileSize : Range.End;
        return static_cast<std::size_t>(std::max<std::int64_t>(end - Range.Start, 0)) + 1;
    }
};

// What a parser made of a piece. Its hits are in the piece's slots, in table indices of the
// parser's own; views of the texts the piece added to the parser's tables come along, in the
// order added, since the merge cannot read the parser's index while it goes on with its next
// piece. The texts themselves stay where the parser's table stored them until the parse ends.
struct TPieceResult {
    std::size_t Lane = 0;
    std::size_t Written = 0;
    bool Opened = false;
    std::vector<TRecLog> Overflow;  // hits beyond the slots (the file grew since it was planned)
    std::vector<TWideIndex> WideIndices;
    std::array<std::vector<std::string_view>, TableCount> NewTexts;
    TLogParser::TRangeScan Scan;
    std::exception_ptr Error;
    // The texts could not be handed over: the parser's later pieces cannot be mapped.
    std::exception_ptr LostTexts;
};

// The texts of one table that a lane's pieces handed over, by the lane's index: each piece's
// list as it came, so that taking them in copies nothing. Looked up only when a text is
// first interned.
class TLaneTexts {
public:
    void Take(std::vector<std::string_view>&& added) {
        if (added.empty()) return;
        Starts.push_back(Count);
        Count += added.size();
        Lists.push_back(std::move(added));
    }
    std::size_t size() const { return Count; }
    std::string_view operator[](std::size_t index) const {
        const auto after = std::upper_bound(Starts.begin(), Starts.end(), index);
        const auto list = static_cast<std::size_t>(after - Starts.begin()) - 1;
        return Lists[list][index - Starts[list]];
    }

private:
    std::vector<std::size_t> Starts;  // the lane index of each list's first text
    std::vector<std::vector<std::string_view>> Lists;
    std::size_t Count = 0;
};

// Lane indices of one table's texts, from From up to To.
struct TIndexSpan {
    std::size_t From = 0;
    std::size_t To = 0;
};
using TAddedTexts = std::array<TIndexSpan, TableCount>;

// One parser and, on the merge's side, what its table indices stand for.
struct TLane {
    std::vector<TBucketString> OwnTables;  // the parser's, in TTableId order
    std::unique_ptr<TLogParser> Parser;
    std::array<std::int32_t, TableCount> Handed{};  // parser side: texts handed over so far
    std::array<TLaneTexts, TableCount> Texts;  // into OwnTables' texts
    // Grows piece by piece to an entry per text of the lane: a mapped array, so that growing
    // moves page tables instead of faulting in a fresh copy.
    std::array<TMappedArray<std::int32_t>, TableCount> RunIndex;  // -1 until a merged piece uses it
    TURIParts URIParts;  // the parser's, once it is gone
    // Texts added by a piece left out after its file failed: the run never took them, and a
    // later piece of the lane may use them where it does not say.
    std::array<std::vector<std::int32_t>, TableCount> Orphans;
    bool HasOrphans() const {
        return std::any_of(Orphans.begin(), Orphans.end(), [](const auto& list) { return !list.empty(); });
    }

    // The run's index of a lane index; -1 where no merged piece used it (or for a stand-in
    // the 16-bit field of a too-wide lane index holds).
    std::int32_t InRun(TTableId table, std::int32_t index) const {
        const TMappedArray<std::int32_t>& run = RunIndex[table];
        return static_cast<std::size_t>(index) < run.size() ? run[static_cast<std::size_t>(index)] : -1;
    }
};

struct TMergedPiece {
    std::size_t Piece = 0;
    std::size_t Lane = 0;
    std::size_t Written = 0;
    std::vector<TRecLog> Overflow;
    std::vector<TWideIndex> WideIndices;
};

class TParallelParse {
public:
    TParallelParse(const TParseRun& run, const std::vector<std::string>& files, bool severalFiles)
        : Run(run), Engine(run.Parser), Files(files), SeveralFiles(severalFiles) {}
    TParallelParse(const TParallelParse&) = delete;
    TParallelParse& operator=(const TParallelParse&) = delete;

    bool Parse(bool& validData);

private:
    // Cuts the files into pieces. The ranges in the run's last Threads x RangeBytes bytes are
    // a quarter as long: the run ends when its slowest last piece does, and meanwhile the
    // other workers have nothing to read.
    void Plan(const std::vector<std::int64_t>& sizes, unsigned threads);
    void PlanFile(std::size_t file, std::int64_t bytesAfter, std::int64_t tailBytes);
    std::vector<TLogParser::TDirectiveState> ReadDirectives(const std::string& name, std::uint8_t format,
                                                            const std::vector<std::int64_t>& starts);
    // The lines of a piece as LineBound counts them; 0 when its file cannot be read.
    std::size_t CountLines(const TPiece& piece) const;
    // Counts each piece's lines, side by side, and gives each its slots; the total.
    std::size_t PlanSlots(unsigned threads);
    // Room for as many hits as the pieces' bytes can hold lines, so that each worker counts
    // a piece's lines when it takes the piece, while the others read theirs. False when the
    // system will not give that much address space: then the lines are counted first.
    bool ReserveSlotBound();
    // Counts piece Index's lines and waits until every piece before it has its slots, which
    // gives the piece its own right after theirs. Every piece taken comes here once, read
    // or not, or the pieces after it would wait for ever.
    void CountSlots(std::size_t index);
    void Work(std::size_t lane);
    // A lane whose worker has no piece left keeps only what the merge still reads: the
    // texts its pieces handed over and their run indices.
    void Retire(std::size_t lane);
    // Once merged, the hits need only the run indices of the lane's texts.
    static void DropLaneTexts(TLane& lane);
    std::unique_ptr<TPieceResult> ParsePiece(std::size_t lane, std::size_t index);
    void HandOverTexts(TLane& lane, TPieceResult& result);
    // Waits for piece Index, reading pieces meanwhile, but not the last round of them while
    // workers run: they read those, and the merge is free for them as they come. Null when
    // the run was cancelled.
    std::unique_ptr<TPieceResult> Take(std::size_t index);
    // Keeps the piece's texts with its lane's; which of the lane's indices they are.
    TAddedTexts TakeTexts(TPieceResult& piece);
    void Intern(const TPieceResult& piece, const TAddedTexts& added);
    // Interns the texts of piece Index whose lane holds texts the run never took: read once
    // more by a parser of its own, the piece's texts are that parser's in first-use order.
    void InternRereading(std::size_t index, const TPieceResult& piece, const TAddedTexts& added);
    // Gives the lane tables of its own and a parser that reads by the run's profile and options.
    void OpenLane(TLane& lane) const;
    // Reads a piece with Parser into Slots.
    TLogParser::TRangeScan ReadPiece(TLogParser& parser, const TPiece& piece, TRecLog* slots) const;
    // Reads a piece with a parser of its own; its tables, each in first-use order.
    std::vector<TBucketString> ReadAlone(const TPiece& piece) const;
    // Only a file changed between the two readings leaves out a text a hit names: it is
    // taken in where the hit names it.
    void InternWhatHitsStillName(std::size_t index, const TPieceResult& piece);
    // The file's outcome once its pieces are merged; false when cancelled.
    bool MergeFile(std::size_t file, std::size_t& next, bool& validData);
    bool MergeAll(bool& validData);
    void Stop();
    // Puts the merged pieces' hits into run indices, closes up the unused slots and frees the
    // lanes' texts.
    void Finish(unsigned threads);
    void TakeURIParts();

    const TParseRun& Run;
    TLogParser& Engine;  // the run's parser: plans the files, reports, and reads alone on one thread
    const std::vector<std::string>& Files;
    const bool SeveralFiles;
    std::vector<TPiece> Pieces;
    std::vector<TLane> Lanes;
    TRecLog* Base = nullptr;
    std::vector<TMergedPiece> MergedPieces;
    // Each piece's lines are counted by the worker that takes it (see ReserveSlotBound).
    bool CountWhenTaken = false;
    std::size_t SlotCapacity = 0;  // the bound reserved
    std::size_t SlottedPieces = 0;  // the pieces before this one have their slots
    std::size_t SlotsTaken = 0;  // by those pieces

    std::mutex Lock;
    std::condition_variable Changed;
    std::size_t NextPiece = 0;  // the next piece to be read
    std::size_t Merged = 0;  // pieces merged so far
    std::size_t Window = 0;  // workers run at most this many pieces ahead of the merge
    // Workers in their loop: a thread that could not be started is not one, and runs its
    // loop only after the merge.
    std::size_t Running = 0;
    std::vector<std::unique_ptr<TPieceResult>> Results;
    bool Abort = false;

    // The progress last reported, repeated while the merge waits so that a caller that
    // lets its events run in the callback stays responsive.
    std::string ProgressText;
    int ProgressValue = -1;
};

void TParallelParse::Plan(const std::vector<std::int64_t>& sizes, unsigned threads) {
    const std::int64_t tailBytes = static_cast<std::int64_t>(threads) * Run.Settings.RangeBytes;
    std::int64_t bytesAfter = std::accumulate(sizes.begin(), sizes.end(), std::int64_t{0});
    for (std::size_t file = 0; file < Files.size(); ++file) {
        bytesAfter -= sizes[file];
        PlanFile(file, bytesAfter, tailBytes);
    }
}

// A file is cut into ranges only when its first lines decide the format; anything else is
// read whole by one worker, which then meets the file's error itself. A W3C "#Fields:" or
// "#Date:" line changes how every line after it reads, so for those formats the directive
// lines are read here first, and each range starts with the directives in force there.
void TParallelParse::PlanFile(std::size_t file, std::int64_t bytesAfter, std::int64_t tailBytes) {
    const std::string& name = Files[file];
    const std::int64_t rangeBytes = std::max<std::int64_t>(Run.Settings.RangeBytes, 1);
    const std::int64_t tailRangeBytes = std::max<std::int64_t>(rangeBytes / 4, 1);
    TFileStreamEx reader;
    const std::int64_t size = reader.Open(name) ? reader.Size() : 0;
    TPiece whole;
    whole.File = file;
    whole.FileSize = size;
    if (size <= rangeBytes) {
        Pieces.push_back(whole);
        return;
    }
    std::vector<std::int64_t> starts{0};
    std::vector<TLogParser::TDirectiveState> directives;
    std::uint8_t format = 0;
    try {
        reader.SetMaxLineLength(TLogParser::MaxLogLineLength);
        std::vector<std::string_view> lines;
        bool last = reader.ReadLines(lines, true);
        while (lines.empty() && !last) last = reader.ReadLines(lines, false);
        format = Engine.DecideFormat(name, lines);
        for (;;) {
            const std::int64_t from = starts.back();
            const bool inTail = size - from + bytesAfter <= tailBytes;
            const std::int64_t start = reader.LineStartAfter(from + (inTail ? tailRangeBytes : rangeBytes));
            if (start >= size) break;
            starts.push_back(start);
        }
        if (format == lfIISW3C || format == lfISAW3C) {
            // The scan runs before any progress can be reported: beyond this size the file is
            // read whole, which keeps the caller's callbacks coming.
            constexpr std::int64_t kMaxScanned = std::int64_t{1} << 30;
            if (size > kMaxScanned) {
                Pieces.push_back(whole);
                return;
            }
            directives = ReadDirectives(name, format, starts);
        }
    } catch (const std::exception&) {
        Pieces.push_back(whole);
        return;
    }
    for (std::size_t i = 0; i < starts.size(); ++i) {
        TPiece piece = whole;
        piece.Range.Start = starts[i];
        piece.Range.End = i + 1 < starts.size() ? starts[i + 1] : -1;
        piece.Range.Decided = true;
        piece.Range.Format = format;
        piece.Range.DateOrder = Engine.DateOrder;
        if (!directives.empty()) {
            piece.HasDirectives = true;
            piece.Directives = directives[i];
        }
        Pieces.push_back(piece);
    }
}

// The directives in force at each start, read the way the line loop reads them.
std::vector<TLogParser::TDirectiveState> TParallelParse::ReadDirectives(const std::string& name, std::uint8_t format,
                                                                        const std::vector<std::int64_t>& starts) {
    std::vector<TLogParser::TDirectiveState> states;
    TFileStreamEx reader;
    if (!reader.Open(name)) throw std::runtime_error("cannot read");
    reader.SetMaxLineLength(TLogParser::MaxLogLineLength);
    Engine.ResetDirectives();
    std::vector<std::string_view> lines;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        if (Engine.StopRequested()) throw std::runtime_error("cancelled");
        states.push_back(Engine.Directives());
        reader.SetRange(starts[i], i + 1 < starts.size() ? starts[i + 1] : -1);
        for (bool last = reader.ReadLines(lines, true);; last = reader.ReadLines(lines, false)) {
            for (const std::string_view line : lines)
                if (line.find('#') != std::string_view::npos && Engine.SplitLine(line) > 0 &&
                    Engine.SplitFields[1].starts_with('#'))
                    Engine.MapLine(format);
            if (last) break;
        }
    }
    return states;
}

std::size_t TParallelParse::CountLines(const TPiece& piece) const {
    try {
        // A file that cannot be read gets no slots; its piece meets the error itself.
        TFileStreamEx reader;
        if (!reader.Open(Files[piece.File])) return 0;
        return static_cast<std::size_t>(reader.LineBound(piece.Range.Start, piece.Range.End));
    } catch (const std::exception&) {
        return 0;
    }
}

bool TParallelParse::ReserveSlotBound() {
    std::size_t bound = 0;
    for (const TPiece& piece : Pieces) bound += piece.LineBound();
    // More hits than this the record list refuses anyway; more lines than this get no slots
    // (their hits go with their piece's overflow).
    bound = std::min<std::size_t>(bound, std::numeric_limits<std::uint32_t>::max() / 2);
    try {
        Run.Records.ReserveSlotBound(bound);
    } catch (const std::exception&) {
        return false;
    }
    SlotCapacity = bound;
    return true;
}

void TParallelParse::CountSlots(std::size_t index) {
    // A file grown since it was planned has more lines than it was given room for: the
    // hits beyond go with the piece's overflow, as they do when the lines are counted first.
    const std::size_t lines = std::min(CountLines(Pieces[index]), Pieces[index].LineBound());
    std::unique_lock<std::mutex> guard(Lock);
    Pieces[index].Slots = lines;
    Pieces[index].Counted = true;
    const std::size_t before = SlottedPieces;
    for (; SlottedPieces < Pieces.size() && Pieces[SlottedPieces].Counted; ++SlottedPieces) {
        TPiece& piece = Pieces[SlottedPieces];
        // Hits beyond the room, should there be any, go with the piece's overflow.
        piece.Slots = std::min(piece.Slots, SlotCapacity - SlotsTaken);
        piece.Slot = SlotsTaken;
        SlotsTaken += piece.Slots;
    }
    if (SlottedPieces != before) {
        guard.unlock();
        Changed.notify_all();
        guard.lock();
    }
    // The pieces before this one were taken before it, and are being counted.
    Changed.wait(guard, [&] { return SlottedPieces > index; });
}

std::size_t TParallelParse::PlanSlots(unsigned threads) {
    ForkJoinParts(Pieces.size(), threads, [&](std::size_t i) { Pieces[i].Slots = CountLines(Pieces[i]); });
    std::size_t total = 0;
    for (TPiece& piece : Pieces) {
        piece.Slot = total;
        total += piece.Slots;
    }
    return total;
}

void TParallelParse::Stop() {
    {
        std::lock_guard<std::mutex> guard(Lock);
        Abort = true;
    }
    Changed.notify_all();
}

// A worker never calls back and never blocks the merge; it only pauses while it is a
// window of pieces ahead, so that unmerged texts never pile up in memory.
void TParallelParse::Work(std::size_t lane) {
    {
        std::lock_guard<std::mutex> guard(Lock);
        ++Running;
    }
    for (;;) {
        std::size_t index = 0;
        {
            std::unique_lock<std::mutex> guard(Lock);
            Changed.wait(guard, [&] { return Abort || NextPiece >= Pieces.size() || NextPiece < Merged + Window; });
            if (Abort || NextPiece >= Pieces.size()) break;
            index = NextPiece++;
        }
        std::unique_ptr<TPieceResult> result = ParsePiece(lane, index);
        {
            std::lock_guard<std::mutex> guard(Lock);
            Results[index] = std::move(result);
        }
        Changed.notify_all();
    }
    {
        std::lock_guard<std::mutex> guard(Lock);
        --Running;
    }
    Retire(lane);
}

void TParallelParse::Retire(std::size_t lane) {
    TLane& own = Lanes[lane];
    own.URIParts = own.Parser->TakeURIParts();
    own.Parser.reset();
    for (TBucketString& table : own.OwnTables) table.ReleaseIndex();
}

void TParallelParse::DropLaneTexts(TLane& lane) {
    if (lane.Parser) lane.URIParts = lane.Parser->TakeURIParts();
    lane.Parser.reset();
    lane.Texts = {};
    lane.OwnTables = std::vector<TBucketString>();
}

std::unique_ptr<TPieceResult> TParallelParse::ParsePiece(std::size_t lane, std::size_t index) {
    if (CountWhenTaken) CountSlots(index);
    auto result = std::make_unique<TPieceResult>();
    result->Lane = lane;
    TLogParser& parser = *Lanes[lane].Parser;
    const TPiece& piece = Pieces[index];
    try {
        result->Scan = ReadPiece(parser, piece, Base + piece.Slot);
    } catch (...) {
        result->Error = std::current_exception();
    }
    result->Written = parser.WrittenInPiece();
    result->Opened = parser.RangeOpened();
    result->Overflow = parser.TakeOverflow();
    result->WideIndices = parser.TakeWideIndices();
    try {
        HandOverTexts(Lanes[lane], *result);
    } catch (...) {
        result->LostTexts = std::current_exception();
    }
    return result;
}

void TParallelParse::HandOverTexts(TLane& lane, TPieceResult& result) {
    const TTablePointers& tables = lane.Parser->Tables();
    for (std::size_t t = 0; t < TableCount; ++t) {
        const std::int32_t count = tables[t]->Count();
        std::vector<std::string_view>& texts = result.NewTexts[t];
        texts.reserve(static_cast<std::size_t>(count - lane.Handed[t]));
        for (std::int32_t i = lane.Handed[t]; i < count; ++i) texts.emplace_back(tables[t]->GetString(i));
        lane.Handed[t] = count;
    }
}

// The merge reads pieces itself while the one it needs is not ready, so the run finishes
// even when no worker thread could be started.
std::unique_ptr<TPieceResult> TParallelParse::Take(std::size_t index) {
    using namespace std::chrono_literals;
    auto lastCall = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> guard(Lock);
    for (;;) {
        if (Results[index]) return std::move(Results[index]);
        if (Engine.StopRequested()) return nullptr;
        if (NextPiece + Running < Pieces.size()) {
            const std::size_t own = NextPiece++;
            guard.unlock();
            std::unique_ptr<TPieceResult> result = ParsePiece(0, own);
            guard.lock();
            Results[own] = std::move(result);
            continue;
        }
        Changed.wait_for(guard, 20ms);
        if (!Results[index] && ProgressValue >= 0 && std::chrono::steady_clock::now() - lastCall > 100ms) {
            guard.unlock();
            Engine.DoProgress(ProgressValue, ProgressText);
            lastCall = std::chrono::steady_clock::now();
            guard.lock();
        }
    }
}

// Every piece's texts are kept, merged or not, so that the lane's indices stay readable.
TAddedTexts TParallelParse::TakeTexts(TPieceResult& piece) {
    if (piece.LostTexts) std::rethrow_exception(piece.LostTexts);
    TLane& lane = Lanes[piece.Lane];
    TAddedTexts added;
    for (std::size_t t = 0; t < TableCount; ++t) {
        added[t].From = lane.Texts[t].size();
        lane.Texts[t].Take(std::move(piece.NewTexts[t]));
        lane.RunIndex[t].resize(lane.Texts[t].size(), -1);
        added[t].To = lane.Texts[t].size();
    }
    return added;
}

// A parser adds a text to its tables where it first uses it, so the texts a piece added come
// in the order it first used them. Those new to the run are among them, in the order a
// single thread meets them: the texts the lane held before were taken in with the earlier
// pieces that added them. Each table is its own sequence, so the large ones are interned
// side by side.
void TParallelParse::Intern(const TPieceResult& piece, const TAddedTexts& added) {
    TLane& lane = Lanes[piece.Lane];
    const TTablePointers& tables = Run.Tables;
    const auto intern = [&](std::size_t t) {
        TMappedArray<std::int32_t>& runIndex = lane.RunIndex[t];
        const TLaneTexts& texts = lane.Texts[t];
        for (std::size_t local = added[t].From; local < added[t].To; ++local)
            if (runIndex[local] < 0) runIndex[local] = tables[t]->AddString(texts[local]);
    };
    // Below this many texts a thread costs more than it saves.
    constexpr std::size_t kTextsForAThread = 4096;
    std::vector<std::size_t> large;
    for (std::size_t t = 0; t < TableCount; ++t) {
        if (added[t].To - added[t].From >= kTextsForAThread)
            large.push_back(t);
        else
            intern(t);
    }
    ForkJoin(large.size(), [&](std::size_t i) { intern(large[i]); });
}

void TParallelParse::OpenLane(TLane& lane) const {
    TTablePointers tables{};
    lane.OwnTables.reserve(TableCount);
    for (std::size_t t = 0; t < TableCount; ++t) tables[t] = &lane.OwnTables.emplace_back(TableBucketMasks[t]);
    lane.Parser = std::make_unique<TLogParser>(tables);
    lane.Parser->Begin(Engine.Profile(), Engine.Options());
    lane.Parser->SetStopFlag(Engine.GetStopFlag());
}

TLogParser::TRangeScan TParallelParse::ReadPiece(TLogParser& parser, const TPiece& piece, TRecLog* slots) const {
    parser.StartPiece(slots, piece.Slots);
    if (piece.HasDirectives) parser.SetDirectives(piece.Directives);
    return parser.ParseRange(Files[piece.File], piece.Range, false);
}

std::vector<TBucketString> TParallelParse::ReadAlone(const TPiece& piece) const {
    TLane alone;
    OpenLane(alone);
    std::vector<TRecLog> slots(piece.Slots);
    try {
        ReadPiece(*alone.Parser, piece, slots.data());
    } catch (...) {
        // It fails where the first reading did, with the texts up to there added.
    }
    alone.Parser.reset();
    return std::move(alone.OwnTables);
}

void TParallelParse::InternRereading(std::size_t index, const TPieceResult& piece, const TAddedTexts& added) {
    TLane& lane = Lanes[piece.Lane];
    std::vector<TBucketString> ownTables = ReadAlone(Pieces[index]);
    for (std::size_t t = 0; t < TableCount; ++t) {
        TBucketString& used = ownTables[t];
        const std::int32_t usedCount = used.Count();
        std::vector<std::int32_t> usedInRun(static_cast<std::size_t>(usedCount));
        for (std::int32_t i = 0; i < usedCount; ++i)
            usedInRun[static_cast<std::size_t>(i)] = Run.Tables[t]->AddString(used.GetString(i));
        // A lane text the piece used is one of those just interned; adding it to the rereading's
        // own table, which is dropped next, tells which.
        const auto resolve = [&](std::int32_t local) {
            std::int32_t& inRun = lane.RunIndex[t][static_cast<std::size_t>(local)];
            if (inRun < 0) {
                const std::int32_t own = used.AddString(lane.Texts[t][static_cast<std::size_t>(local)]);
                if (own < usedCount) inRun = usedInRun[static_cast<std::size_t>(own)];
            }
            return inRun >= 0;
        };
        std::vector<std::int32_t>& orphans = lane.Orphans[t];
        std::erase_if(orphans, resolve);
        for (std::size_t local = added[t].From; local < added[t].To; ++local)
            if (!resolve(static_cast<std::int32_t>(local))) orphans.push_back(static_cast<std::int32_t>(local));
    }
    InternWhatHitsStillName(index, piece);
}

void TParallelParse::InternWhatHitsStillName(std::size_t index, const TPieceResult& piece) {
    TLane& lane = Lanes[piece.Lane];
    const auto inRun = [&](TTableId table, std::int32_t local) {
        TMappedArray<std::int32_t>& runIndex = lane.RunIndex[table];
        const auto at = static_cast<std::size_t>(local);
        if (local < 0 || at >= runIndex.size()) return local;
        if (runIndex[at] < 0) {
            runIndex[at] = Run.Tables[table]->AddString(lane.Texts[table][at]);
            std::erase(lane.Orphans[table], local);
        }
        return runIndex[at];
    };
    const TRecLog* hits = Base + Pieces[index].Slot;
    for (std::size_t i = 0; i < piece.Written; ++i) {
        TRecLog copy = hits[i];
        RemapRecordIndices(copy, inRun);
    }
    for (TRecLog copy : piece.Overflow) RemapRecordIndices(copy, inRun);
    for (const TWideIndex& wide : piece.WideIndices) inRun(wide.Table, wide.Index);
}

bool TParallelParse::MergeFile(std::size_t file, std::size_t& next, bool& validData) {
    const std::string& name = Files[file];
    const std::string text = "Analyzing : " + FileNameOf(name);
    TLogParser::TRangeScan total;
    std::exception_ptr error;
    bool first = true;
    for (; next < Pieces.size() && Pieces[next].File == file; ++next) {
        const TPiece& piece = Pieces[next];
        std::unique_ptr<TPieceResult> result = Take(next);
        if (!result) return false;
        const TAddedTexts added = TakeTexts(*result);
        if (error) {
            TLane& lane = Lanes[result->Lane];
            for (std::size_t t = 0; t < TableCount; ++t)
                for (std::size_t local = added[t].From; local < added[t].To; ++local)
                    lane.Orphans[t].push_back(static_cast<std::int32_t>(local));
        } else {
            if (first && ((piece.Range.Decided && result->Opened) || result->Scan.Started)) {
                first = false;
                Engine.DoStatus(0, text);
                Engine.DoProgress(0, text);
                ProgressText = text;
                ProgressValue = 0;
            }
            if (Lanes[result->Lane].HasOrphans())
                InternRereading(next, *result, added);
            else
                Intern(*result, added);
            MergedPieces.push_back(
                {next, result->Lane, result->Written, std::move(result->Overflow), std::move(result->WideIndices)});
            if (result->Error) {
                error = result->Error;
            } else {
                if (!result->Scan.Completed) return false;
                total.Lines += result->Scan.Lines;
                total.Bad += result->Scan.Bad;
                const std::int64_t done = piece.Range.End < 0 ? piece.FileSize : piece.Range.End;
                const int percent = piece.FileSize > 0
                                        ? static_cast<int>(std::min<std::int64_t>(done * 100 / piece.FileSize, 100))
                                        : 100;
                if (percent != ProgressValue) {
                    Engine.DoProgress(percent, text);
                    ProgressValue = percent;
                }
                if (Engine.StopRequested()) return false;
            }
        }
        {
            std::lock_guard<std::mutex> guard(Lock);
            Merged = next + 1;
        }
        Changed.notify_all();
    }
    try {
        if (error) std::rethrow_exception(error);
        TLogParser::FinishFile(name, total, Run.BadLineCount);
        validData = true;
    } catch (const std::exception&) {
        if (!SeveralFiles) throw;
        Engine.DoStatus(0, "Skipped : " + FileNameOf(name));
    }
    return true;
}

bool TParallelParse::MergeAll(bool& validData) {
    std::size_t next = 0;
    for (std::size_t file = 0; file < Files.size(); ++file) {
        if (Engine.StopRequested()) return false;
        if (!MergeFile(file, next, validData)) return false;
    }
    return !Engine.StopRequested();
}

void TParallelParse::Finish(unsigned threads) {
    const auto renumber = [&](TRecLog* recs, std::size_t count, const TLane& lane) {
        // A 16-bit field whose lane index was too wide holds a stand-in, mended below.
        const auto runIndex = [&lane](TTableId table, std::int32_t index) { return lane.InRun(table, index); };
        for (std::size_t i = 0; i < count; ++i) RemapRecordIndices(recs[i], runIndex);
    };
    bool overflow = false;
    // The lanes' texts are freed side by side with the renumbering, which reads only their
    // run indices.
    const std::size_t pieces = MergedPieces.size();
    ForkJoinParts(pieces + Lanes.size(), threads, [&](std::size_t m) {
        if (m >= pieces) return DropLaneTexts(Lanes[m - pieces]);
        TMergedPiece& merged = MergedPieces[m];
        TRecLog* slots = Base + Pieces[merged.Piece].Slot;
        const TLane& lane = Lanes[merged.Lane];
        renumber(slots, merged.Written, lane);
        renumber(merged.Overflow.data(), merged.Overflow.size(), lane);
        for (const TWideIndex& wide : merged.WideIndices) {
            TRecLog& rec =
                wide.Position < merged.Written ? slots[wide.Position] : merged.Overflow[wide.Position - merged.Written];
            SetSmallIndex(rec, wide.Table, lane.RunIndex[wide.Table][static_cast<std::size_t>(wide.Index)]);
        }
    });
    for (const TMergedPiece& merged : MergedPieces) overflow = overflow || !merged.Overflow.empty();
    TakeURIParts();
    if (!overflow) {
        // Each piece's hits move down behind the ones before: the slots only ever hold
        // more lines than hits.
        std::size_t at = 0;
        for (const TMergedPiece& merged : MergedPieces) {
            const TRecLog* from = Base + Pieces[merged.Piece].Slot;
            if (from != Base + at && merged.Written > 0)
                std::memmove(static_cast<void*>(Base + at), from, merged.Written * sizeof(TRecLog));
            at += merged.Written;
        }
        Run.Records.TakeWritten(at);
        Run.Records.ReleaseSpareSlots();
        return;
    }
    // A file grew while it was read: its extra hits go in after their piece's, in a copy.
    std::vector<TRecLog> hits;
    for (const TMergedPiece& merged : MergedPieces) {
        const TRecLog* from = Base + Pieces[merged.Piece].Slot;
        hits.insert(hits.end(), from, from + merged.Written);
        hits.insert(hits.end(), merged.Overflow.begin(), merged.Overflow.end());
    }
    for (const TRecLog& rec : hits) Run.Records.Add(rec);
    Run.Records.ReleaseSpareSlots();
}

// A URL's parts count once a merged piece used the URL: its extension and folder were
// used with it.
void TParallelParse::TakeURIParts() {
    TURIParts& parts = Run.Records.URIParts();
    for (const TLane& lane : Lanes) {
        const auto inRun = [&](const TURIPartIndices& own, TURIPartIndices& out) {
            out = {lane.InRun(tiExt, own.ExtIdx), lane.InRun(tiPath, own.PathIdx)};
            return out.ExtIdx >= 0 && out.PathIdx >= 0;
        };
        TURIPartIndices run;
        lane.URIParts.ForEachSet([&](std::int32_t uri, const TURIPartIndices& own) {
            const std::int32_t runURI = lane.InRun(tiURI, uri);
            if (runURI >= 0 && inRun(own, run)) parts.SetForURI(runURI, run);
        });
        if (lane.URIParts.HasNoRequest() && inRun(lane.URIParts.NoRequestParts(), run)) parts.SetForNoRequest(run);
    }
}

bool TParallelParse::Parse(bool& validData) {
    // A file whose size cannot be read counts 0 bytes; its piece meets the error itself.
    std::vector<std::int64_t> sizes(Files.size(), 0);
    for (std::size_t file = 0; file < Files.size(); ++file) {
        std::error_code error;
        const std::uintmax_t size = std::filesystem::file_size(Files[file], error);
        if (!error) sizes[file] = static_cast<std::int64_t>(size);
    }
    const unsigned wanted = Run.Settings.ThreadCountFor(std::accumulate(sizes.begin(), sizes.end(), std::int64_t{0}));
    Plan(sizes, wanted);
    const unsigned threads = static_cast<unsigned>(std::min<std::size_t>(wanted, Pieces.size()));
    if (threads <= 1) return ParseFilesInOrder(Engine, Files, SeveralFiles, validData, Run.BadLineCount);
    CountWhenTaken = !Run.Settings.CountLinesFirst && ReserveSlotBound();
    if (!CountWhenTaken) Run.Records.ReserveSlots(PlanSlots(threads));
    Base = Run.Records.FreeSlots();
    Results.resize(Pieces.size());
    // Pieces take unequal times: a window of a few pieces a worker keeps the others busy
    // past a slow one, and holds only the unmerged pieces' lists of new texts.
    Window = static_cast<std::size_t>(threads) * 3;
    Lanes.resize(threads);
    for (TLane& lane : Lanes) OpenLane(lane);
    bool completed = false;
    std::exception_ptr error;
    try {
        ForkJoin(threads, [&](std::size_t lane) {
            if (lane > 0) return Work(lane);
            try {
                completed = MergeAll(validData);
            } catch (...) {
                error = std::current_exception();
            }
            Stop();
        });
    } catch (...) {
        if (!error) error = std::current_exception();
    }
    Finish(threads);
    if (error) std::rethrow_exception(error);
    return completed;
}

bool ParseFilesInParallel(const TParseRun& run, const std::vector<std::string>& files, bool severalFiles,
                          bool& validData) {
    TParallelParse parse(run, files, severalFiles);
    return parse.Parse(validData);
}

}  // namespace brindle

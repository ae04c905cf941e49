#include "engine/LogConvert_parallel.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <thread>

#include "core/FileStreamEx_u.h"
#include "engine/LogConvert_u.h"

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

constexpr std::size_t kTableCount = 12;

std::array<TBucketString*, kTableCount> TablesOf(TLogConvert& engine) {
    return {&engine.HostTable, &engine.UserTable,     &engine.VDomainTable, &engine.MethodTable,
            &engine.URITable,  &engine.ExtTable,      &engine.PathTable,    &engine.ReferrerTable,
            &engine.AgentTable, &engine.BrowserTable, &engine.OSTable,      &engine.SpiderTable};
}

// The table index fields of a record, in the order of TablesOf.
constexpr std::array<std::int32_t TRecLog::*, kTableCount> kIndexFields = {
    &TRecLog::HostIdx, &TRecLog::UserIdx,     &TRecLog::VDomainIdx, &TRecLog::MethodIdx,
    &TRecLog::URIIdx,  &TRecLog::ExtIdx,      &TRecLog::PathIdx,    &TRecLog::ReferrerIdx,
    &TRecLog::AgentIdx, &TRecLog::BrowserIdx, &TRecLog::OSIdx,      &TRecLog::SpiderIdx};

std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

// A whole file, or one byte range of a file read in several.
struct TPiece {
    std::size_t File = 0;
    TLogConvert::TFileRange Range;
    std::int64_t FileSize = 0;
    // W3C formats: the directives in force where the range starts.
    bool HasDirectives = false;
    TLogConvert::TDirectiveState Directives;
};

// What a worker made of a piece, in table indices of its own.
struct TPieceResult {
    std::array<TBucketString, kTableCount> Tables;
    TLstRecLog Records;
    TLogConvert::TRangeScan Scan;
    std::exception_ptr Error;
};

class TParallelParse {
public:
    TParallelParse(TLogConvert& engine, const std::vector<std::string>& files, bool severalFiles)
        : Engine(engine), Files(files), SeveralFiles(severalFiles) {}
    ~TParallelParse() { StopWorkers(); }
    TParallelParse(const TParallelParse&) = delete;
    TParallelParse& operator=(const TParallelParse&) = delete;

    bool Run(bool& validData);

private:
    void Plan();
    void PlanFile(std::size_t file);
    std::vector<TLogConvert::TDirectiveState> ReadDirectives(const std::string& name, std::uint8_t format,
                                                             const std::vector<std::int64_t>& starts);
    void StartWorkers(unsigned count);
    void StopWorkers();
    void Work(TLogConvert& worker);
    // Waits for piece Index; null when the run was cancelled meanwhile.
    std::unique_ptr<TPieceResult> Take(std::size_t index);
    void Merge(TPieceResult& piece);
    // The file's outcome once its pieces are merged; false when cancelled.
    bool MergeFile(std::size_t file, std::size_t& next, bool& validData);

    TLogConvert& Engine;
    const std::vector<std::string>& Files;
    const bool SeveralFiles;
    std::vector<TPiece> Pieces;

    std::mutex Lock;
    std::condition_variable Changed;
    std::size_t NextPiece = 0;  // the next piece a worker takes
    std::size_t Merged = 0;     // pieces merged so far
    std::size_t Window = 0;     // workers run at most this many pieces ahead of the merge
    std::vector<std::unique_ptr<TPieceResult>> Results;
    std::atomic<bool> Abort{false};
    std::vector<std::unique_ptr<TLogConvert>> Workers;
    std::vector<std::thread> Threads;

    // The progress last reported, repeated while the merge waits so that a caller that
    // lets its events run in the callback stays responsive.
    std::string ProgressText;
    int ProgressValue = -1;
};

void TParallelParse::Plan() {
    for (std::size_t file = 0; file < Files.size(); ++file) PlanFile(file);
}

// A file is cut into ranges only when its first lines decide the format; anything else is
// read whole by one worker, which then meets the file's error itself. A W3C "#Fields:" or
// "#Date:" line changes how every line after it reads, so for those formats the directive
// lines are read here first, and each range starts with the directives in force there.
void TParallelParse::PlanFile(std::size_t file) {
    const std::string& name = Files[file];
    const std::int64_t rangeBytes = std::max<std::int64_t>(Engine.ParseSettings.RangeBytes, 1);
    TFileStreamEx reader;
    const std::int64_t size = reader.Open(name) ? reader.Size() : 0;
    TPiece whole{file, {}, size, false, {}};
    if (size <= rangeBytes) {
        Pieces.push_back(whole);
        return;
    }
    std::vector<std::int64_t> starts{0};
    std::vector<TLogConvert::TDirectiveState> directives;
    std::uint8_t format = 0;
    try {
        reader.SetMaxLineLength(TLogConvert::MaxLogLineLength);
        std::vector<std::string_view> lines;
        bool last = reader.ReadLines(lines, true);
        while (lines.empty() && !last) last = reader.ReadLines(lines, false);
        format = Engine.DecideFormat(name, lines);
        for (;;) {
            const std::int64_t start = reader.LineStartAfter(starts.back() + rangeBytes);
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
        TPiece piece{file, {}, size, false, {}};
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
std::vector<TLogConvert::TDirectiveState> TParallelParse::ReadDirectives(const std::string& name,
                                                                         std::uint8_t format,
                                                                         const std::vector<std::int64_t>& starts) {
    std::vector<TLogConvert::TDirectiveState> states;
    TFileStreamEx reader;
    if (!reader.Open(name)) throw std::runtime_error("cannot read");
    reader.SetMaxLineLength(TLogConvert::MaxLogLineLength);
    Engine.ResetDirectives();
    std::vector<std::string_view> lines;
    for (std::size_t i = 0; i < starts.size(); ++i) {
        if (Engine.Cancelled) throw std::runtime_error("cancelled");
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

void TParallelParse::StartWorkers(unsigned count) {
    Results.resize(Pieces.size());
    Window = static_cast<std::size_t>(count) + 2;
    for (unsigned i = 0; i < count; ++i) {
        auto worker = std::make_unique<TLogConvert>();
        worker->BeginAnalysis(Engine.Profile, Engine.Options);
        worker->StopFlag = &Engine.Cancelled;
        Workers.push_back(std::move(worker));
    }
    for (const std::unique_ptr<TLogConvert>& worker : Workers)
        Threads.emplace_back([this, w = worker.get()] { Work(*w); });
}

void TParallelParse::StopWorkers() {
    {
        std::lock_guard<std::mutex> guard(Lock);
        Abort = true;
        for (const std::unique_ptr<TLogConvert>& worker : Workers) worker->Cancelled = true;
    }
    Changed.notify_all();
    for (std::thread& thread : Threads) thread.join();
    Threads.clear();
}

// A worker never calls back and never blocks the merge; it only pauses while it is a
// window of pieces ahead, so that unmerged pieces never pile up in memory.
void TParallelParse::Work(TLogConvert& worker) {
    for (;;) {
        std::size_t index = 0;
        {
            std::unique_lock<std::mutex> guard(Lock);
            Changed.wait(guard, [&] { return Abort || NextPiece >= Pieces.size() || NextPiece < Merged + Window; });
            if (Abort || NextPiece >= Pieces.size()) return;
            index = NextPiece++;
        }
        auto result = std::make_unique<TPieceResult>();
        const TPiece& piece = Pieces[index];
        try {
            worker.ResetForPiece();
            if (piece.HasDirectives) worker.SetDirectives(piece.Directives);
            result->Scan = worker.ParseRange(Files[piece.File], piece.Range, false);
        } catch (...) {
            result->Error = std::current_exception();
        }
        const std::array<TBucketString*, kTableCount> tables = TablesOf(worker);
        for (std::size_t t = 0; t < kTableCount; ++t) result->Tables[t] = std::move(*tables[t]);
        result->Records = std::move(worker.Records);
        worker.Records.Clear();
        {
            std::lock_guard<std::mutex> guard(Lock);
            Results[index] = std::move(result);
        }
        Changed.notify_all();
    }
}

std::unique_ptr<TPieceResult> TParallelParse::Take(std::size_t index) {
    using namespace std::chrono_literals;
    auto lastCall = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> guard(Lock);
    for (;;) {
        if (Results[index]) return std::move(Results[index]);
        if (Engine.Cancelled) return nullptr;
        Changed.wait_for(guard, 20ms);
        if (!Results[index] && ProgressValue >= 0 && std::chrono::steady_clock::now() - lastCall > 100ms) {
            guard.unlock();
            Engine.DoProgress(ProgressValue, ProgressText);
            lastCall = std::chrono::steady_clock::now();
            guard.lock();
        }
    }
}

// The piece's texts are interned in the order the piece met them, which is the order a
// single thread meets those of them that are new to the run. Each table is its own
// sequence, so the large ones are interned side by side.
void TParallelParse::Merge(TPieceResult& piece) {
    std::array<std::vector<std::int32_t>, kTableCount> remap;
    const std::array<TBucketString*, kTableCount> tables = TablesOf(Engine);
    const auto intern = [&](std::size_t t) {
        TBucketString& local = piece.Tables[t];
        std::vector<std::int32_t>& map = remap[t];
        map.resize(static_cast<std::size_t>(local.Count()));
        for (std::int32_t i = 0; i < local.Count(); ++i)
            map[static_cast<std::size_t>(i)] = tables[t]->AddString(local.GetString(i));
        local.Clear();
    };
    // Below this many texts a thread costs more than it saves.
    constexpr std::int32_t kTextsForAThread = 4096;
    std::array<std::exception_ptr, kTableCount> errors;
    std::vector<std::thread> helpers;
    const auto joinHelpers = [&] {
        for (std::thread& helper : helpers) helper.join();
        helpers.clear();
    };
    try {
        for (std::size_t t = 0; t < kTableCount; ++t)
            if (piece.Tables[t].Count() >= kTextsForAThread)
                helpers.emplace_back([&, t] {
                    try {
                        intern(t);
                    } catch (...) {
                        errors[t] = std::current_exception();
                    }
                });
        for (std::size_t t = 0; t < kTableCount; ++t)
            if (piece.Tables[t].Count() < kTextsForAThread) intern(t);
    } catch (...) {
        joinHelpers();
        throw;
    }
    joinHelpers();
    for (const std::exception_ptr& error : errors)
        if (error) std::rethrow_exception(error);

    // The records are copied in one piece and renumbered in slices side by side.
    const std::size_t count = piece.Records.Count();
    const std::size_t first = Engine.Records.AppendStored(piece.Records);
    piece.Records.Clear();
    const auto renumber = [&](std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i) {
            TRecLog& rec = Engine.Records.Stored(first + i);
            for (std::size_t t = 0; t < kTableCount; ++t)
                rec.*kIndexFields[t] = remap[t][static_cast<std::size_t>(rec.*kIndexFields[t])];
        }
    };
    constexpr std::size_t kRecordsForAThread = 8192;
    const std::size_t slices = std::clamp<std::size_t>(count / kRecordsForAThread, 1, 4);
    try {
        for (std::size_t s = 1; s < slices; ++s)
            helpers.emplace_back(renumber, count * s / slices, count * (s + 1) / slices);
    } catch (...) {
        joinHelpers();
        throw;
    }
    renumber(0, count / slices);
    joinHelpers();
}

bool TParallelParse::MergeFile(std::size_t file, std::size_t& next, bool& validData) {
    const std::string& name = Files[file];
    const std::string text = "Analyzing : " + FileNameOf(name);
    TLogConvert::TRangeScan total;
    std::exception_ptr error;
    bool first = true;
    for (; next < Pieces.size() && Pieces[next].File == file; ++next) {
        const TPiece& piece = Pieces[next];
        std::unique_ptr<TPieceResult> result = Take(next);
        if (!result) return false;
        if (!error) {
            if (first && (piece.Range.Decided || result->Scan.Started)) {
                first = false;
                const std::int64_t records = static_cast<std::int64_t>(result->Records.Count());
                const std::int64_t bytes = piece.Range.End < 0 ? piece.FileSize : piece.Range.End - piece.Range.Start;
                Engine.ReserveRecords(piece.FileSize, bytes, static_cast<std::size_t>(records));
                Engine.DoStatus(0, text);
                Engine.DoProgress(0, text);
                ProgressText = text;
                ProgressValue = 0;
            }
            Merge(*result);
            if (result->Error) {
                error = result->Error;
            } else {
                if (!result->Scan.Completed) return false;
                total.Lines += result->Scan.Lines;
                total.Bad += result->Scan.Bad;
                const std::int64_t done = piece.Range.End < 0 ? piece.FileSize : piece.Range.End;
                const int percent =
                    piece.FileSize > 0 ? static_cast<int>(std::min<std::int64_t>(done * 100 / piece.FileSize, 100))
                                       : 100;
                if (percent != ProgressValue) {
                    Engine.DoProgress(percent, text);
                    ProgressValue = percent;
                }
                if (Engine.Cancelled) return false;
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
        Engine.FinishFile(name, total);
        validData = true;
    } catch (const std::exception&) {
        if (!SeveralFiles) throw;
        Engine.DoStatus(0, "Skipped : " + FileNameOf(name));
    }
    return true;
}

bool TParallelParse::Run(bool& validData) {
    Plan();
    std::int64_t totalBytes = 0;
    for (std::size_t i = 0; i < Pieces.size(); ++i)
        if (i == 0 || Pieces[i].File != Pieces[i - 1].File) totalBytes += Pieces[i].FileSize;
    const unsigned threads = static_cast<unsigned>(
        std::min<std::size_t>(Engine.ParseSettings.ThreadCountFor(totalBytes), Pieces.size()));
    if (threads <= 1) return Engine.ParseFilesInOrder(Files, SeveralFiles, validData);
    StartWorkers(threads);
    std::size_t next = 0;
    for (std::size_t file = 0; file < Files.size(); ++file) {
        if (Engine.Cancelled) return false;
        if (!MergeFile(file, next, validData)) return false;
    }
    return !Engine.Cancelled;
}

bool ParseFilesInParallel(TLogConvert& engine, const std::vector<std::string>& files, bool severalFiles,
                          bool& validData) {
    TParallelParse parse(engine, files, severalFiles);
    return parse.Run(validData);
}

}  // namespace brindle

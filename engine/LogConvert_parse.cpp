#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <system_error>

#include "core/FileStreamEx_u.h"
#include "core/SafeFormat_u.h"
#include "engine/ELogConvert.h"
#include "engine/LogConvert_parser.h"

namespace brindle {

namespace {

ELogConvert CouldNotRead(const std::string& fileName) {
    return ELogConvert(SafeFormat("Could not read the log file '%s'.", {fileName}) +
                       "\r\nThe log file could be corrupt or it could be used already by another application.");
}

ELogConvert NotValid(const std::string& fileName) {
    return ELogConvert(SafeFormat("The file '%s' does not contain valid log file data.", {fileName}) +
                       "\r\nThe log file could be corrupt or it could have an invalid format.\r\n\r\n"
                       "For more information about supported log file types, see the 'Help'.");
}

ELogConvert UnknownDateOrder(const std::string& fileName) {
    return ELogConvert(SafeFormat("Could not determine the date format of '%s'.", {fileName}) +
                       "\r\n\r\nFor more information about supported log file types, see the 'Help'.");
}

// The file's local modification date; false when it cannot be read.
bool FileDate(const std::string& fileName, int& year, int& month, int& day) {
    struct stat info {};
    if (stat(fileName.c_str(), &info) != 0) return false;
    std::tm local{};
    if (!localtime_r(&info.st_mtime, &local)) return false;
    year = local.tm_year + 1900;
    month = local.tm_mon + 1;
    day = local.tm_mday;
    return true;
}

// Percent of a file read, from the bytes read: the chunk's bytes spread evenly over its
// lines. A file that grew since it was opened never pushes it past 100. The line loop asks
// only whether the percentage changes at a line, which costs one comparison.
class TByteProgress {
public:
    explicit TByteProgress(std::int64_t fileSize) : Size(fileSize) {}

    // A new chunk of `lines` lines and `bytes` bytes read from `start` on.
    void StartChunk(std::int64_t start, std::int64_t bytes, std::int64_t lines) {
        Start = start;
        Bytes = bytes;
        Lines = lines;
        Next = NextChange(0);
    }
    // The new percentage when line i (0-based) of the chunk changes it, else -1.
    int ChangeAt(std::int64_t i) {
        if (i < Next) return -1;
        Reported = PercentAt(i);
        Next = NextChange(i + 1);
        return Reported;
    }

private:
    int PercentAt(std::int64_t i) const {
        if (Size <= 0) return 100;
        const std::int64_t done = Start + Bytes * (i + 1) / Lines;
        return static_cast<int>(std::min<std::int64_t>(done * 100 / Size, 100));
    }
    // The first line from `from` on whose percentage differs from the one reported.
    std::int64_t NextChange(std::int64_t from) const {
        if (from >= Lines || Reported >= 100) return Lines;
        if (Size <= 0) return from;
        // The fewest bytes done that give the next percentage, and the first line reaching them.
        const std::int64_t need = ((Reported + 1) * Size + 99) / 100 - Start;
        if (need <= 0) return from;
        if (need > Bytes) return Lines;
        const std::int64_t line = (need * Lines + Bytes - 1) / Bytes - 1;
        return std::clamp(line, from, Lines);
    }

    std::int64_t Size;
    std::int64_t Start = 0;
    std::int64_t Bytes = 0;
    std::int64_t Lines = 1;
    std::int64_t Next = 0;
    int Reported = 0;
};

}  // namespace

int TLogParser::SplitLine(std::string_view line) { return brindle::SplitLine(line, SplitFields); }

void TLogParser::ResetDirectives() {
    W3CColumns = {};
    ISAColumns = {};
    DirectiveDate.clear();
    DirectiveTime.clear();
    W3CFieldsSeen = false;
    ISAFieldsSeen = false;
}

TLogParser::TDirectiveState TLogParser::Directives() const {
    return {W3CColumns, ISAColumns, DirectiveDate, DirectiveTime, W3CFieldsSeen, ISAFieldsSeen};
}

void TLogParser::SetDirectives(const TDirectiveState& state) {
    W3CColumns = state.W3C;
    ISAColumns = state.ISA;
    DirectiveDate = state.Date;
    DirectiveTime = state.Time;
    W3CFieldsSeen = state.W3CFieldsSeen;
    ISAFieldsSeen = state.ISAFieldsSeen;
}

// The file is read once: progress follows the bytes read rather than a line count taken
// beforehand, which would cost a second pass over a log of possibly many gigabytes.
bool TLogParser::ParseLogFile(const std::string& fileName, std::int64_t& badLines) {
    const TRangeScan scan = ParseRange(fileName, {}, true);
    if (!scan.Completed) return false;
    FinishFile(fileName, scan, badLines);
    return true;
}

void TLogParser::FinishFile(const std::string& fileName, const TRangeScan& scan, std::int64_t& badLines) {
    badLines += scan.Bad;
    if (scan.Bad == scan.Lines) throw NotValid(fileName);
}

std::uint8_t TLogParser::DecideFormat(const std::string& fileName, const std::vector<std::string_view>& lines) {
    std::uint8_t format = RunProfile->LogFileFormat;
    if (lines.empty()) throw NotValid(fileName);
    if (format == lfAutoDetect) {
        format = DetectLogFormat(lines);
        if (format == lfAutoDetect) throw NotValid(fileName);
    }
    DateOrder = RunProfile->DateFormat;
    if (DateOrder == doDetect && format == lfIIS) {
        int year = 0, month = 0, day = 0;
        if (FileDate(fileName, year, month, day)) DateOrder = DetectDateOrder(year, month, day, lines);
        if (DateOrder == doDetect) throw UnknownDateOrder(fileName);
    }
    return format;
}

TLogParser::TRangeScan TLogParser::ParseRange(const std::string& fileName, const TFileRange& range, bool report) {
    TRangeScan scan;
    std::uint8_t format = range.Format;
    DateOrder = range.DateOrder;
    const bool fileStart = !range.Decided;
    Opened = false;
    TFileStreamEx reader;
    if (!reader.Open(fileName)) throw CouldNotRead(fileName);
    Opened = true;
    reader.SetMaxLineLength(MaxLogLineLength);
    reader.SetRange(range.Start, range.End);
    const std::int64_t size = reader.Size();
    // Each file starts without the directives of the one before.
    if (range.Start == 0) ResetDirectives();

    const std::size_t slash = fileName.rfind('/');
    const std::string progressText =
        "Analyzing : " + (slash == std::string::npos ? fileName : fileName.substr(slash + 1));
    std::vector<std::string_view> lines;
    std::int64_t dropped = 0;
    TByteProgress progress(size);
    bool restart = true;
    // Workers have no progress to ride on: they look at the flag every so many lines.
    constexpr std::int64_t kCancelStride = 4096;
    std::int64_t untilCancelTest = kCancelStride;
    for (bool lastChunk = false; !lastChunk;) {
        const std::int64_t before = reader.Position();
        try {
            lastChunk = reader.ReadLines(lines, restart);
        } catch (const std::system_error&) {
            throw CouldNotRead(fileName);
        }
        restart = false;
        const std::int64_t chunkBytes = reader.Position() - before;
        // A line too long to keep is one bad line.
        scan.Lines += reader.DroppedLines() - dropped;
        scan.Bad += reader.DroppedLines() - dropped;
        dropped = reader.DroppedLines();
        // The format is decided on the first lines, which a very long first line may push
        // into a later chunk.
        if (fileStart && !scan.Started) {
            if (lines.empty() && !lastChunk) continue;
            format = DecideFormat(fileName, lines);
            scan.Started = true;
            scan.Format = format;
            scan.DateOrder = DateOrder;
            if (report) {
                ReserveRecords(size, chunkBytes, lines.size());
                DoStatus(0, progressText);
                DoProgress(0, progressText);
            }
        }
        const std::int64_t linesInChunk = static_cast<std::int64_t>(lines.size());
        progress.StartChunk(before, chunkBytes, linesInChunk);
        for (std::int64_t i = 0; i < linesInChunk; ++i) {
            ++scan.Lines;
            TLineResult result = TLineResult::NoHit;
            try {
                if (SplitLine(lines[static_cast<std::size_t>(i)]) > 0) {
                    result = MapLine(format);
                    if (result == TLineResult::Hit && PassesFilters()) AddRecord();
                }
            } catch (const std::exception&) {
                result = TLineResult::Bad;
            }
            if (result == TLineResult::Bad) ++scan.Bad;
            if (!report) {
                if (--untilCancelTest == 0) {
                    untilCancelTest = kCancelStride;
                    if (StopRequested()) return scan;
                }
            } else if (const int percent = progress.ChangeAt(i); percent >= 0) {
                DoProgress(percent, progressText);
                if (StopRequested()) return scan;
            }
        }
    }
    scan.Completed = true;
    return scan;
}

// Room for the first file's hits at once, estimated from its first chunk: growing the
// list by doubling would copy it and briefly hold it twice. Only a hint.
void TLogParser::ReserveRecords(std::int64_t fileSize, std::int64_t chunkBytes, std::size_t chunkLines) {
    if (Records == nullptr || !Records->Empty() || chunkBytes <= 0) return;
    // A tenth more: falling just short would double the list at the very end.
    const std::int64_t lines = fileSize / chunkBytes * static_cast<std::int64_t>(chunkLines);
    const std::int64_t estimate = lines + lines / 10 + static_cast<std::int64_t>(chunkLines);
    try {
        Records->Reserve(static_cast<std::size_t>(estimate));
    } catch (const std::exception&) {
        // Not enough room for the estimate: the list grows as hits come.
    }
}

}  // namespace brindle

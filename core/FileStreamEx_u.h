#pragma once
// Reads a text file as whole lines, one chunk at a time, so that a log of any size is parsed
// with bounded memory (one chunk plus the longest line).
//
// What a line is: the file's bytes with every NUL byte dropped, cut at CR LF, a lone CR or a
// lone LF (a CR LF split across two chunks is one line end); a non-empty tail after the last
// line end is a line too. A UTF-8 byte-order mark at the start of the file is no part of the
// first line. CountLines counts exactly the lines that ReadLines returns or drops.
//
// A line longer than the set limit is dropped without being held, and counted (DroppedLines):
// a hostile log of one endless line costs no more memory than any other.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

class TFileStreamEx {
public:
    // Small enough that a chunk is still in the processor's cache when its lines are parsed,
    // and that its buffer comes back warm from the allocator for the next reader.
    static constexpr std::size_t ReadChunkSize = 65536;

    // ChunkSize (at least 1) is the number of bytes read per ReadLines call.
    explicit TFileStreamEx(std::size_t chunkSize = ReadChunkSize);
    // Opens FileName at once; check IsOpen().
    explicit TFileStreamEx(const std::string& fileName, std::size_t chunkSize = ReadChunkSize);
    ~TFileStreamEx();
    TFileStreamEx(const TFileStreamEx&) = delete;
    TFileStreamEx& operator=(const TFileStreamEx&) = delete;

    // Opens FileName read-only (other programs may go on writing it), closing any file open
    // before. False when it cannot be opened or is a folder; LastError() then has the errno.
    bool Open(const std::string& fileName);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    // errno of the last failed Open, 0 after a successful one.
    int LastError() const { return lastError_; }
    const std::string& FileName() const { return fileName_; }

    // Rewinds, counts the lines of the whole file and rewinds again.
    // Throws std::system_error when the file is not open or cannot be read.
    std::int64_t CountLines();

    // Fills Lines with the complete lines of the next chunk (after the text carried over from
    // the chunk before); Restart first rewinds to the start of the file. True when the end of
    // the file was reached: the last line, with or without a line end, is in this call's
    // Lines, and later calls return true with no lines until a restart. The views point into
    // the reader's buffer and stay valid until the next ReadLines, CountLines, Open or Close.
    // Throws std::system_error when the file is not open or cannot be read.
    bool ReadLines(std::vector<std::string_view>& lines, bool restart);

    // Lines longer than this many bytes are dropped; 0 (the default) keeps every line whole.
    void SetMaxLineLength(std::size_t bytes) { maxLine_ = bytes; }
    // Lines dropped for their length since the last restart.
    std::int64_t DroppedLines() const { return dropped_; }

    // Reads only the bytes [Start, End) from the next restart on; End < 0 reads to the end of
    // the file. Start should be 0 or a line start (see LineStartAfter).
    void SetRange(std::int64_t start, std::int64_t end);
    // The first line start at or after Offset, as ReadLines cuts the file (the size of the
    // file when no line end follows). Throws std::system_error when the file cannot be read.
    std::int64_t LineStartAfter(std::int64_t offset);
    // At least the number of lines ReadLines returns or drops for the bytes [Start, End) (End
    // < 0: to the end), counted from the line ends alone, plus one unless the bytes end with
    // a line end: a bound to reserve room by.
    // Throws std::system_error when the file cannot be read.
    std::int64_t LineBound(std::int64_t start, std::int64_t end);

    // Bytes of the file read so far, and the file's current size; for byte-based progress.
    std::int64_t Position() const { return position_; }
    std::int64_t Size() const;
    std::size_t ChunkSize() const { return chunkSize_; }

private:
    void Rewind();
    std::size_t NextReadSize() const;
    std::size_t ReadChunk(char* into);
    // Room for Size bytes, keeping the carry at the front.
    void GrowBuffer(std::size_t size);
    // Adds the line [From, To) to Lines, or counts it as dropped.
    void Keep(std::vector<std::string_view>& lines, const char* from, const char* to);
    [[noreturn]] void Fail(int error, const char* what) const;

    std::size_t chunkSize_;
    int fd_ = -1;
    int lastError_ = 0;
    std::string fileName_;
    std::int64_t position_ = 0;
    std::int64_t rangeStart_ = 0;
    std::int64_t rangeEnd_ = -1;
    bool atEnd_ = false;
    std::size_t maxLine_ = 0;
    std::int64_t dropped_ = 0;
    // Inside a line too long to keep: its bytes are passed over up to the next line end.
    bool skipping_ = false;
    // A CR ended the previous chunk: a LF at the start of the next one belongs to it.
    bool pendingCR_ = false;
    // buffer_[carryStart_, carryStart_ + carryLength_) is the unterminated text of the last
    // chunk read (the Carry); it is moved to the front only on the next call, because this
    // call's lines still point at the bytes before it.
    // Not cleared when made: a chunk-sized buffer for a small file would otherwise touch
    // half a megabyte of fresh pages.
    std::unique_ptr<char[]> buffer_;
    std::size_t bufferSize_ = 0;
    std::size_t carryStart_ = 0;
    std::size_t carryLength_ = 0;
};

}  // namespace brindle

#pragma once
// Reads a text file as whole lines, one chunk at a time, so that a log of any size is parsed
// with bounded memory (one chunk plus the longest line).
//
// What a line is: the file's bytes with every NUL byte dropped, cut at CR LF, a lone CR or a
// lone LF (a CR LF split across two chunks is one line end); a non-empty tail after the last
// line end is a line too. CountLines counts exactly the lines that ReadLines returns.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brindle {

class TFileStreamEx {
public:
    static constexpr std::size_t ReadChunkSize = 524288;

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

    // Bytes of the file read so far, and the file's current size; for byte-based progress.
    std::int64_t Position() const { return position_; }
    std::int64_t Size() const;
    std::size_t ChunkSize() const { return chunkSize_; }

private:
    void Rewind();
    std::size_t ReadChunk(char* into);
    [[noreturn]] void Fail(int error, const char* what) const;

    std::size_t chunkSize_;
    int fd_ = -1;
    int lastError_ = 0;
    std::string fileName_;
    std::int64_t position_ = 0;
    bool atEnd_ = false;
    // A CR ended the previous chunk: a LF at the start of the next one belongs to it.
    bool pendingCR_ = false;
    // buffer_[carryStart_, carryStart_ + carryLength_) is the unterminated text of the last
    // chunk read (the Carry); it is moved to the front only on the next call, because this
    // call's lines still point at the bytes before it.
    std::vector<char> buffer_;
    std::size_t carryStart_ = 0;
    std::size_t carryLength_ = 0;
};

}  // namespace brindle

#include "core/FileStreamEx_u.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <system_error>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace brindle {

namespace {

// Position of the first C in [from, end), or end.
const char* Find(const char* from, const char* end, char c) {
    const void* hit = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return hit != nullptr ? static_cast<const char*>(hit) : end;
}

// Room beyond a chunk for the unfinished line carried over from the chunk before.
constexpr std::size_t kCarryRoom = 4096;

// LineBound reads in blocks this large: small enough to come back from the allocator warm
// for the next piece, large enough that the calls cost nothing beside the scan.
constexpr std::size_t kBoundBlock = std::size_t{64} << 10;

// The LFs in [from, end) when there is no CR among them, in one pass that compares sixteen
// bytes at a time; -1 when there is a CR, which only a byte loop reads right.
std::int64_t CountLineFeedsWithoutCR(const char* from, const char* end) {
    std::int64_t count = 0;
    const char* p = from;
#if defined(__SSE2__)
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    __m128i anyCR = _mm_setzero_si128();
    // Each byte lane counts at most 255 LFs before the lanes are summed; a CR ends the count
    // at the end of its round.
    constexpr std::ptrdiff_t kRound = 16 * 255;
    while (end - p >= 16) {
        const char* const roundEnd = p + std::min<std::ptrdiff_t>(kRound, (end - p) / 16 * 16);
        __m128i lanes = _mm_setzero_si128();
        for (; p < roundEnd; p += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            lanes = _mm_sub_epi8(lanes, _mm_cmpeq_epi8(block, lf));
            anyCR = _mm_or_si128(anyCR, _mm_cmpeq_epi8(block, cr));
        }
        if (_mm_movemask_epi8(anyCR) != 0) return -1;
        const __m128i sums = _mm_sad_epu8(lanes, _mm_setzero_si128());
        count += _mm_cvtsi128_si64(sums) + _mm_cvtsi128_si64(_mm_unpackhi_epi64(sums, sums));
    }
#endif
    for (; p < end; ++p) {
        if (*p == '\r') return -1;
        count += *p == '\n' ? 1 : 0;
    }
    return count;
}

}  // namespace

TFileStreamEx::TFileStreamEx(std::size_t chunkSize) : chunkSize_(std::max<std::size_t>(chunkSize, 1)) {}

TFileStreamEx::TFileStreamEx(const std::string& fileName, std::size_t chunkSize) : TFileStreamEx(chunkSize) {
    Open(fileName);
}

TFileStreamEx::~TFileStreamEx() { Close(); }

bool TFileStreamEx::Open(const std::string& fileName) {
    Close();
    fileName_ = fileName;
    const int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        lastError_ = errno;
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        lastError_ = S_ISDIR(st.st_mode) ? EISDIR : errno;
        ::close(fd);
        return false;
    }
    ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    fd_ = fd;
    lastError_ = 0;
    return true;
}

void TFileStreamEx::Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    position_ = 0;
    atEnd_ = false;
    pendingCR_ = false;
    carryStart_ = 0;
    carryLength_ = 0;
    buffer_.reset();
    bufferSize_ = 0;
}

std::int64_t TFileStreamEx::Size() const {
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) return 0;
    return static_cast<std::int64_t>(st.st_size);
}

void TFileStreamEx::Fail(int error, const char* what) const {
    throw std::system_error(error, std::generic_category(), std::string(what) + " '" + fileName_ + "'");
}

void TFileStreamEx::SetRange(std::int64_t start, std::int64_t end) {
    rangeStart_ = std::max<std::int64_t>(start, 0);
    rangeEnd_ = end;
}

void TFileStreamEx::Rewind() {
    if (fd_ < 0) Fail(EBADF, "Could not read");
    std::int64_t start = rangeStart_;
    if (start == 0) {
        // Editors put a byte-order mark in front of UTF-8 text; it would stick to the first field.
        unsigned char mark[3] = {};
        const ssize_t n = ::pread(fd_, mark, sizeof mark, 0);
        if (n == 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) start = 3;
    }
    if (::lseek(fd_, start, SEEK_SET) < 0) Fail(errno, "Could not rewind");
    position_ = start;
    atEnd_ = false;
    pendingCR_ = false;
    skipping_ = false;
    dropped_ = 0;
    carryStart_ = 0;
    carryLength_ = 0;
}

std::int64_t TFileStreamEx::LineStartAfter(std::int64_t offset) {
    if (fd_ < 0) Fail(EBADF, "Could not read");
    constexpr std::size_t kBlock = 4096;
    std::vector<char> block(kBlock);
    bool afterCR = false;  // a CR was seen: NULs are skipped, a LF still belongs to it
    for (std::int64_t at = std::max<std::int64_t>(offset, 0);;) {
        const ssize_t n = ::pread(fd_, block.data(), kBlock, at);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(errno, "Could not read");
        }
        if (n == 0) return at;
        for (ssize_t i = 0; i < n; ++i) {
            const char c = block[static_cast<std::size_t>(i)];
            if (afterCR) {
                if (c == '\0') continue;
                return c == '\n' ? at + i + 1 : at + i;
            }
            if (c == '\n') return at + i + 1;
            if (c == '\r') afterCR = true;
        }
        at += n;
    }
}

std::size_t TFileStreamEx::NextReadSize() const {
    if (rangeEnd_ < 0) return chunkSize_;
    return static_cast<std::size_t>(std::clamp<std::int64_t>(rangeEnd_ - position_, 0, chunkSize_));
}

void TFileStreamEx::GrowBuffer(std::size_t size) {
    if (bufferSize_ >= size) return;
    // Room for a usual carry from the start, and growth by halves after, so that a reader
    // takes a new buffer about once.
    size = std::max(size + kCarryRoom, bufferSize_ + bufferSize_ / 2);
    auto grown = std::make_unique_for_overwrite<char[]>(size);
    if (carryLength_ > 0) std::memcpy(grown.get(), buffer_.get(), carryLength_);
    buffer_ = std::move(grown);
    bufferSize_ = size;
}

std::size_t TFileStreamEx::ReadChunk(char* into) {
    const std::size_t want = NextReadSize();
    // A short read is the end of the file only when read() says so by returning 0.
    std::size_t got = 0;
    while (got < want) {
        const ssize_t n = ::read(fd_, into + got, want - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(errno, "Could not read");
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    position_ += static_cast<std::int64_t>(got);
    return got;
}

bool TFileStreamEx::ReadLines(std::vector<std::string_view>& lines, bool restart) {
    lines.clear();
    if (fd_ < 0) Fail(EBADF, "Could not read");
    if (restart) Rewind();
    if (atEnd_) return true;

    if (carryStart_ > 0 && carryLength_ > 0) std::memmove(buffer_.get(), buffer_.get() + carryStart_, carryLength_);
    carryStart_ = 0;
    // A short range needs no buffer of a whole chunk.
    GrowBuffer(carryLength_ + NextReadSize());

    char* const data = buffer_.get();
    char* const fresh = data + carryLength_;
    const std::size_t got = ReadChunk(fresh);
    const bool last = got < chunkSize_;
    std::size_t freshLength = got;
    if (std::memchr(fresh, '\0', got) != nullptr)
        freshLength = static_cast<std::size_t>(std::remove(fresh, fresh + got, '\0') - fresh);

    const char* const end = fresh + freshLength;
    const char* lineStart = data;  // the carry, if any, starts the first line
    const char* p = fresh;
    if (pendingCR_ && freshLength > 0) {
        // The carry is empty here: the CR ended the line before.
        if (*p == '\n') lineStart = ++p;
        pendingCR_ = false;
    }

    // The next CR and the next LF are each searched for only once they fall behind p, so a
    // file with only one kind of line end costs one memchr per line.
    const char* cr = Find(p, end, '\r');
    const char* lf = Find(p, end, '\n');
    for (;;) {
        if (cr < p) cr = Find(p, end, '\r');
        if (lf < p) lf = Find(p, end, '\n');
        const char* const stop = std::min(cr, lf);
        if (stop == end) break;
        Keep(lines, lineStart, stop);
        p = stop + 1;
        if (*stop == '\r') {
            if (p == end)
                pendingCR_ = true;
            else if (*p == '\n')
                ++p;
        }
        lineStart = p;
    }

    const auto tail = static_cast<std::size_t>(end - lineStart);
    if (last) {
        if (tail > 0 || skipping_) Keep(lines, lineStart, end);
        carryLength_ = 0;
        atEnd_ = true;
    } else if (skipping_ || (maxLine_ > 0 && tail > maxLine_)) {
        skipping_ = true;
        carryLength_ = 0;
    } else {
        carryStart_ = static_cast<std::size_t>(lineStart - data);
        carryLength_ = tail;
    }
    return last;
}

void TFileStreamEx::Keep(std::vector<std::string_view>& lines, const char* from, const char* to) {
    const auto length = static_cast<std::size_t>(to - from);
    if (skipping_ || (maxLine_ > 0 && length > maxLine_)) {
        skipping_ = false;
        ++dropped_;
        return;
    }
    lines.emplace_back(from, length);
}

std::int64_t TFileStreamEx::CountLines() {
    std::vector<std::string_view> lines;
    std::int64_t count = 0;
    for (bool last = ReadLines(lines, true);; last = ReadLines(lines, false)) {
        count += static_cast<std::int64_t>(lines.size());
        if (last) break;
    }
    count += dropped_;
    Rewind();
    return count;
}

std::int64_t TFileStreamEx::LineBound(std::int64_t start, std::int64_t end) {
    if (fd_ < 0) Fail(EBADF, "read");
    std::size_t blockSize = kBoundBlock;
    if (end >= 0) blockSize = static_cast<std::size_t>(std::clamp<std::int64_t>(end - start, 1, kBoundBlock));
    const std::unique_ptr<char[]> buffer = std::make_unique_for_overwrite<char[]>(blockSize);
    const std::span<char> block(buffer.get(), blockSize);
    std::int64_t count = 0;
    bool afterCR = false;
    bool endsWithLineEnd = false;
    for (std::int64_t at = start; end < 0 || at < end;) {
        std::size_t want = block.size();
        if (end >= 0)
            want = static_cast<std::size_t>(std::min<std::int64_t>(end - at, static_cast<std::int64_t>(want)));
        const ssize_t got = pread(fd_, block.data(), want, at);
        if (got < 0) {
            if (errno == EINTR) continue;
            Fail(errno, "read");
        }
        if (got == 0) break;
        const char* p = block.data();
        const char* const stop = p + got;
        endsWithLineEnd = stop[-1] == '\n' || stop[-1] == '\r';
        if (afterCR && *p == '\n') ++p;  // the LF of a CR LF already counted
        afterCR = false;
        if (const std::int64_t lineFeeds = CountLineFeedsWithoutCR(p, stop); lineFeeds >= 0) {
            // The common case, LF alone.
            count += lineFeeds;
            p = stop;
        }
        for (; p < stop; ++p) {
            if (*p == '\n') {
                ++count;
            } else if (*p == '\r') {
                ++count;
                if (p + 1 < stop && p[1] == '\n')
                    ++p;
                else if (p + 1 == stop)
                    afterCR = true;
            }
        }
        at += got;
    }
    // Room for a last line without a line end. The parse's ranges end at line starts, so
    // then none is reserved and the pieces' hits lie end to end without being moved.
    return endsWithLineEnd ? count : count + 1;
}

}  // namespace brindle

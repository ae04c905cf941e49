#pragma once
// Little-endian binary forms of the analysis document and the DNS cache. The writer appends
// to a byte buffer; the reader walks a byte view and never reads past its end.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace brindle {

// Longest text of the stored forms; a longer length in a file is a failed read.
constexpr std::size_t kMaxStreamText = 2048;

// The longest prefix of Text of at most MaxBytes bytes that does not end inside a UTF-8
// sequence (bytes that are not UTF-8 are cut where the limit falls).
std::string_view CutAtUtf8Boundary(std::string_view text, std::size_t maxBytes);

class TBinaryWriter {
public:
    TBinaryWriter() = default;

    void WriteU8(std::uint8_t value);
    void WriteU16(std::uint16_t value);
    void WriteU32(std::uint32_t value);
    void WriteI32(std::int32_t value);
    void WriteU64(std::uint64_t value);
    void WriteI64(std::int64_t value);
    void WriteDouble(double value);
    void WriteBytes(std::string_view bytes);
    // Signed 32-bit byte count, then the bytes; Text must fit the count.
    void WriteString32(std::string_view text);

    const std::string& Data() const { return buffer_; }
    // The caller may flush the bytes written so far and clear them.
    std::string& Buffer() { return buffer_; }
    std::size_t Size() const { return buffer_.size(); }

private:
    void AppendLE(std::uint64_t value, int bytes);
    std::string buffer_;
};

// Every read either takes all its bytes and returns true, or returns false leaving both the
// output and the position as they were.
class TBinaryReader {
public:
    explicit TBinaryReader(std::string_view data) : data_(data) {}
    // The reader only views its bytes: a temporary string would be gone before the first read.
    explicit TBinaryReader(std::string&&) = delete;

    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return data_.size() - pos_; }
    bool AtEnd() const { return pos_ == data_.size(); }

    bool ReadU8(std::uint8_t& value) { return ReadInt(value); }
    bool ReadU16(std::uint16_t& value) { return ReadInt(value); }
    bool ReadU32(std::uint32_t& value) { return ReadInt(value); }
    bool ReadI32(std::int32_t& value) { return ReadInt(value); }
    bool ReadU64(std::uint64_t& value) { return ReadInt(value); }
    bool ReadI64(std::int64_t& value) { return ReadInt(value); }
    bool ReadDouble(double& value);
    bool ReadBytes(std::size_t count, std::string& bytes);
    bool Skip(std::size_t count);
    // Signed 32-bit byte count in 0..MaxBytes, then the bytes.
    bool ReadString32(std::string& text, std::size_t maxBytes);
    // Signed 32-bit record count; a negative count reads as 0. False when Count records of
    // at least MinRecordBytes each cannot fit in the bytes left, so no caller reserves room
    // for records the data cannot hold.
    bool ReadCount(std::size_t& count, std::size_t minRecordBytes);

private:
    bool ReadLE(std::uint64_t& value, int bytes);
    template <typename T>
    bool ReadInt(T& value) {
        std::uint64_t raw = 0;
        if (!ReadLE(raw, sizeof(T))) return false;
        value = static_cast<T>(raw);  // modulo 2^n, so signed values come back as written
        return true;
    }
    std::string_view data_;
    std::size_t pos_ = 0;
};

// The text form of the stored records: a signed 32-bit length and at most kMaxStreamText
// bytes. Longer texts are cut on a UTF-8 boundary so that the reader accepts them.
void WriteStreamString(TBinaryWriter& writer, std::string_view text);
bool ReadStreamString(TBinaryReader& reader, std::string& text);

}  // namespace brindle

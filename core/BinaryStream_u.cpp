#include "core/BinaryStream_u.h"

#include <bit>
#include <limits>

namespace brindle {

namespace {

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

// Bytes of the sequence a lead byte announces; 0 for a byte that cannot start one.
std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

}  // namespace

std::string_view CutAtUtf8Boundary(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    // Walk back over at most three continuation bytes to the lead byte of the sequence the
    // limit falls into; cut before it only when that sequence does not fit whole.
    std::size_t lead = maxBytes;
    while (lead > 0 && maxBytes - lead < 3 && IsContinuationByte(static_cast<unsigned char>(text[lead]))) --lead;
    const std::size_t length = SequenceLength(static_cast<unsigned char>(text[lead]));
    if (lead < maxBytes && length > 1 && lead + length > maxBytes) return text.substr(0, lead);
    return text.substr(0, maxBytes);
}

void TBinaryWriter::AppendLE(std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) buffer_.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void TBinaryWriter::WriteU8(std::uint8_t value) { AppendLE(value, 1); }
void TBinaryWriter::WriteU16(std::uint16_t value) { AppendLE(value, 2); }
void TBinaryWriter::WriteU32(std::uint32_t value) { AppendLE(value, 4); }
void TBinaryWriter::WriteI32(std::int32_t value) { AppendLE(static_cast<std::uint32_t>(value), 4); }
void TBinaryWriter::WriteU64(std::uint64_t value) { AppendLE(value, 8); }
void TBinaryWriter::WriteI64(std::int64_t value) { AppendLE(static_cast<std::uint64_t>(value), 8); }
void TBinaryWriter::WriteDouble(double value) { AppendLE(std::bit_cast<std::uint64_t>(value), 8); }
void TBinaryWriter::WriteBytes(std::string_view bytes) { buffer_.append(bytes); }

void TBinaryWriter::WriteString32(std::string_view text) {
    WriteI32(static_cast<std::int32_t>(text.size()));
    WriteBytes(text);
}

bool TBinaryReader::ReadLE(std::uint64_t& value, int bytes) {
    if (Remaining() < static_cast<std::size_t>(bytes)) return false;
    std::uint64_t result = 0;
    for (int i = 0; i < bytes; ++i)
        result |= static_cast<std::uint64_t>(static_cast<unsigned char>(data_[pos_ + i])) << (8 * i);
    pos_ += bytes;
    value = result;
    return true;
}

bool TBinaryReader::ReadDouble(double& value) {
    std::uint64_t raw = 0;
    if (!ReadLE(raw, 8)) return false;
    value = std::bit_cast<double>(raw);
    return true;
}

bool TBinaryReader::ReadBytes(std::size_t count, std::string& bytes) {
    if (Remaining() < count) return false;
    bytes.assign(data_.substr(pos_, count));
    pos_ += count;
    return true;
}

bool TBinaryReader::Skip(std::size_t count) {
    if (Remaining() < count) return false;
    pos_ += count;
    return true;
}

bool TBinaryReader::ReadString32(std::string& text, std::size_t maxBytes) {
    const std::size_t start = pos_;
    std::int32_t length = 0;
    if (!ReadI32(length)) return false;
    if (length < 0 || static_cast<std::size_t>(length) > maxBytes || !ReadBytes(length, text)) {
        pos_ = start;
        return false;
    }
    return true;
}

bool TBinaryReader::ReadCount(std::size_t& count, std::size_t minRecordBytes) {
    const std::size_t start = pos_;
    std::int32_t raw = 0;
    if (!ReadI32(raw)) return false;
    const std::size_t wanted = raw < 0 ? 0 : static_cast<std::size_t>(raw);
    if (minRecordBytes > 0 && wanted > Remaining() / minRecordBytes) {
        pos_ = start;
        return false;
    }
    count = wanted;
    return true;
}

void WriteStreamString(TBinaryWriter& writer, std::string_view text) {
    writer.WriteString32(CutAtUtf8Boundary(text, kMaxStreamText));
}

bool ReadStreamString(TBinaryReader& reader, std::string& text) { return reader.ReadString32(text, kMaxStreamText); }

}  // namespace brindle

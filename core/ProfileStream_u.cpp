// The profile block of an analysis document.
#include <new>
#include <stdexcept>

#include "core/BinaryStream_u.h"
#include "core/Profiles_u.h"

namespace brindle {

namespace {

// Smallest stored size of one record: empty texts are their 4-byte length alone.
constexpr std::size_t kMinLogFileBytes = 4 * 4 + 2 * 4;
constexpr std::size_t kMinReportBytes = 1 + 7 * 4;
constexpr std::size_t kMinFilterBytes = 2 + 3 * 4;

void WriteCount(TBinaryWriter& writer, std::size_t count) { writer.WriteI32(static_cast<std::int32_t>(count)); }

// Reads Count records with ReadRecord into a fresh vector; the list and the reader change
// only when every record was read whole.
template <typename TRec, typename TReadRecord>
bool ReadRecords(TBinaryReader& reader, std::size_t minRecordBytes, std::vector<TRec>& items, TReadRecord readRecord) {
    TBinaryReader in = reader;
    std::size_t count = 0;
    if (!in.ReadCount(count, minRecordBytes)) return false;
    std::vector<TRec> read;
    read.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        TRec rec;
        if (!readRecord(in, rec)) return false;
        read.push_back(std::move(rec));
    }
    items.swap(read);
    reader = in;
    return true;
}

}  // namespace

void TLstLogFileProperty::WriteToStream(TBinaryWriter& writer) const {
    WriteCount(writer, items_.size());
    for (const auto& rec : items_) {
        WriteStreamString(writer, rec.LogFileType);
        WriteStreamString(writer, rec.LogFileURL);
        WriteStreamString(writer, rec.LoginUserName);
        WriteStreamString(writer, "");  // a document never carries a password
        writer.WriteI32(rec.LoginPort);
        writer.WriteI32(rec.PassiveMode);
    }
}

bool TLstLogFileProperty::ReadFromStream(TBinaryReader& reader) {
    return ReadRecords(reader, kMinLogFileBytes, items_, [](TBinaryReader& in, TRecLogFileProperty& rec) {
        rec.Enable = 1;  // the block has no Enable; the profiles file also takes 1 when it is missing
        return ReadStreamString(in, rec.LogFileType) && ReadStreamString(in, rec.LogFileURL) &&
               ReadStreamString(in, rec.LoginUserName) && ReadStreamString(in, rec.LoginPassword) &&
               in.ReadI32(rec.LoginPort) && in.ReadI32(rec.PassiveMode);
    });
}

void TLstReportProperty::WriteToStream(TBinaryWriter& writer) const {
    WriteCount(writer, items_.size());
    for (const auto& rec : items_) {
        writer.WriteU8(rec.ID);
        for (std::int32_t value : {rec.Enable, rec.EnableList, rec.EnableChart, rec.EnableChartDaily, rec.NbItemsList,
                                   rec.NbItemsChart, rec.NbItemsChartDaily})
            writer.WriteI32(value);
    }
}

bool TLstReportProperty::ReadFromStream(TBinaryReader& reader) {
    return ReadRecords(reader, kMinReportBytes, items_, [](TBinaryReader& in, TRecReportProperty& rec) {
        return in.ReadU8(rec.ID) && in.ReadI32(rec.Enable) && in.ReadI32(rec.EnableList) &&
               in.ReadI32(rec.EnableChart) && in.ReadI32(rec.EnableChartDaily) && in.ReadI32(rec.NbItemsList) &&
               in.ReadI32(rec.NbItemsChart) && in.ReadI32(rec.NbItemsChartDaily);
    });
}

void TLstFilterProperty::WriteToStream(TBinaryWriter& writer) const {
    WriteCount(writer, items_.size());
    for (const auto& rec : items_) {
        writer.WriteU8(rec.FilterType);
        writer.WriteU8(rec.FilterItem);
        WriteStreamString(writer, rec.Name);
        WriteStreamString(writer, rec.Value1);
        WriteStreamString(writer, rec.Value2);
    }
}

bool TLstFilterProperty::ReadFromStream(TBinaryReader& reader) {
    return ReadRecords(reader, kMinFilterBytes, items_, [](TBinaryReader& in, TRecFilterProperty& rec) {
        return in.ReadU8(rec.FilterType) && in.ReadU8(rec.FilterItem) && ReadStreamString(in, rec.Name) &&
               ReadStreamString(in, rec.Value1) && ReadStreamString(in, rec.Value2);
    });
}

bool TProfile::WriteToStream(TBinaryWriter& writer) const {
    try {
        WriteStreamString(writer, Name);
        LogFiles.WriteToStream(writer);
        writer.WriteU8(LogFileFormat);
        writer.WriteU8(DateFormat);
        WriteStreamString(writer, DomainName);
        WriteStreamString(writer, DefaultPage);
        writer.WriteI32(DNSLookup);
        writer.WriteI32(AutoExport);
        writer.WriteU8(AutoExportType);
        WriteStreamString(writer, AutoExportFile);
        WriteStreamString(writer, AutoExportLanguageID);
        WriteStreamString(writer, Description);
        writer.WriteI32(OffsetSign);
        writer.WriteI32(OffsetHour);
        writer.WriteI32(OffsetMinute);
        Reports.WriteToStream(writer);
        Filters.WriteToStream(writer);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}

bool TProfile::ReadFromStream(TBinaryReader& reader, std::uint32_t version) {
    if (version != kProfileBlockVersion21 && version != kProfileBlockVersion20) return false;
    // Fields the block does not carry (the legacy source) keep their values.
    TProfile read(*this);
    TBinaryReader in = reader;
    bool ok = ReadStreamString(in, read.Name) && read.LogFiles.ReadFromStream(in) && in.ReadU8(read.LogFileFormat) &&
              in.ReadU8(read.DateFormat) && ReadStreamString(in, read.DomainName) &&
              ReadStreamString(in, read.DefaultPage) && in.ReadI32(read.DNSLookup) && in.ReadI32(read.AutoExport) &&
              in.ReadU8(read.AutoExportType) && ReadStreamString(in, read.AutoExportFile);
    if (ok) {
        if (version == kProfileBlockVersion21)
            ok = ReadStreamString(in, read.AutoExportLanguageID);
        else
            read.AutoExportLanguageID = "default";
    }
    ok = ok && ReadStreamString(in, read.Description) && in.ReadI32(read.OffsetSign) && in.ReadI32(read.OffsetHour) &&
         in.ReadI32(read.OffsetMinute) && read.Reports.ReadFromStream(in) && read.Filters.ReadFromStream(in);
    if (!ok) return false;
    *this = std::move(read);
    reader = in;
    return true;
}

}  // namespace brindle

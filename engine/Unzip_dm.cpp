#include "engine/Unzip_dm.h"

#include <archive.h>
#include <archive_entry.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "core/SafeFile_u.h"

namespace brindle {

namespace {

using ArchivePtr = std::unique_ptr<archive, decltype(&archive_read_free)>;

bool HasExtension(const std::string& path, std::string_view extension) {
    if (path.size() < extension.size()) return false;
    for (size_t i = 0; i < extension.size(); ++i) {
        const char c = path[path.size() - extension.size() + i];
        const char lower = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        if (lower != extension[i]) return false;
    }
    return true;
}

// The name stored in a gzip header (RFC 1952 FNAME), empty when there is none.
std::string GzipStoredName(const std::string& path) {
    std::unique_ptr<std::FILE, decltype(&std::fclose)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file) return {};
    unsigned char header[10];
    if (std::fread(header, 1, sizeof header, file.get()) != sizeof header) return {};
    if (header[0] != 0x1f || header[1] != 0x8b) return {};
    const unsigned flags = header[3];
    if (flags & 0x04) {  // FEXTRA
        unsigned char length[2];
        if (std::fread(length, 1, 2, file.get()) != 2) return {};
        if (std::fseek(file.get(), length[0] | (length[1] << 8), SEEK_CUR) != 0) return {};
    }
    if (!(flags & 0x08)) return {};  // no FNAME
    std::string name;
    for (int c; (c = std::fgetc(file.get())) != EOF && c != 0 && name.size() < 1024;)
        name.push_back(static_cast<char>(c));
    return name;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// The name of the single file in a gzip file: its stored name, or the archive's own name
// without its last extension when none was stored ("unknown" is what some tools store then).
std::string GzipMemberName(const std::string& archivePath) {
    std::string stored = GzipStoredName(archivePath);
    const size_t slash = stored.find_last_of("/\\");
    if (slash != std::string::npos) stored.erase(0, slash + 1);
    if (!stored.empty() && !EqualsNoCase(stored, "unknown")) return TLocalNames::SafeComponent(stored);
    const std::filesystem::path own(archivePath);
    return TLocalNames::SafeComponent(own.stem().string());
}

bool IsGzipped(archive* reader) {
    const int count = archive_filter_count(reader);
    for (int i = 0; i < count; ++i) {
        if (archive_filter_code(reader, i) == ARCHIVE_FILTER_GZIP) return true;
    }
    return false;
}

bool MakeFolders(const std::string& folderPath) {
    std::error_code ec;
    std::filesystem::create_directories(folderPath, ec);
    return std::filesystem::is_directory(folderPath, ec);
}

// Copies the current entry's data to Path; sparse holes are written as zeros. A failure on
// the writing side sets WriteFailure.
bool WriteEntryData(archive* reader, const std::string& path, std::string& writeFailure) {
    const std::filesystem::path target(path);
    const std::string folder = target.parent_path().string();
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder)) {
        writeFailure = WriteFailureText(path, ec ? ec.message() : std::string());
        return false;
    }
    TAtomicFile file;
    const auto writeFailed = [&] {
        writeFailure = WriteFailureText(path, file.ErrorText());
        return false;
    };
    if (!file.Open(path)) return writeFailed();
    static const std::string kZeros(65536, '\0');
    int64_t written = 0;
    for (;;) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int status = archive_read_data_block(reader, &block, &size, &offset);
        if (status == ARCHIVE_EOF) break;
        if (status < ARCHIVE_WARN || offset < written) return false;
        while (written < offset) {
            const auto gap = static_cast<size_t>(std::min<int64_t>(offset - written, kZeros.size()));
            if (!file.Write(std::string_view(kZeros.data(), gap))) return writeFailed();
            written += static_cast<int64_t>(gap);
        }
        if (!file.Write(std::string_view(static_cast<const char*>(block), size))) return writeFailed();
        written += static_cast<int64_t>(size);
    }
    return file.Commit() || writeFailed();
}

const char* EntryPath(archive_entry* entry) {
    const char* path = archive_entry_pathname_utf8(entry);
    return path ? path : archive_entry_pathname(entry);
}

}  // namespace

bool TdmUnzip::ExtractArchive(const std::string& Archive, const std::string& Folder,
                              std::vector<std::string>& Members) const {
    TLocalNames names;
    return ExtractArchive(Archive, Folder, Members, names);
}

bool TdmUnzip::ExtractArchive(const std::string& Archive, const std::string& Folder, std::vector<std::string>& Members,
                              TLocalNames& Names) const {
    writeFailure_.clear();
    // An archive named again in the run would only repeat its members.
    if (!Names.MarkUnpacked(Archive)) return true;
    // No member may take the archive's own path.
    Names.Reserve(Archive);

    ArchivePtr reader(archive_read_new(), &archive_read_free);
    if (!reader) return false;
    const bool zip = HasExtension(Archive, ".zip");
    if (zip) {
        // The central directory is the archive's own list of members: without it the archive
        // is damaged, whatever the local headers say.
        archive_read_support_format_zip_seekable(reader.get());
    } else {
        // A gzip file holds either a tar archive or one plain file.
        archive_read_support_filter_gzip(reader.get());
        archive_read_support_format_tar(reader.get());
        archive_read_support_format_raw(reader.get());
    }
    if (archive_read_open_filename(reader.get(), Archive.c_str(), 65536) != ARCHIVE_OK) return false;

    for (;;) {
        archive_entry* entry = nullptr;
        const int status = archive_read_next_header(reader.get(), &entry);
        if (status == ARCHIVE_EOF) break;
        if (status < ARCHIVE_WARN) return false;
        // Without the gzip layer the raw reader would take any file as "unpacked".
        if (!zip && !IsGzipped(reader.get())) return false;

        const bool raw = archive_format(reader.get()) == ARCHIVE_FORMAT_RAW;
        const char* stored = EntryPath(entry);
        const std::string relative =
            raw ? GzipMemberName(Archive) : TLocalNames::SafeRelativePath(stored ? stored : "");
        const auto type = archive_entry_filetype(entry);
        if (!raw && type == AE_IFDIR) {
            // Only for empty folders; a folder that cannot be made fails its files instead.
            MakeFolders(Folder + relative);
            continue;
        }
        if (!raw && (type != AE_IFREG || archive_entry_hardlink(entry) != nullptr)) continue;

        const std::string path = Names.Claim(Folder, relative);
        if (!WriteEntryData(reader.get(), path, writeFailure_)) {
            Names.Release(path);
            return false;
        }
        Members.push_back(path);
    }
    return archive_read_close(reader.get()) == ARCHIVE_OK;
}

}  // namespace brindle

// The libarchive functions the program calls, loaded with the library on the first call.
// libarchive brings eight more libraries (XML, compressors, ACLs, crypto) whose loading every
// start paid for, although only archived logs and the Word export use them. A missing
// library makes every call fail as a broken archive would, which the callers report.
#include <archive.h>
#include <archive_entry.h>
#include <dlfcn.h>

namespace brindle {
namespace {

void* Library() {
    static void* const library = dlopen("libarchive.so.13", RTLD_NOW | RTLD_LOCAL);
    return library;
}

// Null when the library or the function is missing.
template <typename F>
F* Entry(const char* name) {
    void* library = Library();
    return library ? reinterpret_cast<F*>(dlsym(library, name)) : nullptr;
}

}  // namespace
}  // namespace brindle

using brindle::Entry;

extern "C" {

archive* archive_read_new() {
    static auto* const real = Entry<decltype(archive_read_new)>("archive_read_new");
    return real ? real() : nullptr;
}

int archive_read_free(archive* a) {
    static auto* const real = Entry<decltype(archive_read_free)>("archive_read_free");
    return real ? real(a) : ARCHIVE_FATAL;
}

int archive_read_close(archive* a) {
    static auto* const real = Entry<decltype(archive_read_close)>("archive_read_close");
    return real ? real(a) : ARCHIVE_FATAL;
}

int archive_read_support_format_zip_seekable(archive* a) {
    static auto* const real =
        Entry<decltype(archive_read_support_format_zip_seekable)>("archive_read_support_format_zip_seekable");
    return real ? real(a) : ARCHIVE_FATAL;
}

int archive_read_support_format_zip(archive* a) {
    static auto* const real = Entry<decltype(archive_read_support_format_zip)>("archive_read_support_format_zip");
    return real ? real(a) : ARCHIVE_FATAL;
}

int archive_read_support_format_tar(archive* a) {
    static auto* const real = Entry<decltype(archive_read_support_format_tar)>("archive_read_support_format_tar");
    return real ? real(a) : ARCHIVE_FATAL;
}

int archive_read_support_format_raw(archive* a) {
    static auto* const real = Entry<decltype(archive_read_support_format_raw)>("archive_read_support_format_raw");
    return real ? real(a) : ARCHIVE_FATAL;
}

int archive_read_support_filter_gzip(archive* a) {
    static auto* const real = Entry<decltype(archive_read_support_filter_gzip)>("archive_read_support_filter_gzip");
    return real ? real(a) : ARCHIVE_FATAL;
}

int archive_read_open_filename(archive* a, const char* fileName, size_t blockSize) {
    static auto* const real = Entry<decltype(archive_read_open_filename)>("archive_read_open_filename");
    return real ? real(a, fileName, blockSize) : ARCHIVE_FATAL;
}

int archive_read_open_memory(archive* a, const void* buffer, size_t size) {
    static auto* const real = Entry<decltype(archive_read_open_memory)>("archive_read_open_memory");
    return real ? real(a, buffer, size) : ARCHIVE_FATAL;
}

int archive_read_next_header(archive* a, archive_entry** entry) {
    static auto* const real = Entry<decltype(archive_read_next_header)>("archive_read_next_header");
    return real ? real(a, entry) : ARCHIVE_FATAL;
}

int archive_read_data_block(archive* a, const void** buffer, size_t* size, la_int64_t* offset) {
    static auto* const real = Entry<decltype(archive_read_data_block)>("archive_read_data_block");
    return real ? real(a, buffer, size, offset) : ARCHIVE_FATAL;
}

la_ssize_t archive_read_data(archive* a, void* buffer, size_t size) {
    static auto* const real = Entry<decltype(archive_read_data)>("archive_read_data");
    return real ? real(a, buffer, size) : ARCHIVE_FATAL;
}

int archive_format(archive* a) {
    static auto* const real = Entry<decltype(archive_format)>("archive_format");
    return real ? real(a) : 0;
}

int archive_filter_count(archive* a) {
    static auto* const real = Entry<decltype(archive_filter_count)>("archive_filter_count");
    return real ? real(a) : 0;
}

int archive_filter_code(archive* a, int filter) {
    static auto* const real = Entry<decltype(archive_filter_code)>("archive_filter_code");
    return real ? real(a, filter) : ARCHIVE_FATAL;
}

archive* archive_write_new() {
    static auto* const real = Entry<decltype(archive_write_new)>("archive_write_new");
    return real ? real() : nullptr;
}

int archive_write_free(archive* a) {
    static auto* const real = Entry<decltype(archive_write_free)>("archive_write_free");
    return real ? real(a) : ARCHIVE_FATAL;
}

int archive_write_close(archive* a) {
    static auto* const real = Entry<decltype(archive_write_close)>("archive_write_close");
    return real ? real(a) : ARCHIVE_FATAL;
}

int archive_write_set_format_zip(archive* a) {
    static auto* const real = Entry<decltype(archive_write_set_format_zip)>("archive_write_set_format_zip");
    return real ? real(a) : ARCHIVE_FATAL;
}

int archive_write_set_format_raw(archive* a) {
    static auto* const real = Entry<decltype(archive_write_set_format_raw)>("archive_write_set_format_raw");
    return real ? real(a) : ARCHIVE_FATAL;
}

int archive_write_zip_set_compression_deflate(archive* a) {
    static auto* const real =
        Entry<decltype(archive_write_zip_set_compression_deflate)>("archive_write_zip_set_compression_deflate");
    return real ? real(a) : ARCHIVE_FATAL;
}

int archive_write_set_bytes_per_block(archive* a, int bytes) {
    static auto* const real = Entry<decltype(archive_write_set_bytes_per_block)>("archive_write_set_bytes_per_block");
    return real ? real(a, bytes) : ARCHIVE_FATAL;
}

int archive_write_add_filter_gzip(archive* a) {
    static auto* const real = Entry<decltype(archive_write_add_filter_gzip)>("archive_write_add_filter_gzip");
    return real ? real(a) : ARCHIVE_FATAL;
}

int archive_write_open(archive* a, void* data, archive_open_callback* open, archive_write_callback* write,
                       archive_close_callback* close) {
    static auto* const real = Entry<decltype(archive_write_open)>("archive_write_open");
    return real ? real(a, data, open, write, close) : ARCHIVE_FATAL;
}

int archive_write_open_filename(archive* a, const char* fileName) {
    static auto* const real = Entry<decltype(archive_write_open_filename)>("archive_write_open_filename");
    return real ? real(a, fileName) : ARCHIVE_FATAL;
}

int archive_write_header(archive* a, archive_entry* entry) {
    static auto* const real = Entry<decltype(archive_write_header)>("archive_write_header");
    return real ? real(a, entry) : ARCHIVE_FATAL;
}

la_ssize_t archive_write_data(archive* a, const void* buffer, size_t size) {
    static auto* const real = Entry<decltype(archive_write_data)>("archive_write_data");
    return real ? real(a, buffer, size) : ARCHIVE_FATAL;
}

archive_entry* archive_entry_new() {
    static auto* const real = Entry<decltype(archive_entry_new)>("archive_entry_new");
    return real ? real() : nullptr;
}

void archive_entry_free(archive_entry* entry) {
    static auto* const real = Entry<decltype(archive_entry_free)>("archive_entry_free");
    if (real) real(entry);
}

const char* archive_entry_pathname(archive_entry* entry) {
    static auto* const real = Entry<decltype(archive_entry_pathname)>("archive_entry_pathname");
    return real ? real(entry) : nullptr;
}

const char* archive_entry_pathname_utf8(archive_entry* entry) {
    static auto* const real = Entry<decltype(archive_entry_pathname_utf8)>("archive_entry_pathname_utf8");
    return real ? real(entry) : nullptr;
}

const char* archive_entry_hardlink(archive_entry* entry) {
    static auto* const real = Entry<decltype(archive_entry_hardlink)>("archive_entry_hardlink");
    return real ? real(entry) : nullptr;
}

__LA_MODE_T archive_entry_filetype(archive_entry* entry) {
    static auto* const real = Entry<decltype(archive_entry_filetype)>("archive_entry_filetype");
    return real ? real(entry) : 0;
}

void archive_entry_set_size(archive_entry* entry, la_int64_t size) {
    static auto* const real = Entry<decltype(archive_entry_set_size)>("archive_entry_set_size");
    if (real) real(entry, size);
}

void archive_entry_set_perm(archive_entry* entry, __LA_MODE_T mode) {
    static auto* const real = Entry<decltype(archive_entry_set_perm)>("archive_entry_set_perm");
    if (real) real(entry, mode);
}

void archive_entry_set_pathname(archive_entry* entry, const char* name) {
    static auto* const real = Entry<decltype(archive_entry_set_pathname)>("archive_entry_set_pathname");
    if (real) real(entry, name);
}

void archive_entry_set_filetype(archive_entry* entry, unsigned int type) {
    static auto* const real = Entry<decltype(archive_entry_set_filetype)>("archive_entry_set_filetype");
    if (real) real(entry, type);
}

}  // extern "C"

#pragma once
#include <archive.h>
#include <archive_entry.h>

namespace pagelet {

// The zip library's calls, opened at their first use (a backup, an import): it and the
// compression and XML libraries it brings would cost every start their loading.
#define PAGELET_ARCHIVE_CALLS(X)                                                                   \
    X(read_new) X(read_free) X(read_support_format_zip) X(read_open_filename) X(read_next_header) \
    X(read_support_format_zip_streamable) X(read_open_fd) X(read_header_position)                 \
    X(read_data) X(write_new) X(write_free) X(write_set_format_zip) X(write_open_fd)              \
    X(write_header) X(write_data) X(write_close) X(error_string) X(entry_new)             \
    X(entry_free) X(entry_pathname) X(entry_filetype) X(entry_set_pathname) X(entry_set_size)     \
    X(entry_set_filetype) X(entry_set_perm) X(entry_set_mtime)

struct ArchiveCalls {
#define PAGELET_ARCHIVE_CALL(name) decltype(&::archive_##name) name;
    PAGELET_ARCHIVE_CALLS(PAGELET_ARCHIVE_CALL)
#undef PAGELET_ARCHIVE_CALL
    decltype(&::archive_errno) error_number; // "errno" is a macro
};

const ArchiveCalls& libarchive();

} // namespace pagelet

#pragma once

#include <QString>

#include <zip.h>

// The libzip functions the archive reader calls.
#define TALLYFORGE_LIBZIP_FUNCTIONS(F)                                                                                 \
    F(discard)                                                                                                         \
    F(error_code_zip)                                                                                                  \
    F(error_fini)                                                                                                      \
    F(error_init)                                                                                                      \
    F(error_init_with_code)                                                                                            \
    F(error_strerror)                                                                                                  \
    F(fclose)                                                                                                          \
    F(file_strerror)                                                                                                   \
    F(fopen_index)                                                                                                     \
    F(fread)                                                                                                           \
    F(get_name)                                                                                                        \
    F(get_num_entries)                                                                                                 \
    F(open)                                                                                                            \
    F(open_from_source)                                                                                                \
    F(source_buffer_create)                                                                                            \
    F(source_free)                                                                                                     \
    F(stat_index)                                                                                                      \
    F(stat_init)                                                                                                       \
    F(strerror)

// libzip, loaded the first time an archive is read: a window that never
// reads a game folder pays neither for it nor for the compression and
// cryptography libraries it loads in turn.
struct LibZip {
#define TALLYFORGE_LIBZIP_POINTER(name) decltype(&::zip_##name) name = nullptr;
    TALLYFORGE_LIBZIP_FUNCTIONS(TALLYFORGE_LIBZIP_POINTER)
#undef TALLYFORGE_LIBZIP_POINTER

    // The library, or none when it cannot be loaded; `why` then says why.
    static const LibZip *get(QString *why = nullptr);
};

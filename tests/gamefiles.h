#pragma once

// Map files and game archives made on the spot, for the tests, the bench and
// the fuzzer's seeds: no map or archive of anyone else's is ever copied here.

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QtEndian>

#include <algorithm>
#include <limits>
#include <sys/resource.h>
#include <cstring>
#include <zip.h>

namespace GameFiles {

// The most a hostile folder may make the reader hold. Under ASan the peak measures the
// sanitizer's shadow memory and quarantine, not the reader.
#ifdef TALLYFORGE_SANITIZED
inline constexpr qint64 mostResidentMiB = std::numeric_limits<qint64>::max();
#else
inline constexpr qint64 mostResidentMiB = 400;
#endif

// This process's peak resident memory so far.
inline qint64 peakResidentMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Entity text with a worldspawn, one entity of each of `classnames` and `radios` HQ radios.
inline QByteArray entities(const QStringList &classnames, int radios = 0)
{
    QByteArray text = "{\n\"classname\" \"worldspawn\"\n}\n";
    for (const QString &name : classnames)
        text += "{\n\"origin\" \"0 0 24\"\n\"classname\" \"" + name.toLatin1() + "\"\n}\n";
    for (int k = 0; k < radios; ++k)
        text += "{\n\"classname\" \"script_model\"\n\"targetname\" \"hqradio\"\n}\n";
    return text + '\0';
}

// A map file: the header, `fillerBytes` of other lumps that compress about
// as real ones do, then the entities, where real maps keep them.
inline QByteArray map(const QByteArray &entityText, qint64 fillerBytes = 64)
{
    constexpr int lumps = 33;
    constexpr qint64 headerBytes = 8 + lumps * 8;
    QByteArray bytes(headerBytes, '\0');
    std::memcpy(bytes.data(), "IBSP", 4);
    qToLittleEndian<qint32>(59, bytes.data() + 4);
    auto setLump = [&](int lump, qint64 length, qint64 offset) {
        qToLittleEndian<qint32>(qint32(length), bytes.data() + 8 + lump * 8);
        qToLittleEndian<qint32>(qint32(offset), bytes.data() + 8 + lump * 8 + 4);
    };
    setLump(0, fillerBytes, headerBytes);
    // Records of 32 bytes, each one of 256 with a byte changed: about 4:1 as deflated, as real maps are.
    quint32 state = 12345;
    auto next = [&state] { return state = state * 1103515245u + 12345u; };
    QByteArray records(256 * 32, Qt::Uninitialized);
    for (char &c : records)
        c = char(next() >> 24);
    QByteArray filler(fillerBytes, Qt::Uninitialized);
    for (qint64 at = 0; at < fillerBytes; at += 32) {
        const quint32 pick = next();
        const qint64 length = std::min<qint64>(32, fillerBytes - at);
        std::memcpy(filler.data() + at, records.constData() + (pick >> 24) * 32, size_t(length));
        filler[at + (pick >> 8) % length] = char(pick >> 16);
    }
    bytes += filler;
    setLump(29, entityText.size(), bytes.size());
    return bytes + entityText;
}

struct Entry {
    QString name;
    QByteArray bytes = {};
    qint64 zeros = 0; // after the bytes: this many zero bytes, made as they are compressed
};

namespace Detail {

struct Zeros {
    QByteArray bytes;
    qint64 size;
    qint64 at = 0;
};

inline zip_int64_t zeroSource(void *state, void *data, zip_uint64_t length, zip_source_cmd_t command)
{
    auto *zeros = static_cast<Zeros *>(state);
    switch (command) {
    case ZIP_SOURCE_OPEN: zeros->at = 0; return 0;
    case ZIP_SOURCE_READ: {
        const zip_int64_t n = std::min<zip_int64_t>(zip_int64_t(length), zeros->size - zeros->at);
        const zip_int64_t given = std::clamp<zip_int64_t>(zeros->bytes.size() - zeros->at, 0, n);
        std::memcpy(data, zeros->bytes.constData() + zeros->at, size_t(given));
        std::memset(static_cast<char *>(data) + given, 0, size_t(n - given));
        zeros->at += n;
        return n;
    }
    case ZIP_SOURCE_CLOSE: return 0;
    case ZIP_SOURCE_STAT: {
        auto *stat = static_cast<zip_stat_t *>(data);
        zip_stat_init(stat);
        stat->size = zip_uint64_t(zeros->size);
        stat->valid |= ZIP_STAT_SIZE;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR: return 2 * sizeof(int);
    case ZIP_SOURCE_FREE: delete zeros; return 0;
    case ZIP_SOURCE_SUPPORTS:
        return zip_source_make_command_bitmap(
            ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, -1);
    default: return -1;
    }
}

} // namespace Detail

// Writes a zip archive of `entries` at `path`; false when libzip cannot.
inline bool writeArchive(const QString &path, const QList<Entry> &entries, int level = 1)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        return false;
    for (const Entry &entry : entries) {
        zip_source_t *source = entry.zeros > 0
            ? zip_source_function(
                archive, Detail::zeroSource, new Detail::Zeros { entry.bytes, entry.bytes.size() + entry.zeros })
            : zip_source_buffer(archive, entry.bytes.constData(), zip_uint64_t(entry.bytes.size()), 0);
        const zip_int64_t index = source ? zip_file_add(archive, entry.name.toUtf8().constData(), source, 0) : -1;
        if (index < 0) {
            zip_source_free(source);
            zip_discard(archive);
            return false;
        }
        // Zeros at the highest level, so that a gibibyte of them takes a mebibyte.
        zip_set_file_compression(
            archive, zip_uint64_t(index), ZIP_CM_DEFLATE, zip_uint32_t(entry.zeros > 0 ? 9 : level));
    }
    return zip_close(archive) == 0;
}

} // namespace GameFiles

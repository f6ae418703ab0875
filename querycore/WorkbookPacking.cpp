#include "WorkbookPacking.h"

#include <dlfcn.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <future>
#include <memory>
#include <string>
#include <thread>

namespace {

constexpr int kZipOk = 0;
constexpr int kZipInternalError = -104;
constexpr size_t kChunk = 1 << 18;
constexpr size_t kWindow = 32768;

struct PackedChunk {
    std::string bytes;
    uLong crc = 0;
    size_t length = 0;
    bool ok = true;
};

// A chunk as raw deflate at the fastest level, primed with the data before it. All but the last
// end with a sync flush (an empty stored block), so each ends on a byte boundary.
PackedChunk Pack(std::string data, std::string dictionary, bool last)
{
    PackedChunk packed;
    packed.length = data.size();
    packed.crc = crc32_z(0, reinterpret_cast<const Bytef*>(data.data()), data.size());
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_SPEED, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) {
        packed.ok = false;
        return packed;
    }
    if (!dictionary.empty())
        deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(dictionary.data()),
                             static_cast<uInt>(dictionary.size()));
    packed.bytes.resize(deflateBound(&z, static_cast<uLong>(data.size())) + 16);
    z.next_in = reinterpret_cast<Bytef*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(packed.bytes.data());
    z.avail_out = static_cast<uInt>(packed.bytes.size());
    const int result = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
    packed.ok = last ? result == Z_STREAM_END : (result == Z_OK && z.avail_in == 0);
    packed.bytes.resize(packed.bytes.size() - z.avail_out);
    deflateEnd(&z);
    return packed;
}

template <class Fn>
Fn Next(const char* name)
{
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, name));
}

using WriteFn = int (*)(void*, const void*, unsigned);
using CloseRawFn = int (*)(void*, unsigned long long, unsigned long);

// One part being packed in parallel.
class ParallelPart {
public:
    explicit ParallelPart(void* zip)
        : m_zip(zip), m_writeRaw(Next<WriteFn>("zipWriteInFileInZip")),
          m_closeRaw(Next<CloseRawFn>("zipCloseFileInZipRaw64")),
          m_inFlight(std::clamp(std::thread::hardware_concurrency(), 2u, 16u) + 1)
    {
        m_pending.reserve(kChunk);
    }

    void* Zip() const { return m_zip; }

    int Write(const void* data, unsigned length)
    {
        const char* bytes = static_cast<const char*>(data);
        while (length > 0) {
            const size_t take = std::min<size_t>(length, kChunk - m_pending.size());
            m_pending.append(bytes, take);
            bytes += take;
            length -= static_cast<unsigned>(take);
            if (m_pending.size() == kChunk)
                if (const int error = Submit(false); error != kZipOk)
                    return error;
        }
        return kZipOk;
    }

    int Close()
    {
        int error = Submit(true);
        while (!m_packing.empty())
            if (const int e = WriteOldest(); error == kZipOk)
                error = e;
        if (!m_closeRaw)
            return kZipInternalError;
        const int closed = m_closeRaw(m_zip, m_total, m_crc);
        return error != kZipOk ? error : closed;
    }

private:
    int Submit(bool last)
    {
        // Only the last chunk may be shorter than the window, and nothing follows it.
        std::string dictionary = std::move(m_window);
        m_window.assign(m_pending, m_pending.size() - std::min(m_pending.size(), kWindow));
        std::string chunk;
        chunk.swap(m_pending);
        m_pending.reserve(kChunk);
        m_packing.push_back(std::async(std::launch::async, Pack, std::move(chunk), std::move(dictionary), last));
        int error = kZipOk;
        while (m_packing.size() >= m_inFlight && error == kZipOk)
            error = WriteOldest();
        return error;
    }

    int WriteOldest()
    {
        PackedChunk packed = m_packing.front().get();
        m_packing.pop_front();
        if (!packed.ok || !m_writeRaw)
            return kZipInternalError;
        m_crc = crc32_combine(m_crc, packed.crc, static_cast<z_off_t>(packed.length));
        m_total += packed.length;
        return packed.bytes.empty() ? kZipOk
                                    : m_writeRaw(m_zip, packed.bytes.data(), static_cast<unsigned>(packed.bytes.size()));
    }

    void* m_zip;
    WriteFn m_writeRaw;
    CloseRawFn m_closeRaw;
    size_t m_inFlight;
    std::string m_pending;
    std::string m_window;
    std::deque<std::future<PackedChunk>> m_packing;
    uLong m_crc = crc32(0, nullptr, 0);
    unsigned long long m_total = 0;
};

thread_local int t_scopes = 0;
thread_local std::unique_ptr<ParallelPart> t_part;

ParallelPart* PartFor(void* zip) { return t_part && t_part->Zip() == zip ? t_part.get() : nullptr; }

} // namespace

FastPackingScope::FastPackingScope() { ++t_scopes; }

FastPackingScope::~FastPackingScope()
{
    if (--t_scopes == 0)
        t_part.reset();
}

extern "C" {

int zipOpenNewFileInZip4_64(void* file, const char* filename, const void* fileInfo, const void* extraLocal,
                            unsigned sizeExtraLocal, const void* extraGlobal, unsigned sizeExtraGlobal,
                            const char* comment, int method, int level, int raw, int windowBits, int memLevel,
                            int strategy, const char* password, unsigned long crcForCrypting,
                            unsigned long versionMadeBy, unsigned long flagBase, int zip64)
{
    using Open = int (*)(void*, const char*, const void*, const void*, unsigned, const void*, unsigned, const char*,
                         int, int, int, int, int, int, const char*, unsigned long, unsigned long, unsigned long, int);
    static const Open minizip = Next<Open>("zipOpenNewFileInZip4_64");
    if (!minizip)
        return kZipInternalError;
    // Packed here: minizip takes the chunks as they are (raw) and is given the size and CRC at close.
    const bool parallel = t_scopes > 0 && method == Z_DEFLATED && !raw && !password;
    const int opened = minizip(file, filename, fileInfo, extraLocal, sizeExtraLocal, extraGlobal, sizeExtraGlobal,
                               comment, method, parallel ? Z_BEST_SPEED : level, parallel ? 1 : raw, windowBits,
                               memLevel, strategy, password, crcForCrypting, versionMadeBy, flagBase, zip64);
    if (parallel)
        t_part = opened == kZipOk ? std::make_unique<ParallelPart>(file) : nullptr;
    return opened;
}

int zipWriteInFileInZip(void* file, const void* buf, unsigned len)
{
    if (ParallelPart* part = PartFor(file))
        return part->Write(buf, len);
    static const WriteFn minizip = Next<WriteFn>("zipWriteInFileInZip");
    return minizip ? minizip(file, buf, len) : kZipInternalError;
}

int zipCloseFileInZip(void* file)
{
    if (ParallelPart* part = PartFor(file)) {
        const int closed = part->Close();
        t_part.reset();
        return closed;
    }
    using CloseFn = int (*)(void*);
    static const CloseFn minizip = Next<CloseFn>("zipCloseFileInZip");
    return minizip ? minizip(file) : kZipInternalError;
}

} // extern "C"

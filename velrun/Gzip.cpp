#include "Gzip.h"

#include <zlib.h>

#include <limits>

namespace velrun {

namespace {

// zlib's window bits for a gzip header and trailer instead of zlib's own.
constexpr int kGzipWindowBits = 15 + 16;
constexpr int kMemoryLevel = 8;

}  // namespace

bool gzipCompress(const std::string& bytes, std::string* compressed) {
    if (bytes.size() > std::numeric_limits<uInt>::max() / 2) return false;
    z_stream stream{};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, kGzipWindowBits, kMemoryLevel,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return false;
    compressed->assign(deflateBound(&stream, static_cast<uLong>(bytes.size())), '\0');
    // zlib takes its input through a non-const pointer but does not change it.
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
    stream.avail_in = static_cast<uInt>(bytes.size());
    stream.next_out = reinterpret_cast<Bytef*>(&(*compressed)[0]);
    stream.avail_out = static_cast<uInt>(compressed->size());
    const int result = deflate(&stream, Z_FINISH);
    compressed->resize(stream.total_out);
    deflateEnd(&stream);
    return result == Z_STREAM_END;
}

}  // namespace velrun

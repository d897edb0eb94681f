// gzip compression in memory (zlib's deflate with the gzip wrapper).
#pragma once

#include <string>

namespace velrun {

// bytes as one gzip member in *compressed; false when zlib fails.
bool gzipCompress(const std::string& bytes, std::string* compressed);

}  // namespace velrun

// deflate_bound: the time zlib needs to deflate the given files, one
// stream per file at the default level (6), on one thread, as a lower
// bound for any writer that packs the same bytes. The files are read into
// memory first so that only the compression is timed.
//   deflate_bound FILE...
// Prints: "<seconds> <bytes in> <bytes out>".

#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

bool ReadWhole(const char* path, std::string& data)
{
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return false;
    data.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

// Raw deflate as in a zip entry; returns the compressed size or -1.
long long DeflateSize(const std::string& data, std::vector<unsigned char>& out)
{
    z_stream stream = {};
    if (deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return -1;
    long long produced = 0;
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    size_t remaining = data.size();
    int status = Z_OK;
    do {
        const uInt chunk = remaining > (1u << 30) ? (1u << 30) : static_cast<uInt>(remaining);
        stream.avail_in = chunk;
        remaining -= chunk;
        const int flush = remaining == 0 ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            status = deflate(&stream, flush);
            produced += static_cast<long long>(out.size() - stream.avail_out);
        } while (stream.avail_out == 0 && status >= 0);
    } while (remaining > 0 && status >= 0);
    deflateEnd(&stream);
    return status == Z_STREAM_END ? produced : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: deflate_bound FILE...\n");
        return 2;
    }
    std::vector<std::string> contents(static_cast<size_t>(argc - 1));
    for (int i = 1; i < argc; ++i) {
        if (!ReadWhole(argv[i], contents[static_cast<size_t>(i - 1)])) {
            std::fprintf(stderr, "deflate_bound: cannot read %s\n", argv[i]);
            return 1;
        }
    }
    std::vector<unsigned char> out(1 << 20);
    long long bytesIn = 0, bytesOut = 0;
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& data : contents) {
        const long long size = DeflateSize(data, out);
        if (size < 0) {
            std::fprintf(stderr, "deflate_bound: zlib failed\n");
            return 1;
        }
        bytesIn += static_cast<long long>(data.size());
        bytesOut += size;
    }
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    std::printf("%.3f %lld %lld\n", elapsed.count(), bytesIn, bytesOut);
    return 0;
}

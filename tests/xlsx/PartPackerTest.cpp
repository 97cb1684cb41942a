// The archive step: part files deflated on worker threads, in blocks when
// large, must come back byte for byte, in order, with their CRCs.

#include "xlsx/internal/PartPacker.h"
#include "xlsx/internal/MemoryParts.h"
#include "xlsx/internal/PartPrecompressor.h"
#include "xlsx/internal/Zip64End.h"

#include "XlsxTest.h"

#include <unzip.h>
#include <zip.h>
#include <zlib.h>

using namespace SimpleXlsx;

namespace {

// Worksheet-like text: repetitive, as parts are, but never periodic.
std::string CellText(size_t size)
{
    std::string text;
    uint32_t state = 12345;
    for (uint32_t row = 1; text.size() < size; ++row) {
        text += "<row r=\"" + std::to_string(row) + "\">";
        for (char col = 'A'; col <= 'E'; ++col) {
            text += std::string("<c r=\"") + col + std::to_string(row) + "\"><v>" +
                    std::to_string(state >> 20) + "</v></c>";
            state = state * 1103515245u + 12345u;
        }
    }
    text.resize(size);
    return text;
}

// Bytes that do not compress.
std::string Noise(size_t size)
{
    std::string noise(size, '\0');
    uint64_t state = 88172645463325252ull;
    for (char& byte : noise) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        byte = char(state);
    }
    return noise;
}

using Parts = std::vector<std::pair<std::string, std::string>>;  // name, bytes

// Writes the parts into `dir`, packs them (the parts' files preceded by
// `heads`) into parts.zip.
bool PackParts(const support::ScratchFolder& dir, const Parts& parts, const PackOptions& options,
               const PartHeads& heads = {})
{
    std::vector<std::string> names;
    for (const auto& [name, data] : parts) {
        xt::fs::create_directories(xt::fs::path(dir.file("parts/" + name)).parent_path());
        std::ofstream(dir.file("parts/" + name), std::ios::binary) << data;
        names.push_back(name);
    }
    zipFile archive = zipOpen64(dir.file("parts.zip").c_str(), APPEND_STATUS_CREATE);
    const bool packed =
        archive != nullptr && PackPartFiles(archive, dir.file("parts"), names, heads, options);
    return archive != nullptr && zipClose(archive, nullptr) == ZIP_OK && packed;
}

void ExpectArchiveHolds(const std::string& path, const Parts& parts)
{
    const std::vector<support::ZipEntry> entries = support::zipEntries(path);
    ASSERT_EQ(entries.size(), parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(entries[i].name, parts[i].first);
        EXPECT_TRUE(entries[i].data == parts[i].second) << parts[i].first;
    }
}

}  // namespace

// A head goes before its file's bytes, whatever the sizes against a block.
TEST(PartPacker, PartsOfEverySizeComeBackInOrder)
{
    // Blocks of 4 KiB are smaller than deflate's 32 KiB window, so a block's
    // dictionary reaches back over several blocks before it.
    const size_t block = 4096;
    const Parts files = {{"[Content_Types].xml", CellText(300)},
                         {"empty.xml", ""},
                         {"one.xml", "x"},
                         {"xl/short.xml", CellText(block - 1)},
                         {"xl/exact.xml", CellText(block)},
                         {"xl/two.xml", CellText(2 * block)},
                         {"xl/over.xml", CellText(block + 1)},
                         {"xl/worksheets/sheet1.xml", CellText(50 * block + 123)},
                         {"noise.bin", Noise(3 * block + 5)},
                         {"a.xml", CellText(3 * block)},
                         {"b.xml", ""},
                         {"d.xml", CellText(block - 5)}};
    const PartHeads heads = {
        {"a.xml", "<head>"}, {"b.xml", CellText(2 * block + 7)}, {"d.xml", CellText(5)}};
    Parts whole = files;
    for (auto& [name, data] : whole)
        if (heads.count(name) != 0)
            data = heads.at(name) + data;
    for (unsigned workers : {0u, 1u, 2u}) {
        SCOPED_TRACE("workers " + std::to_string(workers));
        support::ScratchFolder dir;
        ASSERT_TRUE(PackParts(dir, files, PackOptions{block, workers}, heads));
        ExpectArchiveHolds(dir.file("parts.zip"), whole);
    }
}

TEST(PartPacker, BlocksKeepTheRatioOfOneStream)
{
    const std::string text = CellText(4 * 1024 * 1024);
    support::ScratchFolder dir;
    ASSERT_TRUE(PackParts(dir, {{"sheet.xml", text}}, PackOptions{64 * 1024, 2}));
    uLongf single = compressBound(static_cast<uLong>(text.size()));
    std::vector<Bytef> out(single);
    compress2(out.data(), &single, reinterpret_cast<const Bytef*>(text.data()),
              static_cast<uLong>(text.size()), Z_DEFAULT_COMPRESSION);
    const std::vector<support::ZipEntry> entries = support::zipEntries(dir.file("parts.zip"));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_LT(entries[0].compressedSize, single * 101 / 100);
}

// Parts handed over whole and deflated ahead on another thread pack to the
// very bytes that packing them from memory gives, whether all were deflated
// before packing or the thread still deflates while the packer goes; a
// part whose end changed since is not sealed, and its body comes back whole.
TEST(PartPacker, PartsDeflatedAheadPackToTheSameBytes)
{
    const size_t block = 4096;
    Parts bodies;
    for (const size_t size : {size_t(10), 3 * block + 1, block})
        bodies.emplace_back("part" + std::to_string(bodies.size()) + ".xml", CellText(size));
    for (size_t i = 0; i < 40; ++i)
        bodies.emplace_back("small" + std::to_string(i) + ".xml", CellText(100 + 37 * i));
    const std::string changed = bodies[2].first;
    const std::string head = "<head>";
    const std::string end = "<end/>";
    Parts parts = bodies;
    for (auto& [name, data] : parts)
        data = head + data + end;
    enum class ahead
    {
        none,
        allDeflated,
        whilePacking
    };
    std::vector<std::string> archives;
    for (const ahead mode : {ahead::none, ahead::allDeflated, ahead::whilePacking}) {
        support::ScratchFolder dir;
        const std::string folder = dir.file("parts");
        MemoryParts::Admit(folder);
        PartPrecompressor precompressor(block);
        std::vector<std::string> names;
        for (const auto& [name, data] : parts) {
            names.push_back(name);
            if (mode == ahead::none)
                ASSERT_TRUE(MemoryParts::Deposit(folder, name, std::string(data), 0));
            else
                ASSERT_TRUE(precompressor.Submit(name, data, head.size(), end.size()));
        }
        if (mode != ahead::none) {
            if (mode == ahead::allDeflated)
                precompressor.Stop(true);
            for (const auto& [name, data] : bodies)
                EXPECT_EQ(precompressor.Seal(name, head, name == changed ? "<changed/>" : end),
                          name != changed);
            std::string body;
            EXPECT_TRUE(precompressor.Reclaim(changed, body));
            EXPECT_EQ(body, bodies[2].second);
            ASSERT_TRUE(MemoryParts::Deposit(folder, changed, head + body + end, 0));
            precompressor.StartPacking();
        }
        zipFile archive = zipOpen64(dir.file("parts.zip").c_str(), APPEND_STATUS_CREATE);
        ASSERT_NE(archive, nullptr);
        const PackOptions options{block, 2, mode != ahead::none ? &precompressor : nullptr};
        EXPECT_TRUE(PackPartFiles(archive, folder, names, options));
        EXPECT_EQ(zipClose(archive, nullptr), ZIP_OK);
        MemoryParts::Dismiss(folder);
        archives.push_back(support::readFile(dir.file("parts.zip")));
    }
    EXPECT_TRUE(archives[0] == archives[1]);
    EXPECT_TRUE(archives[0] == archives[2]);
    support::ScratchFolder dir;
    support::writeFile(dir.file("ahead.zip"), archives[2]);
    ExpectArchiveHolds(dir.file("ahead.zip"), parts);
}

// Valid DOS dates, the same on every save: 1980-01-01 00:00.
TEST(PartPacker, EntriesAreDatedAtTheStartOf1980)
{
    support::ScratchFolder dir;
    ASSERT_TRUE(PackParts(dir, {{"a.xml", "x"}, {"b.xml", CellText(100)}}, PackOptions{}));
    unzFile zip = unzOpen64(dir.file("parts.zip").c_str());
    ASSERT_NE(zip, nullptr);
    int entries = 0;
    for (int status = unzGoToFirstFile(zip); status == UNZ_OK; status = unzGoToNextFile(zip)) {
        unz_file_info64 info;
        ASSERT_EQ(unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0), UNZ_OK);
        EXPECT_EQ(info.dosDate, 0x00210000u);  // day 1, month 1, year 1980 + 0; 00:00:00
        ++entries;
    }
    unzClose(zip);
    EXPECT_EQ(entries, 2);
}

TEST(PartPacker, AFailedArchiveWriteNamesThePartAndTheSystemsReason)
{
    support::ScratchFolder dir;
    const std::string noise = Noise(300 * 1024);  // the writes reach the file
    xt::fs::create_directories(dir.file("parts/xl"));
    std::ofstream(dir.file("parts/xl/noise.bin"), std::ios::binary) << noise;
    zipFile archive = zipOpen64("/dev/full", APPEND_STATUS_CREATE);
    ASSERT_NE(archive, nullptr);
    Status status;
    EXPECT_FALSE(
        PackPartFiles(archive, dir.file("parts"), {"xl/noise.bin"}, PackOptions{4096, 0}, &status));
    zipClose(archive, nullptr);
    EXPECT_EQ(status.Text(),
              "cannot add to the archive the part xl/noise.bin: No space left on device");
    EXPECT_EQ(status.kind, STATUS_ZIP);
}

// From 65,535 entries on, the end record's counts read 0xFFFF and the
// true count must follow in the zip64 end record, or readers reject the
// archive or see fewer entries.
TEST(PartPacker, EntryCountsBeyond16BitsGetZip64EndRecords)
{
    for (const uint64_t count : {65534u, 65535u, 65540u}) {
        SCOPED_TRACE(count);
        support::ScratchFolder dir;
        const std::string path = dir.file("many.zip");
        zipFile archive = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
        ASSERT_NE(archive, nullptr);
        const zip_fileinfo info = {};
        for (uint64_t i = 0; i < count; ++i) {
            ASSERT_EQ(zipOpenNewFileInZip64(archive, std::to_string(i).c_str(), &info, nullptr, 0,
                                            nullptr, 0, nullptr, 0, 0, 0),
                      ZIP_OK);
            zipCloseFileInZip(archive);
        }
        ASSERT_EQ(zipClose(archive, nullptr), ZIP_OK);
        const uintmax_t closedSize = xt::fs::file_size(path);
        Status status;
        ASSERT_TRUE(CompleteZip64End(path, count, status)) << status.Text();
        const uintmax_t completedSize = xt::fs::file_size(path);
        EXPECT_EQ(completedSize - closedSize, count < 65535 ? 0u : 56u + 20u);
        ASSERT_TRUE(CompleteZip64End(path, count, status));
        EXPECT_EQ(xt::fs::file_size(path), completedSize);  // the records are there once
        unzFile zip = unzOpen64(path.c_str());
        ASSERT_NE(zip, nullptr);
        unz_global_info64 global;
        EXPECT_EQ(unzGetGlobalInfo64(zip, &global), UNZ_OK);
        EXPECT_EQ(global.number_entry, count);
        unzClose(zip);
    }
}

#include "xlsx/Workbook.h"

#include <dirent.h>
#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <new>
#include <thread>

#include "xlsx/internal/ArchiveFile.h"
#include "xlsx/internal/MemoryParts.h"
#include "xlsx/internal/PackageManifest.h"
#include "xlsx/internal/PackageSheets.h"
#include "xlsx/internal/PackageVocabulary.h"
#include "xlsx/internal/PartPacker.h"
#include "xlsx/internal/PartPrecompressor.h"
#include "xlsx/internal/PartWriters.h"
#include "xlsx/internal/SharedStringTable.h"
#include "xlsx/internal/SheetName.h"
#include "xlsx/internal/Zip64End.h"
#include "util/fileKind.h"

namespace SimpleXlsx {

namespace {

// mkdtemp and mkstemp change their argument in place.
std::vector<char> Template(const std::string& text)
{
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return buffer;
}

// The folder under which temporary package folders are made: TMPDIR when
// set, else the system's temporary folder.
std::string TemporaryBase()
{
    const char* env = std::getenv("TMPDIR");
    std::string base = (env != nullptr && *env != '\0') ? env : "/tmp";
    while (base.size() > 1 && base.back() == '/')
        base.pop_back();
    return base;
}

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*)
{
    std::remove(path);
    return 0;  // go on whatever happened
}

// A name beside `destination` for the archive being written; empty when
// `destination` names no file.
std::string ArchiveTemplateBeside(const std::string& destination)
{
    if (destination.empty() || destination.back() == '/')
        return std::string();
    const size_t slash = destination.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : destination.substr(0, slash + 1);
    const size_t baseLength =
        slash == std::string::npos ? destination.size() : destination.size() - slash - 1;
    if (baseLength + 7 > NAME_MAX)
        return folder + "/.xlsx_XXXXXX";
    return destination + ".XXXXXX";
}

// The archive gets the permissions of a newly created file.
// The archive gets the permission bits of the workbook it replaces, and its
// group where the owner may set it; a new workbook follows the umask.
void SetFileMode(int fd, const std::string& replaced)
{
    struct stat old;
    if (lstat(replaced.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        fchmod(fd, old.st_mode & 0777);
        if (fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) {
            // not a group of the owner: the archive keeps the default group
        }
        return;
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
}

// Only a regular file, a new name or a symbolic link to a regular file or
// to nothing (the link itself is replaced) may become the workbook; a
// device, FIFO or socket, a link to one, or a descriptor's name never.
bool IsReplaceable(const std::string& name)
{
    struct stat info;
    if (lstat(name.c_str(), &info) != 0 || S_ISREG(info.st_mode))
        return true;
    if (!S_ISLNK(info.st_mode) || util::linksThroughProc(name))
        return false;
    return stat(name.c_str(), &info) != 0 || S_ISREG(info.st_mode);
}

// Every workbook-level part, in the order written; the calculation chain
// only when the manifest lists it, and every relationships part it lists.
bool SaveParts(const PackageView& package)
{
    const bool hasChain = package.manifest.Contains("xl/calcChain.xml");
    if (!(SaveCore(package) && SaveApp(package) && SaveContentType(package) &&
          (!hasChain || SaveChain(package)) && SaveTheme(package) && SaveComments(package) &&
          SaveSharedStrings(package) && SaveStyles(package) && SaveWorkbook(package)))
        return false;
    for (const std::string& owner : package.manifest.Owners())
        if (!SaveRelationships(package, owner))
            return false;
    return true;
}

}  // namespace

CWorkbook::CWorkbook()
    : sheetNames(std::make_unique<SheetNameSet>()),
      sharedStrings(std::make_unique<SharedStringTable>()),
      detachedSheet(std::make_unique<PackageWorksheet>()),
      detachedChart(std::make_unique<PackageChartsheet>())
{
    Style style;
    style.numFormat.id = 0;
    styleList.Add(style);
    style.numFormat.id = 1;
    style.fill.patternType = PATTERN_GRAY125;
    styleList.Add(style);
}

CWorkbook::~CWorkbook()
{
    // The sheets close their part files before the folder goes.
    worksheets.clear();
    charts.clear();
    ClearTemp();
}

namespace {

// Whether `name` is one this writer gives its temporary folders: "xlsx_"
// and the six characters mkdtemp puts in place of XXXXXX.
bool IsTemporaryFolderName(const char* name)
{
    if (std::strncmp(name, "xlsx_", 5) != 0 || std::strlen(name) != 11)
        return false;
    for (const char* c = name + 5; *c != '\0'; ++c)
        if (!std::isalnum(static_cast<unsigned char>(*c)))
            return false;
    return true;
}

// Removes temporary folders that a run killed outright (SIGKILL, a power
// cut) left behind: only folders of this writer's name pattern, owned by
// this user and untouched for more than a day, so no running save loses
// its folder.
void RemoveStaleTemporaryFolders(const std::string& base)
{
    DIR* folder = opendir(base.c_str());
    if (folder == nullptr)
        return;
    const time_t dayAgo = std::time(nullptr) - 24 * 60 * 60;
    while (const dirent* entry = readdir(folder)) {
        if (!IsTemporaryFolderName(entry->d_name))
            continue;
        const std::string path = base + "/" + entry->d_name;
        struct stat info;
        if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid() &&
            info.st_mtime < dayAgo)
            nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    }
    closedir(folder);
}

}  // namespace

bool CWorkbook::EnsureTempDir()
{
    if (!tempPath.empty())
        return true;
    const std::string base = TemporaryBase();
    RemoveStaleTemporaryFolders(base);
    std::vector<char> path = Template(base + "/xlsx_XXXXXX");
    if (mkdtemp(path.data()) == nullptr) {  // made private (0700) and new
        status = Status::System("cannot make a temporary folder in", base, errno);
        return false;
    }
    tempPath = path.data();
    MemoryParts::Admit(tempPath);
    return true;
}

template <typename... SheetArgs>
CWorksheet* CWorkbook::CreateSheet(const std::string& title, const SheetArgs&... args)
{
    // Rows go to the sheet added last; the one before gives up its file
    // until it is written again.
    if (!worksheets.empty()) {
        DeflateAhead(*worksheets.back());
        worksheets.back()->Suspend();
    }
    status = Status();
    PartFailureScope failures(status);
    try {
        if (!EnsureTempDir())
            return nullptr;
        const uint32_t index = static_cast<uint32_t>(worksheets.size() + 1);
        auto sheet = std::make_unique<PackageWorksheet>(index, args..., tempPath);
        if (!sheet->IsOk())
            return nullptr;  // its part file has told why
        sheet->SetTitle(sheetNames->NameFor(title, index));
        sheet->SetSharedStr(sharedStrings.get());
        sheet->SetComments(&comments);
        sheetNames->Add(sheet->GetTitle());
        worksheets.push_back(std::move(sheet));
        return worksheets.back().get();
    } catch (const std::bad_alloc&) {
        status = Status::NoMemory();
        return nullptr;
    }
}

// The sheet before the one being added is most likely finished: its part
// is handed over to be deflated on another thread while the next sheets
// are built, and kept there, deflated, instead of in the sheet. Should it
// be written to again, it gets its rows back first; should its head or end
// have changed at saving, it is saved as any other sheet.
void CWorkbook::DeflateAhead(PackageWorksheet& sheet)
{
    static const bool secondCore = std::thread::hardware_concurrency() > 1;
    if (!secondCore)
        return;
    try {
        if (!precompressor)
            precompressor = std::make_shared<PartPrecompressor>(PackOptions().blockSize);
        std::string head, end;
        const std::string_view rows = sheet.RowsInMemory();
        if (rows.empty() || !sheet.PartFrameIfEndedNow(head, end))
            return;
        std::string part;
        part.reserve(head.size() + rows.size() + end.size());
        part.append(head).append(rows).append(end);
        const std::string name = PackageManifest::WorksheetPartName(sheet.GetIndex());
        if (!precompressor->Submit(name, std::move(part), head.size(), end.size()))
            return;
        const std::weak_ptr<PartPrecompressor> keeper = precompressor;
        const auto reclaim = [keeper, name](std::string& rows) {
            const std::shared_ptr<PartPrecompressor> held = keeper.lock();
            return held && held->Reclaim(name, rows);
        };
        if (!sheet.HandOverRows(reclaim)) {
            std::string dropped;
            precompressor->Reclaim(name, dropped);
        }
    } catch (const std::bad_alloc&) {
        // left to the packer
    }
}

// A sheet whose rows were handed over and that has not changed since is
// packed from what was deflated ahead.
bool CWorkbook::SealHandedOver(PackageWorksheet& sheet, const std::string& name)
{
    if (!precompressor || !sheet.RowsHandedOver())
        return false;
    std::string head, end;
    const bool sealed = sheet.FrameAsHandedOver() ? precompressor->Seal(name)
                                                  : sheet.PartFrameIfEndedNow(head, end) &&
                                                        precompressor->Seal(name, head, end);
    if (sealed)
        sheet.CloseHandedOver();
    return sealed;
}

void CWorkbook::NoteSheetCreationFailure()
{
    if (!sheetCreationFailed)
        sheetCreationStatus = status;
    sheetCreationFailed = true;
}

CWorksheet& CWorkbook::SheetOrDetached(CWorksheet* sheet)
{
    if (sheet != nullptr)
        return *sheet;
    NoteSheetCreationFailure();
    return *detachedSheet;
}

CWorksheet& CWorkbook::AddSheet(const std::string& title)
{
    return SheetOrDetached(CreateSheet(title));
}

CWorksheet& CWorkbook::AddSheet(const std::string& title, const std::vector<ColumnWidth>& colWidths)
{
    return SheetOrDetached(CreateSheet(title, colWidths));
}

CWorksheet& CWorkbook::AddSheet(const std::string& title, uint32_t frozenWidth,
                                uint32_t frozenHeight)
{
    return SheetOrDetached(CreateSheet(title, frozenWidth, frozenHeight));
}

CWorksheet& CWorkbook::AddSheet(const std::string& title, uint32_t frozenWidth,
                                uint32_t frozenHeight, const std::vector<ColumnWidth>& colWidths)
{
    return SheetOrDetached(CreateSheet(title, frozenWidth, frozenHeight, colWidths));
}

CWorksheet* CWorkbook::AddSheetPtr(const std::string& title)
{
    return CreateSheet(title);
}

CChartsheet* CWorkbook::CreateChart(const std::string& title, EChartTypes type)
{
    status = Status();
    PartFailureScope failures(status);
    try {
        if (!EnsureTempDir())
            return nullptr;
        const uint32_t index = static_cast<uint32_t>(charts.size() + 1);
        auto chart = std::make_unique<PackageChartsheet>(index, type, tempPath);
        if (!chart->IsOk())
            return nullptr;  // its part file has told why
        chart->SetTitle(sheetNames->NameFor(title, index));
        sheetNames->Add(chart->GetTitle());
        charts.push_back(std::move(chart));
        return charts.back().get();
    } catch (const std::bad_alloc&) {
        status = Status::NoMemory();
        return nullptr;
    }
}

CChartsheet& CWorkbook::ChartOrDetached(CChartsheet* chart)
{
    if (chart != nullptr)
        return *chart;
    NoteSheetCreationFailure();
    return *detachedChart;
}

CChartsheet& CWorkbook::AddChart(const std::string& title)
{
    return ChartOrDetached(CreateChart(title, CHART_LINE));
}

CChartsheet& CWorkbook::AddChart(const std::string& title, EChartTypes type)
{
    return ChartOrDetached(CreateChart(title, type));
}

CChartsheet* CWorkbook::AddChartPtr(const std::string& title, EChartTypes type)
{
    return CreateChart(title, type);
}

bool CWorkbook::Save(const std::string& name)
{
    if (saved) {
        status = Status(STATUS_INVALID_USE, "the workbook was saved already");
        return false;
    }
    saved = true;
    status = Status();
    bool ok = false;
    try {
        PartFailureScope failures(status);
        ok = SaveAll(name);
    } catch (const std::bad_alloc&) {
        status = Status::NoMemory();
    }
    ClearTemp();
    if (ok)
        status = Status();
    else if (status.Ok())
        status = Status(STATUS_SYSTEM, "the package could not be written");
    return ok;
}

bool CWorkbook::SaveAll(const std::string& name)
{
    if (sheetCreationFailed) {
        status = sheetCreationStatus;
        return false;
    }
    struct stat info;
    if (!IsReplaceable(name)) {
        const bool folder = stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
        status = folder ? Status::System("cannot write the file", name, EISDIR)
                        : Status(STATUS_INVALID_USE, "cannot replace the special file", name);
        return false;
    }
    return EnsureTempDir() && SavePackage(name);
}

bool CWorkbook::StoppedByCancel()
{
    if (!Cancelled())
        return false;
    status = Status(STATUS_CANCELLED, "the save was cancelled");
    return true;
}

bool CWorkbook::SavePackage(const std::string& name)
{
    // Stable, so that the comments of one worksheet keep the order added.
    std::stable_sort(comments.begin(), comments.end());
    std::vector<PackageManifest::Worksheet> sheetFacts;
    for (const auto& sheet : worksheets)
        sheetFacts.push_back({sheet->GetIndex(), sheet->IsThereComment(), sheet->IsThereFormula()});
    std::vector<uint32_t> chartIndexes;
    for (const auto& chart : charts)
        chartIndexes.push_back(chart->GetIndex());
    const PackageManifest manifest(sheetFacts, chartIndexes, !sharedStrings->empty());
    const PackageView package{tempPath, worksheets, charts,  *sharedStrings,
                              comments, styleList,  manifest};
    return SaveParts(package) && SaveSheets() && SaveCharts() &&
           WriteArchiveAtomically(name, manifest.PartNames());
}

bool CWorkbook::SaveSheets()
{
    for (const auto& sheet : worksheets) {
        if (StoppedByCancel())
            return false;
        const std::string name = PackageManifest::WorksheetPartName(sheet->GetIndex());
        if (SealHandedOver(*sheet, name))
            continue;
        if (!sheet->Save())
            return false;
        partHeads[name] = sheet->HeadOfPart();
    }
    return true;
}

bool CWorkbook::SaveCharts()
{
    for (const auto& chart : charts)
        if (!chart->Save())
            return false;
    return true;
}

// Writes the archive to a new file beside `name` and puts it in place only
// when all of it was written: a failed save leaves `name` as it was.
bool CWorkbook::WriteArchiveAtomically(const std::string& name,
                                       const std::vector<std::string>& partNames)
{
    if (name.empty()) {
        status = Status(STATUS_INVALID_USE, "no file name given");
        return false;
    }
    const std::string pattern = ArchiveTemplateBeside(name);
    if (pattern.empty()) {
        status = Status::System("cannot write the file", name, EISDIR);
        return false;
    }
    std::vector<char> archivePath = Template(pattern);
    const int fd = mkstemp(archivePath.data());
    if (fd < 0) {
        status = Status::System("cannot write the file", name, errno);
        return false;
    }
    SetFileMode(fd, name);
    close(fd);
    bool ok = WriteArchive(archivePath.data(), partNames) && !StoppedByCancel();
    if (ok && std::rename(archivePath.data(), name.c_str()) != 0) {
        status = Status::System("cannot write the file", name, errno);
        ok = false;
    }
    if (!ok)
        std::remove(archivePath.data());
    return ok;
}

bool CWorkbook::WriteArchive(const std::string& archivePath,
                             const std::vector<std::string>& partNames)
{
    errno = 0;
    zlib_filefunc64_def functions = BufferedArchiveFunctions();
    zipFile archive = zipOpen2_64(archivePath.c_str(), APPEND_STATUS_CREATE, nullptr, &functions);
    if (archive == nullptr) {
        status = Status(STATUS_ZIP, "cannot start the archive", "", errno);
        return false;
    }
    PackOptions options;
    if (precompressor) {
        precompressor->StartPacking();
        options.packed = precompressor.get();
    }
    const bool packed = PackPartFiles(archive, tempPath, partNames, partHeads, options, &status);
    errno = 0;
    const int closed = zipClose(archive, nullptr);
    if (packed && closed != ZIP_OK)
        status =
            Status(STATUS_ZIP, "cannot finish the archive", "", closed == ZIP_ERRNO ? errno : 0);
    return packed && closed == ZIP_OK && CompleteZip64End(archivePath, partNames.size(), status);
}

// Removes the whole private temporary folder, whatever it holds.
void CWorkbook::ClearTemp()
{
    precompressor.reset();
    if (tempPath.empty())
        return;
    nftw(tempPath.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
    MemoryParts::Dismiss(tempPath);
    tempPath.clear();
}

}  // namespace SimpleXlsx

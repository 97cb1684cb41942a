#ifndef HORATAB_XLSX_INTERNAL_PACKAGEVOCABULARY_H
#define HORATAB_XLSX_INTERNAL_PACKAGEVOCABULARY_H

// Identifiers that the package parts name (namespaces, relationship types,
// content types), and the way every part file is created and written.

#include <cstddef>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "xlsx/Status.h"

namespace SimpleXlsx {

// Namespaces
inline constexpr char ns_content_types[] =
    "http://schemas.openxmlformats.org/package/2006/content-types";
inline constexpr char ns_relationships[] =
    "http://schemas.openxmlformats.org/package/2006/relationships";
inline constexpr char ns_cp[] =
    "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
inline constexpr char ns_dc[] = "http://purl.org/dc/elements/1.1/";
inline constexpr char ns_dcterms[] = "http://purl.org/dc/terms/";
inline constexpr char ns_dcmitype[] = "http://purl.org/dc/dcmitype/";
inline constexpr char ns_xsi[] = "http://www.w3.org/2001/XMLSchema-instance";
inline constexpr char ns_doc_prop[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/extended-properties";
inline constexpr char ns_vt[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/docPropsVTypes";
inline constexpr char ns_book[] = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
inline constexpr char ns_book_r[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
inline constexpr char ns_mc[] = "http://schemas.openxmlformats.org/markup-compatibility/2006";
inline constexpr char ns_x14ac[] = "http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac";
inline constexpr char ns_x14[] = "http://schemas.microsoft.com/office/spreadsheetml/2009/9/main";
inline constexpr char ns_a[] = "http://schemas.openxmlformats.org/drawingml/2006/main";
inline constexpr char ns_c[] = "http://schemas.openxmlformats.org/drawingml/2006/chart";
inline constexpr char ns_xdr[] =
    "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing";

// Relationship types
inline constexpr char type_book[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument";
inline constexpr char type_core[] =
    "http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties";
inline constexpr char type_app[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties";
inline constexpr char type_sheet[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet";
inline constexpr char type_style[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles";
inline constexpr char type_sharedStr[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings";
inline constexpr char type_theme[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/theme";
inline constexpr char type_chain[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain";
inline constexpr char type_chartsheet[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet";
inline constexpr char type_chart[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/chart";
inline constexpr char type_drawing[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/drawing";
inline constexpr char type_comments[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/comments";
inline constexpr char type_vml[] =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships/vmlDrawing";

// Content types
inline constexpr char content_rels[] = "application/vnd.openxmlformats-package.relationships+xml";
inline constexpr char content_xml[] = "application/xml";
inline constexpr char content_book[] =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
inline constexpr char content_sheet[] =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
inline constexpr char content_theme[] = "application/vnd.openxmlformats-officedocument.theme+xml";
inline constexpr char content_styles[] =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
inline constexpr char content_sharedStr[] =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";
inline constexpr char content_comment[] =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.comments+xml";
inline constexpr char content_vml[] = "application/vnd.openxmlformats-officedocument.vmlDrawing";
inline constexpr char content_core[] = "application/vnd.openxmlformats-package.core-properties+xml";
inline constexpr char content_app[] =
    "application/vnd.openxmlformats-officedocument.extended-properties+xml";
inline constexpr char content_chart[] =
    "application/vnd.openxmlformats-officedocument.drawingml.chart+xml";
inline constexpr char content_drawing[] =
    "application/vnd.openxmlformats-officedocument.drawing+xml";
inline constexpr char content_chartsheet[] =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.chartsheet+xml";
inline constexpr char content_chain[] =
    "application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml";

inline constexpr char xsi_type[] = "dcterms:W3CDTF";

// Creates every directory on the way to the file `path` ("/" and "\" both
// separate components; the last component, the file name, is not created).
// False only when a directory cannot be made because one above it is missing.
bool MakeDirectory(const std::string& path);

// The package's author: the environment's USERNAME, or "Unknown"; a long
// name is cut to 259 bytes on a character boundary.
std::string PackageAuthor();

// The full path of a part file: the temporary directory, "/", the part name.
std::string PartPath(const std::string& tempPath, const std::string& partName);

// While one lives, the first part file on this thread that fails to open
// or to write puts its reason into `status` (unless `status` holds one
// already). The part writers answer only true or false; a save installs
// one of these to learn why.
class PartFailureScope
{
public:
    explicit PartFailureScope(Status& status);
    ~PartFailureScope();
    PartFailureScope(const PartFailureScope&) = delete;
    PartFailureScope& operator=(const PartFailureScope&) = delete;

    // Hands `failure` to the innermost scope of this thread, if any.
    static void Report(const Status& failure);

private:
    Status& status;
    PartFailureScope* outer;
};

// One part file being written: creates its directories, opens (truncates)
// it with a large buffer, and tells on Close whether all of it was written.
// An empty temporary directory opens nothing: everything written is lost
// and Close returns false. The first failure is kept (Failure()) and
// reported to the PartFailureScope when it shows.
//
// A part that may stay in memory, written into a folder admitted to
// MemoryParts, is kept in memory instead while it stays small and the
// budget allows; Close then deposits its bytes for the packer. Past either
// limit it goes to its file (created only then), deflated in blocks on
// worker threads as it is written, and Close tells MemoryParts how its
// deflate stream is cut, for the packer to take it as it is.
class PartFile
{
public:
    static constexpr std::size_t defaultBufferSize = 64 * 1024;

    enum class Keeping
    {
        File,
        MemoryWhileSmall
    };

    PartFile(const std::string& tempPath, const std::string& partName,
             std::size_t bufferSize = defaultBufferSize, Keeping keeping = Keeping::File);
    ~PartFile();
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    std::ostream& Stream() { return out; }

    // Flushes and closes the file; true when it was opened and every byte
    // written to it reached the file (also before any suspension).
    bool Close();

    // Flushes and closes the file and frees its buffer, so that a package of
    // thousands of parts keeps neither descriptors nor memory for the parts
    // that are not being written; Resume reopens it for appending.
    void Suspend();
    bool Resume();
    bool IsSuspended() const { return suspended || IsHandedOver(); }

    // Why the part file failed: the system's reason with the file's path.
    const Status& Failure() const { return failure; }

    // Whether the part is (still) kept in memory rather than in its file.
    bool InMemory() const;
    // The bytes written so far while the part is in memory; empty otherwise.
    std::string_view BytesInMemory() const;

    // Gives up the bytes held in memory, which someone else now keeps (a
    // copy of them was handed over): the part is suspended until Resume,
    // which first gets them back through `reclaim`. False, and nothing
    // changed, when the part is not in memory or is suspended.
    using Reclaim = std::function<bool(std::string& bytes)>;
    bool HandOver(Reclaim reclaim);
    bool IsHandedOver() const { return static_cast<bool>(reclaim); }
    // Ends a part handed over without getting its bytes back: whatever is
    // still written to the stream is dropped, and Close fails.
    void Abandon();

private:
    class MemoryBuffer;
    class DeflatingBuffer;

    bool OpenBuffered(std::ios_base::openmode mode);
    void Fail(const char* what, int errorNumber);
    bool Spill(const char* kept, std::size_t keptSize, const char* more, std::size_t moreSize);
    bool TakeBack();

    std::string folder;
    std::string name;
    std::string path;
    std::size_t bufferSize;
    std::unique_ptr<char[]> buffer;
    std::unique_ptr<MemoryBuffer> memory;
    std::unique_ptr<DeflatingBuffer> deflating;  // a part spilled from memory
    Reclaim reclaim;                             // set while the bytes are handed over
    std::ofstream file;
    std::ostream out;
    bool suspended = false;
    bool lostData = false;
    Status failure;
};

}  // namespace SimpleXlsx

#endif  // HORATAB_XLSX_INTERNAL_PACKAGEVOCABULARY_H

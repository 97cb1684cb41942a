// Times both timetable exports of hostile timetables at two sizes, n and
// 4n, so that the ratio of the times shows how they grow (4 for linear
// time, 16 for quadratic):
//
//   shared prefix  n teachers and n groups whose names share their first
//                  31 bytes, the most a sheet name holds;
//   letter case    n teachers and n groups whose names differ only in
//                  letter case;
//   one teacher    one teacher teaching a different group in each of m
//                  hours (6 days of m / 6 hours).
//
//   hostile_bench [N [M]]     (n = N, default 2500; m = M, default 450)
//
// Prints, per case and size, the input's size, the wall time of reading it
// and of each workbook (wall and user CPU time) with the workbook's size,
// and the ratios of the CPU times at 4n to those at n. Wall times on a
// shared machine include waiting for the disk and for other processes; the
// CPU time shows the work. The groups' workbook of the one-teacher case
// holds m sheets of m hours each and a summary of m x m cells: it grows
// with the square of m, and so does the time it takes, which is then
// compared with the growth of the workbook. The summary's bound of 4
// million cells refuses m above about 1,990.

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "timetable/timeTable.h"

namespace {

const char* const commonPrefix = "Vyučující se jménem až příliš dlouhým";  // over 31 bytes

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text)
        out += c == '&'   ? std::string("&amp;")
               : c == '"' ? std::string("&quot;")
                          : std::string(1, c);
    return out;
}

std::string hourXml(const std::string& hourName, const std::string& group)
{
    return "<Hour name=\"" + escaped(hourName) + "\"><Subject name=\"Fyzika\"/><Students name=\"" +
           escaped(group) + "\"/><Room name=\"U1\"/></Hour>";
}

// A teacher per name, each teaching the group of the same index on Monday.
std::string teachersXml(const std::function<std::string(size_t)>& teacherName,
                        const std::function<std::string(size_t)>& groupName, size_t count)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Teachers_Timetable>\n";
    for (size_t i = 0; i < count; ++i)
        xml += "<Teacher name=\"" + escaped(teacherName(i)) + "\"><Day name=\"Pondělí\">" +
               hourXml("1", groupName(i)) + "</Day></Teacher>\n";
    return xml + "</Teachers_Timetable>\n";
}

// The 16 letters of `word` in the letter case given by the bits of `index`.
std::string caseVariant(std::string word, size_t index)
{
    for (size_t bit = 0; bit < word.size(); ++bit)
        if ((index >> bit & 1) != 0)
            word[bit] = static_cast<char>(word[bit] - 'a' + 'A');
    return word;
}

std::string oneTeacherXml(size_t hours)
{
    const size_t days = 6;
    const size_t hoursPerDay = (hours + days - 1) / days;
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Teachers_Timetable>\n"
                      "<Teacher name=\"Novák Petr\">\n";
    for (size_t day = 0, group = 0; day < days; ++day) {
        xml += "<Day name=\"Den " + std::to_string(day + 1) + "\">";
        for (size_t hour = 0; hour < hoursPerDay && group < hours; ++hour, ++group)
            xml += hourXml(std::to_string(hour + 1), "Skupina " + std::to_string(group)) + "\n";
        xml += "</Day>\n";
    }
    return xml + "</Teacher>\n</Teachers_Timetable>\n";
}

std::string caseXml(const std::string& kind, size_t n)
{
    if (kind == "shared prefix")
        return teachersXml(
            [](size_t i) { return commonPrefix + std::to_string(i); },
            [](size_t i) { return commonPrefix + std::string(" ") + std::to_string(i); }, n);
    if (kind == "letter case")
        return teachersXml([](size_t i) { return caseVariant("abcdefghijklmnop", i); },
                           [](size_t i) { return caseVariant("qrstuvwxyzabcdef", i); }, n);
    return oneTeacherXml(n);
}

// The user CPU time of the process (all its threads) so far.
double cpuSeconds()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec) + usage.ru_utime.tv_usec / 1e6;
}

struct Seconds
{
    double wall = 0;
    double cpu = 0;
};

Seconds secondsOf(const std::function<bool()>& step, bool& ok)
{
    const auto start = std::chrono::steady_clock::now();
    const double cpuStart = cpuSeconds();
    ok = step();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return {elapsed.count(), cpuSeconds() - cpuStart};
}

struct Times
{
    Seconds read;
    Seconds teachers;
    Seconds students;
    long long teachersBytes = 0;
    long long studentsBytes = 0;
};

long long fileSize(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? static_cast<long long>(info.st_size) : 0;
}

bool runCase(const std::string& work, const std::string& kind, size_t n, Times& times)
{
    const std::string input = work + "hostile.xml";
    const std::string xml = caseXml(kind, n);
    std::ofstream(input, std::ios::binary) << xml;
    timeTable table;
    bool ok = false;
    times.read = secondsOf([&] { return table.parse(input); }, ok);
    bool teachersOk = false;
    bool studentsOk = false;
    SimpleXlsx::Status teachersStatus;
    SimpleXlsx::Status studentsStatus;
    times.teachers = secondsOf(
        [&] { return table.teacherToExcel(work + "teachers.xlsx", &teachersStatus); }, teachersOk);
    times.students = secondsOf(
        [&] { return table.studentsToExcel(work + "students.xlsx", &studentsStatus); }, studentsOk);
    times.teachersBytes = fileSize(work + "teachers.xlsx");
    times.studentsBytes = fileSize(work + "students.xlsx");
    std::printf("| %s | %zu | %zu | %.2f / %.2f | %.2f / %.2f | %lld | %.2f / %.2f | %lld |\n",
                kind.c_str(), n, xml.size() / 1024, times.read.wall, times.read.cpu,
                times.teachers.wall, times.teachers.cpu, times.teachersBytes / 1024,
                times.students.wall, times.students.cpu, times.studentsBytes / 1024);
    if (!ok || !teachersOk || !studentsOk)
        std::fprintf(stderr, "hostile_bench: %s, n = %zu failed: %s%s\n", kind.c_str(), n,
                     teachersStatus.Text().c_str(), studentsStatus.Text().c_str());
    std::remove(input.c_str());
    std::remove((work + "teachers.xlsx").c_str());
    std::remove((work + "students.xlsx").c_str());
    return ok && teachersOk && studentsOk;
}

double ratio(double large, double small)
{
    return small > 0 ? large / small : 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const size_t n = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 2500;
    const size_t m = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 450;
    std::string folder = "/tmp";
    if (const char* tmp = std::getenv("TMPDIR"))
        if (*tmp)
            folder = tmp;
    std::string pattern = folder + "/horatab-hostile-bench-XXXXXX";
    if (n == 0 || n > 16384 || m == 0 || !mkdtemp(&pattern[0])) {
        std::fprintf(stderr, "usage: hostile_bench [N [M]], 0 < N <= 16384, M > 0\n");
        return 1;
    }
    const std::string work = pattern + "/";
    std::printf("Times in seconds, wall / user CPU of all threads.\n\n"
                "| Case | n | Input (KiB) | Read | Teachers' workbook | (KiB) | "
                "Groups' workbook | (KiB) |\n|---|---:|---:|---:|---:|---:|---:|---:|\n");
    bool ok = true;
    std::string ratios;
    for (const char* kind : {"shared prefix", "letter case", "one teacher"}) {
        const size_t size = std::string(kind) == "one teacher" ? m : n;
        Times small;
        Times large;
        ok = runCase(work, kind, size, small) && ok;
        ok = runCase(work, kind, 4 * size, large) && ok;
        char line[512];
        std::snprintf(line, sizeof line,
                      "%s, at 4n / at n: CPU time: read %.1f, teachers %.1f, groups %.1f; "
                      "groups' workbook bytes %.1f\n",
                      kind, ratio(large.read.cpu, small.read.cpu),
                      ratio(large.teachers.cpu, small.teachers.cpu),
                      ratio(large.students.cpu, small.students.cpu),
                      ratio(static_cast<double>(large.studentsBytes),
                            static_cast<double>(small.studentsBytes)));
        ratios += line;
    }
    std::printf("\n%s", ratios.c_str());
    rmdir(pattern.c_str());
    return ok ? 0 : 1;
}

// Times the two timetable exports of one input: by default the district-size
// timetable (3,000 teachers, 1,000 groups, 6 days of 12 hours) made by the
// bundled generator.
//
//   export_bench [INPUT.xml]
//
// Prints the wall time of reading the input and of each export, and the
// size of each workbook.

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "timetable/timeTable.h"

namespace {

double secondsOf(const std::function<bool()>& step, bool& ok)
{
    auto start = std::chrono::steady_clock::now();
    ok = step();
    std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    return elapsed.count();
}

long long fileSize(const std::string& path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0 ? (long long)info.st_size : -1;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string folder = "/tmp";
    if (const char* tmp = std::getenv("TMPDIR"))
        if (*tmp)
            folder = tmp;
    std::string pattern = folder + "/horatab-export-bench-XXXXXX";
    if (!mkdtemp(&pattern[0])) {
        std::perror("export_bench: temporary folder");
        return 1;
    }
    const std::string work = pattern + "/";

    std::string input = argc > 1 ? argv[1] : work + "district.xml";
    if (argc <= 1) {
        std::string command =
            std::string("'") + HORATAB_GEN_BIN + "' --district -o '" + input + "'";
        if (std::system(command.c_str()) != 0) {
            std::fprintf(stderr, "export_bench: the generator failed\n");
            return 1;
        }
    }

    timeTable table;
    bool ok = false;
    double readSeconds = secondsOf([&] { return table.parse(input); }, ok);
    if (!ok) {
        std::fprintf(stderr, "export_bench: cannot read %s\n", input.c_str());
        return 1;
    }
    std::printf("input: %s (%zu teachers, %zu groups), read in %.2f s\n", input.c_str(),
                table.teachers.size(), table.students.size(), readSeconds);

    const std::string teachersPath = work + "teachers.xlsx";
    const std::string studentsPath = work + "students.xlsx";
    bool teachersOk = false;
    bool studentsOk = false;
    double teachersSeconds =
        secondsOf([&] { return table.teacherToExcel(teachersPath); }, teachersOk);
    double studentsSeconds =
        secondsOf([&] { return table.studentsToExcel(studentsPath); }, studentsOk);
    std::printf("teachers' workbook: %.2f s, %lld bytes%s\n", teachersSeconds,
                fileSize(teachersPath), teachersOk ? "" : " (FAILED)");
    std::printf("students' workbook: %.2f s, %lld bytes%s\n", studentsSeconds,
                fileSize(studentsPath), studentsOk ? "" : " (FAILED)");

    std::remove(teachersPath.c_str());
    std::remove(studentsPath.c_str());
    if (argc <= 1)
        std::remove(input.c_str());
    rmdir(pattern.c_str());
    return teachersOk && studentsOk ? 0 : 1;
}

#include "cli/options.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

const double largestFontSize = 409;

struct argumentReader
{
    std::vector<std::string> args;
    size_t next = 0;

    bool done() const { return next >= args.size(); }
};

bool failWith(std::string& error, const std::string& text)
{
    error = text;
    return false;
}

// Splits "--name=value" into name and value; other arguments stay whole.
bool splitInlineValue(const std::string& arg, std::string& name, std::string& value)
{
    size_t equals = arg.find('=');
    if (arg.compare(0, 2, "--") != 0 || equals == std::string::npos)
        return false;
    name = arg.substr(0, equals);
    value = arg.substr(equals + 1);
    return true;
}

bool takesValue(const std::string& option)
{
    for (const char* known : {"--list", "--show-teacher", "--show-students", "--teachers", "-t",
                              "--students", "-s", "--font", "--size", "--order"})
        if (option == known)
            return true;
    return false;
}

bool setBrowseMode(cliOptions& options, bool& browseModeGiven, cliMode mode,
                   const std::string& name, std::string& error)
{
    if (browseModeGiven)
        return failWith(error, "give only one of --list, --show-teacher and --show-students");
    browseModeGiven = true;
    options.mode = mode;
    options.name = name;
    return true;
}

bool setOnce(std::string& target, bool& given, const std::string& option, const std::string& value,
             std::string& error)
{
    if (given)
        return failWith(error, option + " given twice");
    if (value.empty())
        return failWith(error, option + " needs a non-empty value");
    given = true;
    target = value;
    return true;
}

bool parseFontSize(const std::string& text, double& size)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    double parsed = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(parsed) || parsed < 1 ||
        parsed > largestFontSize)
        return false;
    size = parsed;
    return true;
}

}  // namespace

std::string defaultOutputPath(const std::string& input, const std::string& kind)
{
    size_t slash = input.rfind('/');
    size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    size_t dot = input.rfind('.');
    size_t nameEnd = (dot == std::string::npos || dot <= nameStart) ? input.size() : dot;
    return input.substr(0, nameEnd) + "-" + kind + ".xlsx";
}

bool parseArguments(int argc, const char* const* argv, cliOptions& options, std::string& error)
{
    options = cliOptions();
    std::vector<std::string> inputs;
    bool browseModeGiven = false;
    bool teachersGiven = false;
    bool studentsGiven = false;
    bool optionsEnded = false;

    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i] ? argv[i] : "";
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            inputs.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "--help" || arg == "-h") {
            options = cliOptions();
            options.mode = cliMode::help;
            return true;
        }
        if (arg == "--version" || arg == "-V") {
            options = cliOptions();
            options.mode = cliMode::version;
            return true;
        }
        if (arg == "--print-ready") {
            options.printReady = true;
            continue;
        }

        std::string option = arg;
        std::string value;
        if (!splitInlineValue(arg, option, value)) {
            if (!takesValue(option))
                return failWith(error, "unknown option " + echoedName(arg));
            if (i + 1 >= argc)
                return failWith(error, option + " needs a value");
            value = argv[++i] ? argv[i] : "";
        }
        if (!takesValue(option))
            return failWith(error, "unknown option " + echoedName(option));

        bool ok = true;
        if (option == "--list") {
            if (value != "teachers" && value != "students")
                return failWith(error, "--list takes teachers or students, not \"" +
                                           echoedName(value) + "\"");
            ok = setBrowseMode(options, browseModeGiven,
                               value == "teachers" ? cliMode::listTeachers : cliMode::listStudents,
                               "", error);
        } else if (option == "--show-teacher") {
            ok = setBrowseMode(options, browseModeGiven, cliMode::showTeacher, value, error);
        } else if (option == "--show-students") {
            ok = setBrowseMode(options, browseModeGiven, cliMode::showStudents, value, error);
        } else if (option == "--teachers" || option == "-t") {
            ok = setOnce(options.teachersOutput, teachersGiven, "--teachers", value, error);
        } else if (option == "--students" || option == "-s") {
            ok = setOnce(options.studentsOutput, studentsGiven, "--students", value, error);
        } else if (option == "--font") {
            ok = setOnce(options.fontName, options.fontGiven, "--font", value, error);
        } else if (option == "--size") {
            if (options.sizeGiven)
                return failWith(error, "--size given twice");
            if (!parseFontSize(value, options.fontSize))
                return failWith(error, "--size takes a number of points from 1 to 409, not \"" +
                                           echoedName(value) + "\"");
            options.sizeGiven = true;
        } else if (option == "--order") {
            if (options.orderGiven)
                return failWith(error, "--order given twice");
            if (!parseNameOrder(value, options.order))
                return failWith(error, "--order takes bytes or alphabet, not \"" +
                                           echoedName(value) + "\"");
            options.orderGiven = true;
        }
        if (!ok)
            return false;
    }

    if (inputs.empty())
        return failWith(error, "no input file given");
    if (inputs.size() > 1)
        return failWith(error, "give one input file, not " + std::to_string(inputs.size()));
    options.input = inputs.front();

    bool workbookOptions = teachersGiven || studentsGiven || options.fontGiven ||
                           options.sizeGiven || options.printReady;
    if (browseModeGiven) {
        if (workbookOptions)
            return failWith(error,
                            "--list, --show-teacher and --show-students write no workbook; "
                            "leave out --teachers, --students, --font, --size and --print-ready");
        return true;
    }

    options.mode = cliMode::writeWorkbooks;
    if (!teachersGiven && !studentsGiven && options.input == "-")
        return failWith(error, "reading standard input, name the workbooks with -t or -s");
    if (!teachersGiven && !studentsGiven) {
        options.teachersOutput = defaultOutputPath(options.input, "teachers");
        options.studentsOutput = defaultOutputPath(options.input, "students");
    }
    if (options.teachersOutput == options.studentsOutput)
        return failWith(error, "the teachers' and the students' workbooks need different files");
    if (options.input != "-" &&
        (options.teachersOutput == options.input || options.studentsOutput == options.input))
        return failWith(error, "a workbook would overwrite the input file");
    return true;
}

const char* const programName = "horatab-export";

void reportFailure(std::ostream& err, const std::string& subject, const std::string& reason)
{
    err << programName << ": " << terminalText(subject) << ": " << terminalText(reason) << '\n';
}

const char* usageText()
{
    return "Usage: horatab-export [options] INPUT.xml\n"
           "Reads a teachers-timetable XML export and writes its workbooks, or shows what it "
           "holds.\n"
           "\n"
           "Workbooks:\n"
           "  -t, --teachers FILE    write the teachers' workbook to FILE\n"
           "  -s, --students FILE    write the student groups' workbook to FILE\n"
           "      --font NAME        font of every cell (default Calibri)\n"
           "      --size POINTS      font size in points, 1 to 409 (default 11)\n"
           "      --print-ready      lay the sheets out for printing: titles, captions,\n"
           "                         borders, fitted columns, landscape pages\n"
           "      --order bytes|alphabet\n"
           "                         order of the sheets, the summary rows and --list:\n"
           "                         the names' bytes (default) or the alphabet\n"
           "                         (Unicode collation: Cerny, Černý, Cesta)\n"
           "  With neither -t nor -s both workbooks are written beside the input,\n"
           "  as INPUT-teachers.xlsx and INPUT-students.xlsx. FILE \"-\" is standard\n"
           "  output, INPUT \"-\" standard input. A FILE that is a symbolic link is\n"
           "  replaced by the workbook; the file it points to is not written.\n"
           "\n"
           "Inspection:\n"
           "      --list teachers|students   the names, one per line, sorted as --order says\n"
           "      --show-teacher NAME        the teacher's week: group / subject per hour\n"
           "      --show-students NAME       the group's week: subject per hour\n"
           "  Weeks print one row per line, cells separated by tabs, day names first.\n"
           "\n"
           "  -h, --help             show this text\n"
           "  -V, --version          show the version\n"
           "\n"
           "Exit status: 0 on success, 1 on any failure (with one line on standard error).\n";
}

// horatab-gen-timetable: writes a realistic teachers-timetable export,
// deterministic from its seed, for examples, tests and benchmarks.

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

namespace {

const char* const usageText =
    "Usage: horatab-gen-timetable [options]\n"
    "Writes a teachers-timetable XML export, the same for the same options.\n"
    "  --teachers N   number of teachers (default 15)\n"
    "  --groups N     number of student groups (default 8)\n"
    "  --days N       days per week, 1 to 7 (default 5)\n"
    "  --hours N      hours per day (default 7)\n"
    "  --seed N       seed of the pseudo-random choices (default 1)\n"
    "  --split N      write N teachers as two elements each (default 0)\n"
    "  --clashes N    give N groups a second teacher in a taken hour (default 0)\n"
    "  --duties P     P percent of the free teacher hours become duties (default 2)\n"
    "  --combined P   teach P percent of the lessons to two groups at once (default 0)\n"
    "  --parallel N   split N lessons into halves taught by two teachers (default 0)\n"
    "  --district     3000 teachers, 1000 groups, 6 days of 12 hours\n"
    "  -o, --output FILE   write to FILE instead of standard output\n"
    "  -h, --help     show this text\n";

struct settings
{
    uint64_t teachers = 15;
    uint64_t groups = 8;
    uint64_t days = 5;
    uint64_t hours = 7;
    uint64_t seed = 1;
    uint64_t split = 0;
    uint64_t clashes = 0;
    uint64_t duties = 2;
    uint64_t combined = 0;
    uint64_t parallel = 0;
    std::string output;
};

// splitmix64: small, fast and the same on every platform.
class seededRandom
{
public:
    explicit seededRandom(uint64_t seed) : state(seed) {}

    uint64_t next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, bound); bound > 0.
    uint64_t below(uint64_t bound) { return next() % bound; }
    bool chance(unsigned percent) { return below(100) < percent; }

private:
    uint64_t state;
};

const char* const dayNames[] = {"Pondělí", "Úterý",  "Středa", "Čtvrtek",
                                "Pátek",   "Sobota", "Neděle"};

struct subjectKind
{
    const char* name;
    const char* room;  // a special room, or null for the group's home room
};

const subjectKind subjectKinds[] = {
    {"Matematika", nullptr},
    {"Český jazyk", nullptr},
    {"Anglický jazyk", "Jazyková učebna 1"},
    {"Německý jazyk", "Jazyková učebna 2"},
    {"Fyzika", "Laboratoř fyziky"},
    {"Chemie", "Laboratoř chemie"},
    {"Přírodopis", nullptr},
    {"Dějepis", nullptr},
    {"Zeměpis", nullptr},
    {"Občanská výchova", nullptr},
    {"Informatika", "Počítačová učebna"},
    {"Tělesná výchova", "Tělocvična"},
    {"Hudební výchova", "Hudebna"},
    {"Výtvarná výchova", "Ateliér"},
};
const size_t subjectTotal = sizeof subjectKinds / sizeof subjectKinds[0];

const char* const surnames[] = {
    "Novák", "Svoboda",  "Novotný",  "Dvořák",   "Černý",  "Procházka", "Kučera",   "Veselý",
    "Horák", "Němec",    "Marek",    "Pospíšil", "Hájek",  "Jelínek",   "Král",     "Růžička",
    "Beneš", "Fiala",    "Sedláček", "Doležal",  "Zeman",  "Kolář",     "Navrátil", "Čermák",
    "Vaněk", "Urban",    "Blažek",   "Kříž",     "Kovář",  "Bartoš",    "Vlček",    "Polák",
    "Musil", "Kopecký",  "Šimek",    "Konečný",  "Malý",   "Holub",     "Štěpánek", "Kadlec",
    "Žák",   "Řezníček", "Šťastný",  "Ševčík",   "Ludvík", "Ťoupalík",  "Adámek",   "Březina",
};
const char* const femaleSurnames[] = {
    "Nováková",   "Svobodová",  "Novotná",    "Dvořáková",   "Černá",       "Procházková",
    "Kučerová",   "Veselá",     "Horáková",   "Němcová",     "Marková",     "Pospíšilová",
    "Hájková",    "Jelínková",  "Králová",    "Růžičková",   "Benešová",    "Fialová",
    "Sedláčková", "Doležalová", "Zemanová",   "Kolářová",    "Navrátilová", "Čermáková",
    "Vaňková",    "Urbanová",   "Blažková",   "Křížová",     "Kovářová",    "Bartošová",
    "Vlčková",    "Poláková",   "Musilová",   "Kopecká",     "Šimková",     "Konečná",
    "Malá",       "Holubová",   "Štěpánková", "Kadlecová",   "Žáková",      "Řezníčková",
    "Šťastná",    "Ševčíková",  "Ludvíková",  "Ťoupalíková", "Adámková",    "Březinová",
};
const char* const maleNames[] = {"Jan",      "Petr",   "Josef",    "Pavel",  "Martin",
                                 "Tomáš",    "Jiří",   "Lukáš",    "Ondřej", "Václav",
                                 "Miroslav", "Zdeněk", "Jaroslav", "Radek"};
const char* const femaleNames[] = {"Jana",  "Marie",    "Eva",     "Hana",  "Anna",
                                   "Lenka", "Kateřina", "Lucie",   "Věra",  "Alena",
                                   "Petra", "Zuzana",   "Markéta", "Jitka", "Šárka"};

template <typename T, size_t N>
size_t countOf(T (&)[N])
{
    return N;
}

std::string teacherName(seededRandom& rng, std::set<std::string>& used)
{
    bool female = rng.chance(65);
    size_t surname = rng.below(countOf(surnames));
    std::string name = female ? femaleSurnames[surname] : surnames[surname];
    name += ' ';
    name += female ? femaleNames[rng.below(countOf(femaleNames))]
                   : maleNames[rng.below(countOf(maleNames))];
    std::string unique = name;
    for (int n = 2; !used.insert(unique).second; ++n)
        unique = name + " (" + std::to_string(n) + ")";
    return unique;
}

// Groups are years 1 to 9 with classes A to H, year by year; beyond 72 groups each
// school's groups carry its number.
std::string groupName(uint64_t index, uint64_t total)
{
    const uint64_t perSchool = 9 * 8;
    uint64_t inSchool = index % perSchool;
    std::string name = std::to_string(1 + inSchool % 9) + "." + char('A' + inSchool / 9);
    if (total > perSchool)
        name = "ZŠ " + std::to_string(1 + index / perSchool) + " " + name;
    return name;
}

std::string homeRoom(uint64_t index, uint64_t total)
{
    std::string room = "Učebna " + std::to_string(101 + index % 72);
    if (total > 72)
        room = "ZŠ " + std::to_string(1 + index / 72) + " " + room;
    return room;
}

std::string hourName(uint64_t index)
{
    static const char* const starts[] = {"8:00",  "8:55",  "10:00", "10:55", "11:50", "12:45",
                                         "13:40", "14:35", "15:30", "16:25", "17:20", "18:10"};
    std::string name = std::to_string(index + 1) + ". hodina";
    if (index < countOf(starts))
        name += std::string(" (") + starts[index] + ")";
    return name;
}

std::string dayName(uint64_t index)
{
    return index < 7 ? dayNames[index] : "Den " + std::to_string(index + 1);
}

const int64_t freeHour = -1;
const int64_t duty = -2;

struct lesson
{
    int64_t group = freeHour;  // or duty: a supervision, meeting or consultation
    size_t subject = 0;
    int64_t partner = -1;  // a second group taught together with `group`
    bool half = false;     // one half of a class taught in parallel
};

struct plan
{
    std::vector<std::string> teacherNames;
    std::vector<std::vector<size_t>> subjectTeachers;  // subject -> qualified teachers
    std::vector<lesson> slots;                         // teacher x day x hour
    uint64_t days = 0;
    uint64_t hours = 0;

    lesson& at(uint64_t teacherIndex, uint64_t day, uint64_t hourIndex)
    {
        return slots[(teacherIndex * days + day) * hours + hourIndex];
    }
};

bool parseCount(const char* text, uint64_t& value)
{
    if (!text || !*text)
        return false;
    char* end = nullptr;
    errno = 0;
    unsigned long long parsed = std::strtoull(text, &end, 10);
    if (errno || *end || text[0] == '-')
        return false;
    value = parsed;
    return true;
}

// Returns 0 when the arguments were read, otherwise the exit status.
int parseSettings(int argc, char** argv, settings& chosen)
{
    for (int i = 1; i < argc; ++i) {
        std::string option = argv[i];
        uint64_t* target = nullptr;
        if (option == "-h" || option == "--help") {
            std::fputs(usageText, stdout);
            return -1;
        }
        if (option == "--district") {
            chosen.teachers = 3000;
            chosen.groups = 1000;
            chosen.days = 6;
            chosen.hours = 12;
            continue;
        }
        if (option == "-o" || option == "--output") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "horatab-gen-timetable: %s needs a file name\n",
                             option.c_str());
                return 1;
            }
            chosen.output = argv[++i];
            continue;
        }
        if (option == "--teachers")
            target = &chosen.teachers;
        else if (option == "--groups")
            target = &chosen.groups;
        else if (option == "--days")
            target = &chosen.days;
        else if (option == "--hours")
            target = &chosen.hours;
        else if (option == "--seed")
            target = &chosen.seed;
        else if (option == "--split")
            target = &chosen.split;
        else if (option == "--clashes")
            target = &chosen.clashes;
        else if (option == "--duties")
            target = &chosen.duties;
        else if (option == "--combined")
            target = &chosen.combined;
        else if (option == "--parallel")
            target = &chosen.parallel;
        if (!target) {
            std::fprintf(stderr, "horatab-gen-timetable: unknown option %s (see --help)\n",
                         option.c_str());
            return 1;
        }
        if (i + 1 >= argc || !parseCount(argv[i + 1], *target)) {
            std::fprintf(stderr, "horatab-gen-timetable: %s needs a whole number\n",
                         option.c_str());
            return 1;
        }
        ++i;
    }
    if (chosen.teachers < 1 || chosen.groups < 1 || chosen.days < 1 || chosen.days > 7 ||
        chosen.hours < 1 || chosen.hours > 1000 || chosen.teachers > 1000000 ||
        chosen.groups > 1000000 || chosen.duties > 100 || chosen.combined > 100) {
        std::fputs("horatab-gen-timetable: need at least one teacher and group, 1 to 7 days, 1 "
                   "to 1000 hours and percentages up to 100\n",
                   stderr);
        return 1;
    }
    if (chosen.groups > chosen.teachers * chosen.days * chosen.hours) {
        std::fputs("horatab-gen-timetable: the teachers have fewer hours than there are groups\n",
                   stderr);
        return 1;
    }
    return 0;
}

struct groupWeek
{
    std::vector<char> busy;  // group x day x hour
    uint64_t days = 0;
    uint64_t hours = 0;

    char& at(uint64_t group, uint64_t day, uint64_t hourIndex)
    {
        return busy[(group * days + day) * hours + hourIndex];
    }
};

bool teachSlot(plan& week, seededRandom& rng, std::vector<std::vector<int64_t>>& groupTeacherOf,
               uint64_t group, uint64_t day, uint64_t hourIndex)
{
    for (int attempt = 0; attempt < 4; ++attempt) {
        size_t subject = rng.below(subjectTotal);
        int64_t& chosen = groupTeacherOf[group][subject];
        if (chosen < 0) {
            const std::vector<size_t>& qualified = week.subjectTeachers[subject];
            if (qualified.empty())
                continue;
            chosen = int64_t(qualified[rng.below(qualified.size())]);
        }
        lesson& slot = week.at(uint64_t(chosen), day, hourIndex);
        if (slot.group == -1) {
            slot.group = int64_t(group);
            slot.subject = subject;
            return true;
        }
    }
    return false;
}

// Gives a group its first lesson: in the first hour of the week when one of
// its subject teachers is free there, otherwise in the first free teacher hour.
bool teachFirstLesson(plan& week, seededRandom& rng,
                      std::vector<std::vector<int64_t>>& groupTeacherOf, groupWeek& groups,
                      uint64_t teacherTotal, uint64_t group)
{
    if (teachSlot(week, rng, groupTeacherOf, group, 0, 0)) {
        groups.at(group, 0, 0) = 1;
        return true;
    }
    for (uint64_t day = 0; day < week.days; ++day)
        for (uint64_t hourIndex = 0; hourIndex < week.hours; ++hourIndex)
            for (uint64_t t = 0; t < teacherTotal; ++t) {
                lesson& slot = week.at(t, day, hourIndex);
                if (slot.group == -1) {
                    slot.group = int64_t(group);
                    slot.subject = 0;
                    groups.at(group, day, hourIndex) = 1;
                    return true;
                }
            }
    return false;
}

// A lesson taught to two groups at once: the group and the next group of
// the list, when that one is free at the time.
void combineLessons(const settings& chosen, seededRandom& rng, plan& week, groupWeek& groups)
{
    if (chosen.groups < 2)
        return;
    for (uint64_t t = 0; t < chosen.teachers; ++t)
        for (uint64_t day = 0; day < chosen.days; ++day)
            for (uint64_t hourIndex = 0; hourIndex < chosen.hours; ++hourIndex) {
                lesson& slot = week.at(t, day, hourIndex);
                if (slot.group < 0 || !rng.chance(unsigned(chosen.combined)))
                    continue;
                uint64_t partner = (uint64_t(slot.group) + 1) % chosen.groups;
                if (groups.at(partner, day, hourIndex))
                    continue;
                groups.at(partner, day, hourIndex) = 1;
                slot.partner = int64_t(partner);
            }
}

// A class split into halves: a second teacher, free at the time, teaches the
// group another subject while the first half has its lesson.
void splitIntoHalves(const settings& chosen, seededRandom& rng, plan& week)
{
    for (int attempt = 0; attempt < 1000; ++attempt) {
        uint64_t t = rng.below(chosen.teachers);
        uint64_t day = rng.below(chosen.days);
        uint64_t hourIndex = rng.below(chosen.hours);
        lesson& taken = week.at(t, day, hourIndex);
        uint64_t other = rng.below(chosen.teachers);
        if (taken.group < 0 || taken.half || other == t ||
            week.at(other, day, hourIndex).group != freeHour)
            continue;
        taken.half = true;
        lesson& second = week.at(other, day, hourIndex);
        second = taken;
        second.subject = (taken.subject + 1) % subjectTotal;
        return;
    }
}

bool buildPlan(const settings& chosen, seededRandom& rng, plan& week)
{
    week.days = chosen.days;
    week.hours = chosen.hours;
    week.slots.assign(chosen.teachers * chosen.days * chosen.hours, lesson());
    week.subjectTeachers.assign(subjectTotal, {});

    std::set<std::string> used;
    for (uint64_t t = 0; t < chosen.teachers; ++t) {
        week.teacherNames.push_back(teacherName(rng, used));
        size_t qualifications = 1 + rng.below(3);
        for (size_t q = 0; q < qualifications; ++q)
            week.subjectTeachers[(t * 3 + q * 5 + rng.below(2)) % subjectTotal].push_back(
                size_t(t));
    }

    std::vector<std::vector<int64_t>> groupTeacherOf(chosen.groups,
                                                     std::vector<int64_t>(subjectTotal, -1));
    groupWeek groups;
    groups.days = chosen.days;
    groups.hours = chosen.hours;
    groups.busy.assign(chosen.groups * chosen.days * chosen.hours, 0);

    // Every group gets one lesson before any group gets a second.
    for (uint64_t group = 0; group < chosen.groups; ++group)
        if (!teachFirstLesson(week, rng, groupTeacherOf, groups, chosen.teachers, group))
            return false;

    uint64_t shortestDay = chosen.hours > 3 ? chosen.hours - 2 : chosen.hours;
    for (uint64_t group = 0; group < chosen.groups; ++group) {
        for (uint64_t day = 0; day < chosen.days; ++day) {
            uint64_t lessons = shortestDay + rng.below(chosen.hours - shortestDay + 1);
            for (uint64_t hourIndex = 0; hourIndex < lessons; ++hourIndex) {
                if (groups.at(group, day, hourIndex))
                    continue;
                if (hourIndex > 0 && rng.chance(6))
                    continue;  // a free period in the group's day
                if (teachSlot(week, rng, groupTeacherOf, group, day, hourIndex))
                    groups.at(group, day, hourIndex) = 1;
            }
        }
    }

    for (lesson& slot : week.slots)
        if (slot.group == freeHour && rng.chance(unsigned(chosen.duties)))
            slot.group = duty;

    // A clash: a second teacher in an hour that the group already has.
    for (uint64_t c = 0; c < chosen.clashes; ++c) {
        for (int attempt = 0; attempt < 1000; ++attempt) {
            uint64_t t = rng.below(chosen.teachers);
            uint64_t day = rng.below(chosen.days);
            uint64_t hourIndex = rng.below(chosen.hours);
            lesson taken = week.at(t, day, hourIndex);
            uint64_t other = rng.below(chosen.teachers);
            if (taken.group < 0 || other == t || week.at(other, day, hourIndex).group != -1)
                continue;
            week.at(other, day, hourIndex) = {taken.group, (taken.subject + 1) % subjectTotal};
            break;
        }
    }
    if (chosen.combined > 0)
        combineLessons(chosen, rng, week, groups);
    for (uint64_t p = 0; p < chosen.parallel; ++p)
        splitIntoHalves(chosen, rng, week);
    return true;
}

std::string escaped(const std::string& text)
{
    std::string out;
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

// Duties have a subject and maybe a room, never a group.
struct dutyKind
{
    const char* subject;
    const char* room;
};
const dutyKind dutyKinds[] = {
    {"Dozor", "Chodba"},
    {"Porada", nullptr},
    {"Konzultace", "Kabinet"},
};

// One hour in the order the timetabling program writes it: the activity,
// the subject, its tags, the groups, the room and the rooms it stands for.
void writeLesson(std::FILE* out, const lesson& slot, uint64_t groupTotal, uint64_t& activity)
{
    std::fprintf(out, "        <Activity id=\"%llu\"/>\n", (unsigned long long)++activity);
    if (slot.group == duty) {
        const dutyKind& kind = dutyKinds[activity % countOf(dutyKinds)];
        std::fprintf(out, "        <Subject name=\"%s\"/>\n", kind.subject);
        if (kind.room)
            std::fprintf(out, "        <Room name=\"%s\"/>\n", kind.room);
        return;
    }
    const subjectKind& kind = subjectKinds[slot.subject];
    std::string room = kind.room ? kind.room : homeRoom(uint64_t(slot.group), groupTotal);
    std::fprintf(out, "        <Subject name=\"%s\"/>\n", escaped(kind.name).c_str());
    if (slot.half)
        std::fputs("        <Activity_Tag name=\"Dělená hodina\"/>\n", out);
    if (slot.partner >= 0)
        std::fputs("        <Activity_Tag name=\"Spojené třídy\"/>\n", out);
    std::fprintf(out, "        <Students name=\"%s\"/>\n",
                 escaped(groupName(uint64_t(slot.group), groupTotal)).c_str());
    if (slot.partner >= 0)
        std::fprintf(out, "        <Students name=\"%s\"/>\n",
                     escaped(groupName(uint64_t(slot.partner), groupTotal)).c_str());
    std::fprintf(out, "        <Room name=\"%s\"/>\n", escaped(room).c_str());
    if (kind.room && std::strcmp(kind.room, "Tělocvična") == 0)
        std::fputs("        <Real_Room name=\"Tělocvična 1\"/>\n"
                   "        <Real_Room name=\"Tělocvična 2\"/>\n",
                   out);
}

void writeDays(std::FILE* out, plan& week, uint64_t t, uint64_t firstDay, uint64_t endDay,
               uint64_t groupTotal, uint64_t& activity)
{
    for (uint64_t day = firstDay; day < endDay; ++day) {
        uint64_t hoursShown = 0;
        for (uint64_t h = 0; h < week.hours; ++h)
            if (week.at(t, day, h).group != freeHour)
                hoursShown = h + 1;
        if (hoursShown == 0) {
            std::fprintf(out, "    <Day name=\"%s\"/>\n", dayName(day).c_str());
            continue;
        }
        std::fprintf(out, "    <Day name=\"%s\">\n", dayName(day).c_str());
        for (uint64_t h = 0; h < hoursShown; ++h) {
            const lesson& slot = week.at(t, day, h);
            if (slot.group == freeHour) {
                std::fprintf(out, "      <Hour name=\"%s\">\n      </Hour>\n", hourName(h).c_str());
                continue;
            }
            std::fprintf(out, "      <Hour name=\"%s\">\n", hourName(h).c_str());
            writeLesson(out, slot, groupTotal, activity);
            std::fputs("      </Hour>\n", out);
        }
        std::fputs("    </Day>\n", out);
    }
}

std::string initials(const std::string& name)
{
    std::string out;
    bool wordStart = true;
    for (unsigned char c : name) {
        if (wordStart && c >= 'A' && c <= 'Z')
            out += char(c);
        wordStart = c == ' ';
    }
    return out;
}

void writeDocument(std::FILE* out, const settings& chosen, plan& week)
{
    // Like the timetabling program's own files: a byte order mark first.
    std::fputs("\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", out);
    // A comment must not hold "--", so the options are written without it.
    std::fprintf(out,
                 "<!-- Made by horatab-gen-timetable with: teachers %llu, groups %llu, days %llu, "
                 "hours %llu, seed %llu, split %llu, clashes %llu, duties %llu, combined %llu, "
                 "parallel %llu -->\n",
                 (unsigned long long)chosen.teachers, (unsigned long long)chosen.groups,
                 (unsigned long long)chosen.days, (unsigned long long)chosen.hours,
                 (unsigned long long)chosen.seed, (unsigned long long)chosen.split,
                 (unsigned long long)chosen.clashes, (unsigned long long)chosen.duties,
                 (unsigned long long)chosen.combined, (unsigned long long)chosen.parallel);
    std::fputs("<Teachers_Timetable>\n", out);
    // The first `split` teachers are written as two elements: the first days
    // here, the rest after all other teachers.
    uint64_t splitDay = (chosen.days + 1) / 2;
    uint64_t activity = 0;
    for (uint64_t t = 0; t < chosen.teachers; ++t) {
        bool split = t < chosen.split && chosen.days > 1;
        std::fprintf(out, "  <Teacher name=\"%s\" short=\"%s\">\n",
                     escaped(week.teacherNames[t]).c_str(), initials(week.teacherNames[t]).c_str());
        writeDays(out, week, t, 0, split ? splitDay : chosen.days, chosen.groups, activity);
        std::fputs("  </Teacher>\n", out);
    }
    for (uint64_t t = 0; t < chosen.split && t < chosen.teachers && chosen.days > 1; ++t) {
        std::fprintf(out, "  <Teacher name=\"%s\">\n", escaped(week.teacherNames[t]).c_str());
        writeDays(out, week, t, splitDay, chosen.days, chosen.groups, activity);
        std::fputs("  </Teacher>\n", out);
    }
    std::fputs("</Teachers_Timetable>\n", out);
}

}  // namespace

int main(int argc, char** argv)
{
    settings chosen;
    int status = parseSettings(argc, argv, chosen);
    if (status != 0)
        return status < 0 ? 0 : status;

    seededRandom rng(chosen.seed);
    plan week;
    if (!buildPlan(chosen, rng, week)) {
        std::fputs("horatab-gen-timetable: could not give every group a lesson\n", stderr);
        return 1;
    }

    std::FILE* out = stdout;
    if (!chosen.output.empty()) {
        out = std::fopen(chosen.output.c_str(), "wb");
        if (!out) {
            std::fprintf(stderr, "horatab-gen-timetable: cannot write %s: %s\n",
                         chosen.output.c_str(), std::strerror(errno));
            return 1;
        }
    }
    writeDocument(out, chosen, week);
    bool written = std::ferror(out) == 0;
    if (out != stdout)
        written = std::fclose(out) == 0 && written;
    else
        written = std::fflush(out) == 0 && written;
    if (!written) {
        std::fputs("horatab-gen-timetable: writing the timetable failed\n", stderr);
        return 1;
    }
    return 0;
}

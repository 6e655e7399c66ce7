// number-check: runs veska and veska-inspect in this process on random
// definition files and prints one line per case, so that two builds (Linux
// and Windows, or two versions of the program) can be compared line by line.
//
//   number-check COUNT SEED [FOLDER]   cases 0 .. COUNT-1
//   number-check --show CASE SEED DIR  one case: its definition file and
//                                      outputs kept in DIR, its line printed
//   number-check --numbers COUNT SEED  number texts alone: how the C
//                                      runtime's strtod and the program read
//                                      them, and the value printed
//
// The cases come from a generator of its own (SplitMix64, seeded per case),
// so that every platform makes the same files. Each case is written to
// case.cfg in the scratch folder (FOLDER, or a fresh one in the system's
// temporary folder), then:
//   veska source.mdl target.mdl case.cfg      (the sample model as source)
//   veska-inspect --preview case.cfg preview.svg
//   veska-inspect target.mdl                  (when the target was written)
// Its line holds the exit codes, what veska printed after its banner and
// what the preview printed (escaped), the report's lines on the lights, and
// hashes of the target, the picture and the whole report.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "basics/number_text.h"
#include "tests/support/files.h"
#include "tests/support/runner.h"
#include "tools/mdl_builder/mdl_builder.h"

namespace fs = std::filesystem;

using namespace lumora;

namespace {

// SplitMix64: a fixed 64-bit generator, the same sequence everywhere.
struct Random {
    std::uint64_t state;
    // A wild case draws faults and odd number texts; a tame one mostly
    // valid files, so that many runs write a model.
    bool wild;

    std::uint64_t next()
    {
        std::uint64_t z = (state += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }
    unsigned below(unsigned n) { return static_cast<unsigned>(next() % n); }
    bool chance(unsigned percent) { return below(100) < percent; }
    template <std::size_t N>
    const char* pick(const char* const (&list)[N])
    {
        return list[below(N)];
    }
};

Random case_random(std::uint64_t seed, std::uint64_t index)
{
    Random mixer{seed, false};
    Random random{mixer.next() ^ (index * 0xD1B54A32D192ED03u), false};
    random.wild = random.chance(40);
    return random;
}

std::string digits(Random& random, unsigned count)
{
    std::string text;
    for (unsigned i = 0; i < count; ++i) {
        text += static_cast<char>('0' + random.below(10));
    }
    return text;
}

std::string short_decimal(Random& random, unsigned whole_digits)
{
    std::string text = random.chance(40) ? "-" : "";
    return text + std::to_string(random.below(whole_digits)) + "." + digits(random, 1 + random.below(3));
}

// Number texts that C runtimes are known to read differently, or that sit
// at the edges of the double format.
const char* const SPECIAL_NUMBERS[] = {
    "0x1p3", "0X1.8P+1", "-0x1.fffffffffffffp1023", "0x1p-1074", "0x1.8p-1074", "0x.8", "0x1p", "0x", "0xg",
    "0x 1", "0x1.p1", "0xp1", "inf", "-inf", "INF", "infinity", "-Infinity", "infinit", "infinityx", "nan",
    "-nan", "NaN", "nan(123)", "nan(0)", "nan(0x0)", "nan(0x10000000000000)", "nan(10000000000000)",
    "nan(fffffffffffff)", "nan(abc)", "nan(12 3)", "nan(-1)", "nan(1.5)", "nan(", "nan(123", "nan(1)x",
    "-nan(5)", "nan()", "nan(_)", "1e400", "-1e400", "1e-400", "4.9e-324", "2.4703282292062328e-324",
    "2.2250738585072011e-308", "1e-320", "1.7976931348623157e308", "1.7976931348623159e308", "+", "-", "-0",
    "+0", "-0.0", ".5", "-.5", "5.", "1e", "1e+", "1e-5", "1E5", "1,5", "-1,5", "-x", "- 1", "-.", "+.e1", ".",
    "abc", "1d5", "0e99999", "1e-99999999999999999999", "1e99999999999999999999", "9007199254740993",
    "9007199254740993.000000000000000000001", "0.1000000000000000055511151231257827021181583404541015625",
};

// Values whose printing with two or three decimals, or with %g, is a tie.
const char* const TIE_ENDINGS[] = {".125", ".375", ".625", ".875", ".005", ".015", ".025", ".0625", ".5", ".0005", ".0015"};

const char* const UNITS[] = {"m", "ft", "in", "cm", "M", "FT", "In", "cM"};
const char* const BAD_UNITS[] = {"km", "feet", "mm", "f", "x", "m m", "; a comment", "m;", "1", ",5", "\xC3\xA9"};
const char* const SEPARATORS[] = {"", "", " ", "\t", "  ", " \t"};

// A number as a definition file may hold it, without unit.
std::string number_text(Random& random)
{
    std::string text;
    switch (random.below(12)) {
    case 0:
    case 1:
        if (random.wild) {
            return random.pick(SPECIAL_NUMBERS);
        }
        return std::to_string(random.below(50)) + "." + digits(random, random.below(4));
    case 2: {  // a tie when printed
        text = random.chance(30) ? "-" : "";
        return text + std::to_string(random.below(random.chance(50) ? 10 : 200000)) + random.pick(TIE_ENDINGS);
    }
    case 3: {  // a long digit string
        text = random.chance(30) ? "-" : "";
        const unsigned length = 17 + random.below(random.chance(80) ? 40 : 200);
        std::string all = digits(random, length);
        all.insert(random.below(length + 1), ".");
        text += all;
        if (random.chance(40)) {
            text += "e" + std::string(random.chance(50) ? "-" : "") + std::to_string(random.below(340));
        }
        return text;
    }
    case 4: {  // huge or tiny, near the ends of the format
        if (!random.wild && random.chance(75)) {
            return short_decimal(random, 30);
        }
        text = random.chance(30) ? "-" : "";
        text += digits(random, 1 + random.below(3));
        if (random.chance(50)) {
            text += "." + digits(random, 1 + random.below(17));
        }
        text += random.chance(50) ? "e3" : "e-3";
        return text + std::to_string(random.below(30));
    }
    case 5: {  // hexadecimal
        const char hex[] = "0123456789abcdefABCDEF";
        text = random.chance(30) ? "-0x" : (random.chance(50) ? "0x" : "0X");
        for (unsigned i = random.below(15); i > 0; --i) {
            text += hex[random.below(22)];
        }
        if (random.chance(50)) {
            text += ".";
            for (unsigned i = random.below(15); i > 0; --i) {
                text += hex[random.below(22)];
            }
        }
        if (random.chance(70)) {
            text += random.chance(50) ? "p" : "P";
            const char* const signs[] = {"", "+", "-"};
            text += random.pick(signs);
            text += std::to_string(random.below(random.chance(80) ? 12 : 1100));
        }
        return text;
    }
    default: {  // an ordinary decimal, sometimes with exponent
        const unsigned sign = random.below(10);
        text = sign < 3 ? "-" : (sign == 3 ? "+" : "");
        text += digits(random, random.below(4));
        if (random.chance(70)) {
            text += "." + digits(random, random.below(8));
        } else if (text.empty() || text == "-" || text == "+") {
            text += digits(random, 1);
        }
        if (random.chance(15)) {
            text += random.chance(50) ? "e" : "E";
            text += random.chance(30) ? "-" : "";
            text += std::to_string(random.below(random.chance(80) ? 5 : 400));
        }
        return text;
    }
    }
}

// Leading characters the C runtime skips but the definition reader keeps.
std::string leading_blanks(Random& random)
{
    const char* const blanks[] = {" ", "\t", "  \t", "\v", "\f", " \v"};
    return random.chance(85) ? "" : random.pick(blanks);
}

std::string length_text(Random& random)
{
    std::string text = leading_blanks(random) + number_text(random);
    const unsigned unit = random.below(20);
    if (unit < 7) {
        text += std::string(random.pick(SEPARATORS)) + random.pick(UNITS);
    } else if (unit == 7 && random.wild) {
        text += std::string(random.pick(SEPARATORS)) + random.pick(BAD_UNITS);
    } else if (unit == 8) {
        text += " ";
    }
    return text;
}

std::string plain_text(Random& random)
{
    std::string text = leading_blanks(random) + number_text(random);
    if (random.wild && random.chance(5)) {
        text += std::string(random.pick(SEPARATORS)) + random.pick(BAD_UNITS);
    }
    return text;
}

// The four gear values: MainGearHeight, MainGearDist, other height, other
// distance.
void gear_values(Random& random, std::string (&values)[4])
{
    switch (random.below(7)) {
    case 0:  // level
        values[0] = short_decimal(random, 4);
        values[1] = short_decimal(random, 10);
        values[2] = values[0];
        values[3] = short_decimal(random, 20);
        break;
    case 1: {  // distances about 0.01 m apart
        const char* const pairs[][2] = {
            {"1", "1.01"},     {"1", "0.99"},  {"0", "0.01"},           {"0", "-0.01"}, {"0", "0.0099999999999999"},
            {"0", "1 cm"},     {"5", "5.01"},  {"-2", "-2.0100000001"}, {"2", "2.0099999"}, {"0", "0.3937 in"},
            {"10", "10.01"},   {"0", "1e-9"},  {"3", "3"},              {"0", "0.0328084 ft"}, {"1 ft", "0.3148"},
        };
        const unsigned pair = random.below(sizeof pairs / sizeof pairs[0]);
        const bool swap = random.chance(50);
        values[0] = short_decimal(random, 4);
        values[1] = pairs[pair][swap ? 1 : 0];
        values[2] = short_decimal(random, 4);
        values[3] = pairs[pair][swap ? 0 : 1];
        break;
    }
    case 2: {  // huge values
        const char* const huge[] = {"1e300", "-1e300", "1e308", "-1.7976931348623157e308", "1.7976931348623157e308 ft",
                                    "inf", "1e200", "123456789012345678901234567890", "-1e400"};
        for (std::string& value : values) {
            value = random.chance(50) ? random.pick(huge) : short_decimal(random, 10);
        }
        break;
    }
    case 3: {  // tiny values
        const char* const tiny[] = {"1e-300", "-1e-300", "4.9e-324", "0", "-0", "1e-310 in", "2.2250738585072014e-308",
                                    "0x1p-1074", "1e-9"};
        for (std::string& value : values) {
            value = random.chance(50) ? random.pick(tiny) : short_decimal(random, 2);
        }
        break;
    }
    case 4:  // anything
        for (std::string& value : values) {
            value = length_text(random);
        }
        break;
    default:  // an ordinary aircraft
        values[0] = short_decimal(random, 4);
        values[1] = short_decimal(random, 6);
        values[2] = short_decimal(random, 3);
        values[3] = short_decimal(random, 20);
        if (random.chance(20)) {
            values[random.below(4)] = length_text(random);
        }
        break;
    }
}

// Mixed case, as the reader matches names without regard to it.
std::string any_case(Random& random, const char* name)
{
    std::string text = name;
    if (random.chance(85)) {
        return text;
    }
    for (char& c : text) {
        if (random.chance(50) && c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (random.chance(50) && c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

// The file is a list of lines without their ends; the ends are added when
// the file is put together.
struct DefinitionLines {
    std::vector<std::string> lines;
    Random& random;

    void key(const char* name, const std::string& value)
    {
        const std::string lead = random.chance(3) ? "\t" : (random.chance(2) ? " " : "");
        lines.push_back(lead + any_case(random, name) + "=" + value);
    }
    // Lines that may stand anywhere: comments, blank lines, ignored and
    // faulty lines.
    void noise()
    {
        if (!random.chance(random.wild ? 8 : 5)) {
            return;
        }
        switch (random.below(random.wild ? 12 : 4)) {
        case 0:
        case 1:
            lines.push_back("; " + digits(random, random.below(6)));
            break;
        case 2:
            lines.push_back("");
            break;
        case 3:
            lines.push_back(random.chance(50) ? " Pitch=5" : ";" + std::string(250 + random.below(300), 'c'));
            break;
        case 4:
            lines.push_back("Unknown=1");
            break;
        case 5:
            lines.push_back("Pitch");
            break;
        case 6:
            lines.push_back("MaxRange=");
            break;
        case 7:
            lines.push_back("Pitch=1" + std::string(250 + random.below(300), ' '));  // read in pieces
            break;
        case 8:
            lines.push_back(std::string("\x1A"));  // Ctrl-Z: ends the section or the file
            break;
        case 9:
            lines.push_back("[Light " + std::to_string(random.below(5)) + "]");
            break;
        case 10:
            lines.push_back(std::string("Dir\0ection=3", 12));
            break;
        default:
            lines.push_back("==" + std::to_string(random.below(9)));
            break;
        }
    }
};

std::string make_definition(Random& random)
{
    DefinitionLines file{{}, random};
    file.noise();
    const bool wild = random.wild;
    if (wild && random.chance(3)) {
        file.lines.push_back("Lights=1");  // before any section
    }
    if (!(wild && random.chance(3))) {
        file.lines.push_back(any_case(random, "[Main]"));
    }
    const unsigned light_count = 1 + random.below(3);
    if (!(wild && random.chance(5))) {
        file.key("Lights", wild && random.chance(15) ? plain_text(random) : std::to_string(light_count));
    }
    std::string gear[4];
    gear_values(random, gear);
    const char* other = random.chance(50) ? "Tail" : "Nose";
    const std::string gear_names[4] = {"MainGearHeight", "MainGearDist", std::string(other) + "GearHeight",
                                       std::string(other) + "GearDist"};
    for (unsigned i = 0; i < 4; ++i) {
        if (random.chance(97)) {
            file.key(gear_names[i].c_str(), gear[i]);
        }
        file.noise();
    }
    if (wild && random.chance(3)) {
        file.key(random.chance(50) ? "NoseGearDist" : "TailGearHeight", short_decimal(random, 9));
    }

    const char* const light_keys[] = {"Pitch", "Direction", "LatOffset", "LonOffset", "ZOffset", "MaxRange", "SpotWidth",
                                      "SpotDepth"};
    unsigned sections = light_count;
    if (wild && random.chance(8)) {
        sections = random.below(4);
    }
    for (unsigned n = 1; n <= sections; ++n) {
        const unsigned named = wild && random.chance(4) ? 1 + random.below(3) : n;
        file.lines.push_back(any_case(random, ("[Light " + std::to_string(named) + "]").c_str()));
        const unsigned first = random.below(8);
        for (unsigned k = 0; k < 8; ++k) {
            const char* name = light_keys[(first + k) % 8];
            if (!random.chance(70)) {
                continue;
            }
            std::string value;
            if (std::strcmp(name, "Direction") == 0) {
                value = random.chance(60) ? short_decimal(random, 46) : plain_text(random);
            } else if (std::strcmp(name, "Pitch") == 0) {
                value = random.chance(60) ? short_decimal(random, 20) : length_text(random);
            } else {
                value = random.chance(50) ? short_decimal(random, 40) : length_text(random);
            }
            file.key(name, value);
            file.noise();
        }
    }

    // Line ends: mostly one kind for the whole file, sometimes mixed, and
    // rarely a lone CR, which joins two lines into one.
    const unsigned ends = random.below(10);
    std::string text;
    for (std::size_t i = 0; i < file.lines.size(); ++i) {
        text += file.lines[i];
        const unsigned end = wild && random.chance(1) ? 2 : ends == 9 ? random.below(2) : (ends < 6 ? 0 : 1);
        const bool last = i + 1 == file.lines.size();
        if (last && random.chance(10)) {
            break;  // no line end at the end of the file
        }
        text += end == 0 ? "\n" : (end == 1 ? "\r\n" : "\r");
    }
    if (random.chance(3)) {
        text += "\x1A";
    }
    return text;
}

std::uint64_t hash_bytes(const std::string& bytes)
{
    std::uint64_t hash = 0xCBF29CE484222325u;  // FNV-1a
    for (const char c : bytes) {
        hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3u;
    }
    return hash;
}

std::string hash_text(const std::string& bytes)
{
    char text[20];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash_bytes(bytes)));
    return text;
}

// Printable ASCII as it is, everything else as \n, \r, \t or \xNN.
std::string escaped(const std::string& text)
{
    std::string out;
    for (const char c : text) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (c == '\\' || c == '"') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u >= 0x7F) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out;
}

// The report's lines on each light, which carry its numbers.
std::string light_lines(const std::string& report)
{
    std::string lines;
    std::size_t start = 0;
    while (start < report.size()) {
        std::size_t end = report.find('\n', start);
        end = end == std::string::npos ? report.size() : end + 1;
        const std::string line = report.substr(start, end - start);
        for (const char* lead : {"  beam vector", "  scale", "  position", "  spot width", "  spot depth"}) {
            if (line.compare(0, std::strlen(lead), lead) == 0) {
                lines += line;
            }
        }
        start = end;
    }
    return lines;
}

std::string file_hash(const std::string& name)
{
    return file_exists(name) ? hash_text(read_file_text(name)) : std::string("-");
}

// Runs one case in the current folder, which holds source.mdl, and returns
// its line.
std::string run_case(std::uint64_t index, const std::string& definition)
{
    std::error_code ignored;
    fs::remove("target.mdl", ignored);
    fs::remove("preview.svg", ignored);
    write_file_text("case.cfg", definition);

    const RunOutcome veska = run_veska_in_process({"source.mdl", "target.mdl", "case.cfg"});
    const std::string target = file_hash("target.mdl");
    const RunOutcome preview = run_inspect_in_process({"--preview", "case.cfg", "preview.svg"});
    std::string report_part = "r=- R=-";
    if (file_exists("target.mdl")) {
        const RunOutcome report = run_inspect_in_process({"target.mdl"});
        report_part = "r=" + std::to_string(report.exit_code) + " R=" + hash_text(report.output) + " \"" +
                      escaped(light_lines(report.output)) + "\"";
    }
    return std::to_string(index) + " v=" + std::to_string(veska.exit_code) + " \"" +
           escaped(after_banner(veska.output)) + "\" T=" + target + " p=" + std::to_string(preview.exit_code) +
           " \"" + escaped(preview.output) + "\" S=" + file_hash("preview.svg") + " " + report_part;
}

// The exact decimal text of a point halfway between two neighbouring
// doubles, or just below or above it: where a conversion that is not
// correctly rounded goes wrong. The value is (2m + 1) * 2^q with a 53-bit m;
// its digits come from integer arithmetic in base 10^9.
std::string halfway_text(Random& random)
{
    const std::uint64_t m = (std::uint64_t{1} << 52) | (random.next() >> 12);
    const int q = static_cast<int>(random.below(150)) - 110;
    const std::uint64_t odd = 2 * m + 1;
    std::vector<std::uint32_t> limbs = {static_cast<std::uint32_t>(odd % 1000000000u),
                                        static_cast<std::uint32_t>(odd / 1000000000u % 1000000000u),
                                        static_cast<std::uint32_t>(odd / 1000000000000000000u)};
    for (int i = 0; i < (q < 0 ? -q : q); ++i) {
        std::uint64_t carry = 0;
        for (std::uint32_t& limb : limbs) {
            const std::uint64_t product = std::uint64_t{limb} * (q < 0 ? 5u : 2u) + carry;
            limb = static_cast<std::uint32_t>(product % 1000000000u);
            carry = product / 1000000000u;
        }
        if (carry != 0) {
            limbs.push_back(static_cast<std::uint32_t>(carry));
        }
    }
    std::string text;
    for (std::size_t i = limbs.size(); i > 0; --i) {
        char part[16];
        std::snprintf(part, sizeof part, "%09u", static_cast<unsigned>(limbs[i - 1]));
        text += part;
    }
    text.erase(0, text.find_first_not_of('0'));
    if (q < 0) {  // the integer times 10^q: q digits behind the point
        const std::size_t decimals = static_cast<std::size_t>(-q);
        if (text.size() <= decimals) {
            text.insert(0, decimals - text.size() + 1, '0');
        }
        text.insert(text.size() - decimals, ".");
    }
    const unsigned shift = random.below(3);
    if (shift == 0 && q < 0) {
        text.pop_back();  // below the halfway point: its last digit is a 5
    } else if (shift == 0) {
        std::size_t last = text.find_last_not_of('0');  // below it: one less, then .9999
        text[last] = static_cast<char>(text[last] - 1);
        for (++last; last < text.size(); ++last) {
            text[last] = '9';
        }
        text += ".9999";
    } else if (shift == 1) {
        text += q < 0 ? "000001" : ".000001";  // above it
    }
    return (random.chance(30) ? "-" : "") + text;
}

// --numbers: for each number text, the C runtime's strtod and the program's
// reader (value bits and characters used), and the reader's value printed as
// the programs print numbers.
void check_numbers(std::uint64_t count, std::uint64_t seed)
{
    for (std::uint64_t i = 0; i < count; ++i) {
        Random random = case_random(seed, i);
        const unsigned kind = random.below(3);
        const std::string text = kind == 0 ? halfway_text(random) : kind == 1 ? length_text(random) : plain_text(random);
        char* crt_end = nullptr;
        const double crt = std::strtod(text.c_str(), &crt_end);
        const char* own_end = nullptr;
        const double own = read_number(text.c_str(), &own_end);
        std::uint64_t crt_bits = 0;
        std::uint64_t own_bits = 0;
        std::memcpy(&crt_bits, &crt, sizeof crt);
        std::memcpy(&own_bits, &own, sizeof own);
        char printed[1400];
        std::snprintf(printed, sizeof printed, "%.2f|%5.2f|%.7g|%.3f|%g", own, own, own, own, own);
        std::printf("%llu \"%s\" crt=%016llx/%d own=%016llx/%d %s\n", static_cast<unsigned long long>(i),
                    escaped(text).c_str(), static_cast<unsigned long long>(crt_bits),
                    static_cast<int>(crt_end - text.c_str()), static_cast<unsigned long long>(own_bits),
                    static_cast<int>(own_end - text.c_str()), printed);
    }
}

bool parse_count(const char* text, std::uint64_t& value)
{
    char* end = nullptr;
    value = std::strtoull(text, &end, 10);
    return *text != '\0' && *end == '\0';
}

int usage()
{
    std::fputs("usage: number-check COUNT SEED [FOLDER]\n"
               "       number-check --show CASE SEED DIR\n"
               "       number-check --numbers COUNT SEED\n",
               stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::uint64_t count = 0;
    std::uint64_t seed = 0;
    const bool show = argc == 5 && std::strcmp(argv[1], "--show") == 0;
    const bool numbers = argc == 4 && std::strcmp(argv[1], "--numbers") == 0;
    const int first = show || numbers ? 2 : 1;
    if (!(show || numbers || argc == 3 || argc == 4) || !parse_count(argv[first], count) ||
        !parse_count(argv[first + 1], seed)) {
        return usage();
    }
    // Fully buffered: some C runtimes write an unbuffered standard output
    // one character at a time, which dominates a long run.
    static char out_buffer[1 << 16];
    std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);
    if (numbers) {
        check_numbers(count, seed);
        return 0;
    }
    try {
        std::unique_ptr<ScratchDir> scratch;
        std::string folder;
        if (show || argc == 4) {
            folder = argv[first + 2];
            fs::create_directories(folder);
        } else {
            scratch = std::make_unique<ScratchDir>();
            folder = scratch->path();
        }
        const fs::path start = fs::current_path();
        fs::current_path(folder);
        const std::vector<std::uint8_t> model = mdl_builder::build_sample_mdl();
        write_file_bytes("source.mdl", model);
        const std::uint64_t from = show ? count : 0;
        const std::uint64_t to = show ? count + 1 : count;
        for (std::uint64_t i = from; i < to; ++i) {
            Random random = case_random(seed, i);
            const std::string line = run_case(i, make_definition(random));
            std::fwrite(line.data(), 1, line.size(), stdout);
            std::fputc('\n', stdout);
        }
        if (!show) {
            std::error_code ignored;
            for (const char* name : {"source.mdl", "target.mdl", "case.cfg", "preview.svg"}) {
                fs::remove(name, ignored);
            }
        }
        fs::current_path(start);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "number-check: %s\n", error.what());
        return 1;
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

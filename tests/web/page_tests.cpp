// The tuning page's core: what it shows is what the programs print, the
// form shows the file, messages sit where they belong, and the work on a
// model is the programs' own.
#include <gtest/gtest.h>

#include <algorithm>

#include <filesystem>
#include <string>
#include <vector>

#include "definition/definition_editing.h"
#include "tests/support/files.h"
#include "tests/support/runner.h"
#include "tools/mdl_builder/mdl_builder.h"
#include "web/memory_file_system.h"
#include "web/page_evaluation.h"
#include "web/page_model.h"

namespace lumora {

namespace {

const std::string GEAR = "[Main]\nLights=1\nMainGearHeight=-2\nMainGearDist=-1\nTailGearHeight=-0.5\nTailGearDist=8\n";

// The test's own folder as the current one: the page names files as the
// user's, without a folder.
class InScratchFolder {
public:
    InScratchFolder() : previous_(std::filesystem::current_path()) { std::filesystem::current_path(dir_.path()); }
    ~InScratchFolder() { std::filesystem::current_path(previous_); }
    const ScratchDir& dir() const { return dir_; }

private:
    ScratchDir dir_;
    std::filesystem::path previous_;
};

std::string example(const char* name) { return read_file_text(std::string(EXAMPLES_DIR) + "/" + name); }

std::string as_text(const Bytes& bytes) { return std::string(bytes.begin(), bytes.end()); }

// What the page lists, printed as --check prints it.
std::string as_check_prints(const PageEvaluation& page)
{
    std::string text;
    for (const PageMessage& message : page.messages) {
        text += message.text;
        if (text.empty() || text.back() != '\n') {
            text += '\n';
        }
        text += message.hint.empty() ? "" : "    " + message.hint + "\n";
    }
    return text + page.verdict + "\n";
}

// --check's output less the lines the page shows in places of their own:
// where each light's lit area lies and how the file was read.
std::string without_own_places(const std::string& check)
{
    std::string kept;
    std::size_t start = 0;
    while (start < check.size()) {
        const std::size_t end = check.find('\n', start) + 1;
        const std::string line = check.substr(start, end - start);
        if (line.rfind("The file was read as ", 0) != 0 && line.find("]: lit area ") == std::string::npos &&
            line.find("]: no lit area") == std::string::npos) {
            kept += line;
        }
        start = end;
    }
    return kept;
}

// veska's own messages among the page's.
std::string veska_messages(const PageEvaluation& page)
{
    std::string text;
    for (const PageMessage& message : page.messages) {
        text += message.severity != "note" ? message.text : "";
    }
    return text;
}

// veska's messages about the definition: what it printed after its banner,
// less the last line about the model.
std::string veska_prints(const std::string& output)
{
    std::string text = after_banner(output);
    const std::size_t last = text.rfind('\n', text.size() - 2);
    const std::size_t start = last == std::string::npos ? 0 : last + 1;
    if (text.compare(start, 9, "MDL file ") == 0) {
        text.erase(start);
    }
    return text;
}

TEST(TuningPage, ShowsWhatTheProgramsPrint)
{
    const std::vector<std::string> definitions = {
        example("one_light.cfg"),
        example("two_lights.cfg"),
        example("three_lights.cfg"),
        GEAR + "[Light 1]\nLatOfset=3\nDirection=5 m\nMaxRange=-2,5\n",
        GEAR + " Lights=2\n[Light 1]\nZOffset=-3\n[Light 2]\n",
        "[Main]\nLights=2\n[Light 1]\nSpotDepth=80\n",
        "[Main]\nLights=4\n[Light 1]\n",
        "[Light 1]\nPitch=2\n",
        "Lights=1\n[Main]\nLights=1\nNoseGearHeight=-1\nTailGearDist=5\n[Light1]\n",
        encode_definition_text(GEAR + "[Light 1]\nLatOffset=2\n", TextEncoding::utf16_little_endian),
        encode_definition_text(GEAR + "[Light 1]\nLatOffset=2\n", TextEncoding::utf8_with_mark),
        std::string("\xFF\xFE\x00\xD8", 4),
    };
    const InScratchFolder folder;
    write_file_bytes("sample.mdl", mdl_builder::build_sample_mdl());
    for (const std::string& bytes : definitions) {
        write_file_text("lights.cfg", bytes);
        const PageEvaluation page = evaluate_definition("lights.cfg", bytes);
        const std::string check = run_inspect_in_process({"--check", "lights.cfg"}).output;
        EXPECT_EQ(as_check_prints(page), without_own_places(check)) << bytes;
        // Where veska computes the lights, --check says where they shine as
        // the page does (the page also draws lights veska stops short of).
        const bool computed = check.find("]: lit area ") != std::string::npos ||
                              check.find("]: no lit area") != std::string::npos;
        for (const PageFigures& figures : page.figures) {
            if (computed && figures.figures.state != LitArea::not_computed) {
                EXPECT_NE(check.find("[Light " + std::to_string(figures.light) + "]: " + figures.text + "\n"),
                          std::string::npos)
                    << check;
            }
        }
        EXPECT_EQ(veska_messages(page), veska_prints(run_veska_in_process({"sample.mdl", "out.mdl", "lights.cfg"}).output))
            << bytes;
        std::remove("preview.svg");
        run_inspect_in_process({"--preview", "lights.cfg", "preview.svg"});
        EXPECT_EQ(page.svg, read_file_text("preview.svg")) << bytes;
        EXPECT_EQ(page.readable, !page.svg.empty()) << bytes;
    }
}

TEST(TuningPage, PutsEachMessageWhereItBelongs)
{
    struct Placed {
        std::string text_start;  // of the message's body
        int section;
        const char* key;
    };
    const std::string definition = "[Main]\nLights=3\nMainGearHeight=-2\nMainGearDist=-1\nNoseGearHeight=-1 mm\n"
                                   "NoseGearDist=-6\n[Light 1]\nDirection=5 m\nLatOfset=1\nMaxRange=0\n[Light 2]\n";
    const PageEvaluation page = evaluate_definition("x.cfg", definition);
    const std::vector<Placed> expected = {
        {"Error in x.cfg: Invalid unit of measurement specification '-1 mm' in line 5.", 0, "NoseGearHeight"},
        {"Error in x.cfg, line 9: Unrecognised name=LatOfset", 1, ""},
        {"Error in x.cfg: [Light 3] not specified", 3, ""},
    };
    for (const Placed& want : expected) {
        bool found = false;
        for (const PageMessage& message : page.messages) {
            if (message.text.rfind(want.text_start, 0) == 0) {
                found = true;
                EXPECT_EQ(message.section, want.section) << want.text_start;
                EXPECT_EQ(message.key, want.key) << want.text_start;
            }
        }
        EXPECT_TRUE(found) << want.text_start;
    }
    ASSERT_EQ(page.figures.size(), 3u);
    EXPECT_EQ(page.figures[2].text, "not computed: the file has no [Light 3] section");
    // With the lights computed: a warning on Direction's line, a note on
    // MaxRange's.
    const PageEvaluation computed =
        evaluate_definition("x.cfg", GEAR + "[Light 1]\nDirection=5 m\nMaxRange=-5\nSpotWidth=-1\n");
    std::vector<std::string> keys;
    for (const PageMessage& message : computed.messages) {
        if (message.section == 1 && !message.key.empty()) {
            keys.push_back(message.severity + ":" + message.key);
        }
    }
    EXPECT_EQ(keys, (std::vector<std::string>{"warning:Direction", "note:MaxRange", "note:SpotWidth"}));
}

// Each note and each message about a value stands at the fields whose
// values fix it, also where the file lacks that key, and its hint names it.
TEST(TuningPage, PutsEachNoteAtTheKeyThatFixesIt)
{
    const struct {
        std::string file;
        const char* text;  // a part of the message
        std::vector<std::string> keys;
        int section;
    } cases[] = {
        {"[Main]\nLights=1\nMainGearDist=-1\nTailGearDist=8\n[Light 1]\n", "Not all gear",
         {"MainGearHeight", "TailGearHeight"}, 0},
        {GEAR + "[Light 1]\nMaxRange=-5\n", "MaxRange is -5", {"MaxRange"}, 1},
        {GEAR + "[Light 1]\nSpotWidth=-1\n", "SpotWidth is -1", {"SpotWidth"}, 1},
        {GEAR + "[Light 1]\nSpotDepth=-1\n", "SpotDepth is -1", {"SpotDepth"}, 1},
        {GEAR + "[Light 1]\nDirection=120\n", "points backwards", {"Direction"}, 1},
        {GEAR + "[Light 1]\nZOffset=-9\n", "the light is", {"ZOffset"}, 1},
        {GEAR + "[Light 1]\nZOffset=0.5\n", "reaches", {"SpotDepth"}, 1},
        {GEAR + "[Light 1]\nPitch=95\n", "Pitch is 95 degrees", {"Pitch"}, 1},
        {"[Main]\nLights=1\nMainGearHeight=-2\nMainGearDist=-1\nTailGearHeight=-12\nTailGearDist=8\n[Light 1]\n",
         "Pitch is ", {"Pitch"}, 1},
        {GEAR + "[Light 1]\nPitch=-30\n", "lights no ground", {"Pitch"}, 1},
        {GEAR + "[Light 1]\nMaxRange=0\n", "cannot be computed", {"MaxRange"}, 1},
        {"[Main]\nLights=1\nMainGearHeight=-2\nMainGearDist=1\nTailGearHeight=-0.5\nTailGearDist=1\n[Light 1]\n",
         "too small", {"MainGearDist"}, 0},
    };
    for (const auto& c : cases) {
        const PageEvaluation page = evaluate_definition("x.cfg", c.file);
        const auto found = std::find_if(page.messages.begin(), page.messages.end(), [&](const PageMessage& message) {
            return message.text.find(c.text) != std::string::npos;
        });
        ASSERT_NE(found, page.messages.end()) << c.text << "\n" << c.file;
        EXPECT_EQ(found->keys, c.keys) << c.text;
        EXPECT_EQ(found->section, c.section) << c.text;
        EXPECT_NE(found->hint.find(c.keys.front()), std::string::npos) << found->hint;
    }
    // The verdict of a file veska writes but whose light lights no ground.
    EXPECT_EQ(evaluate_definition("x.cfg", GEAR + "[Light 1]\nPitch=-30\n").verdict,
              "veska would write a model with this file, but Light 1 lights no ground.");
}

// Each mechanical fix, applied as the page applies it, mends its mistake
// and touches no other line.
TEST(TuningPage, EachFixMendsItsMistake)
{
    // A file of CR LF lines, in Windows-1252.
    std::string main;
    for (const char c : GEAR) {
        main += c == '\n' ? std::string("\r\n") : std::string(1, c);
    }
    const auto replaced = [](std::string text, const std::string& from, const std::string& to) {
        return text.replace(text.find(from), from.size(), to);
    };
    const std::string light = "[Light 1]\r\nZOffset=0.5\r\nSpotDepth=15\r\n";
    const struct {
        std::string file;
        const char* words;
        std::string fixed;
    } cases[] = {
        {main + light + "LatOfset=3\r\n", "Fix: rename LatOfset to LatOffset", main + light + "LatOffset=3\r\n"},
        {replaced(main, "Lights=1", "Lights = 1") + light, "Fix: remove the blanks around the =", main + light},
        {main + light + "MaxRange=25,5\r\n", "Fix: use a decimal point instead of the comma",
         main + light + "MaxRange=25.5\r\n"},
        {main + light + "Direction=5,5\r\n", "Fix: use a decimal point instead of the comma",
         main + light + "Direction=5.5\r\n"},
        {main + "[Light1]\r\nZOffset=0.5\r\nSpotDepth=15\r\n", "Fix: write the header as [Light 1]", main + light},
        {main + light + "SpotWidth=20 m ; H\xF6he\r\n", "Fix: move the comment onto its own line",
         main + light + "; H\xF6he\r\nSpotWidth=20 m\r\n"},
        {main + light + "SpotWidth=30\r\nSpotWidth=20\r\n", "Fix: remove line 10, the earlier SpotWidth",
         main + light + "SpotWidth=20\r\n"},
        {replaced(main, "TailGearHeight", "NoseGearHeight=-0.7\r\nTailGearHeight") + light,
         "Fix: remove line 5, the earlier NoseGearHeight", main + light},
        {main + light + "SpotWidth=60 feet\r\n", "Fix: write the unit feet as ft", main + light + "SpotWidth=60 ft\r\n"},
    };
    for (const auto& c : cases) {
        const PageEvaluation page = evaluate_definition("x.cfg", c.file);
        const auto fixable = std::find_if(page.messages.begin(), page.messages.end(),
                                          [](const PageMessage& message) { return !message.fix.empty(); });
        ASSERT_NE(fixable, page.messages.end()) << c.words;
        EXPECT_EQ(fixable->fix, c.words);
        const std::optional<std::string> fixed = replace_line(
            c.file, fixable->fix_line, fixable->fix_removes ? std::nullopt : std::optional<std::string>(fixable->fix_text));
        EXPECT_EQ(fixed, c.fixed) << c.words;
        const PageEvaluation after = evaluate_definition("x.cfg", fixed.value_or(""));
        EXPECT_EQ(after.verdict, "veska would write a model with this file.") << c.words;
        for (const PageMessage& message : after.messages) {
            EXPECT_TRUE(message.severity == "progress" || message.severity == "info") << c.words << ": " << message.text;
        }
    }
}

// The definition as opened drawn faintly under the changed one: the bytes
// of --preview NEW OUT --before OPENED; with nothing changed, today's picture.
TEST(TuningPage, DrawsTheFileAsOpenedUnderTheChanges)
{
    const InScratchFolder folder;
    const std::string opened = GEAR + "[Light 1]\nLatOffset=-5\nSpotDepth=15\n";
    const std::string changed = GEAR + "[Light 1]\nLatOffset=3\nSpotDepth=15\n";
    write_file_text("lights.cfg", changed);
    write_file_text("opened.cfg", opened);
    ASSERT_EQ(run_inspect_in_process({"--preview", "lights.cfg", "both.svg", "--before", "opened.cfg"}).exit_code, 0);
    EXPECT_EQ(evaluate_definition("lights.cfg", changed, &opened).svg, read_file_text("both.svg"));
    ASSERT_EQ(run_inspect_in_process({"--preview", "lights.cfg", "alone.svg"}).exit_code, 0);
    EXPECT_EQ(evaluate_definition("lights.cfg", changed, &changed).svg, read_file_text("alone.svg"));
}

const FormField& field(const PageEvaluation& page, unsigned section, const std::string& key)
{
    for (const FormField& field : page.form.fields) {
        if (field.section == section && field.key == key) {
            return field;
        }
    }
    throw std::runtime_error("no field " + key);
}

TEST(TuningPage, FormShowsTheFile)
{
    const PageEvaluation page = evaluate_definition("three_lights.cfg", example("three_lights.cfg"));
    EXPECT_FALSE(page.form.other_gear_tail);
    const FormField& height = field(page, 0, "MainGearHeight");
    EXPECT_TRUE(height.present);
    EXPECT_EQ(height.line, 4u);
    EXPECT_EQ(height.number, "-230");
    EXPECT_EQ(height.unit, "cm");
    // The slider runs in centimetres, through the value.
    EXPECT_DOUBLE_EQ(height.slider_value, -230);
    EXPECT_LT(height.slider_min, -230);
    EXPECT_GE(height.slider_step, 1);
    EXPECT_EQ(field(page, 0, "NoseGearDist").number, "-6");
    EXPECT_EQ(field(page, 3, "Pitch").number, "2.5");
    // An absent key: empty, its default as placeholder; the pitch's default
    // is the ground pitch.
    const FormField& pitch = field(page, 1, "Pitch");
    EXPECT_FALSE(pitch.present);
    EXPECT_EQ(pitch.number, "");
    EXPECT_EQ(pitch.placeholder.rfind("ground pitch (", 0), 0u);
    EXPECT_EQ(field(page, 1, "SpotDepth").number, "50");
    EXPECT_EQ(field(page, 1, "Direction").placeholder, "0");
    // A value that is not a plain number is shown whole.
    const PageEvaluation odd = evaluate_definition("x.cfg", GEAR + "[Light 1]\nMaxRange=-2,5 m\nDirection=5 deg\n");
    EXPECT_EQ(field(odd, 1, "MaxRange").number, "-2,5 m");
    EXPECT_EQ(field(odd, 1, "MaxRange").unit, "");
    EXPECT_EQ(field(odd, 1, "Direction").number, "5 deg");
    // Bytes that are not UTF-8 are shown as Windows-1252 reads them, in the
    // field, the lines and the messages.
    const std::string ansi_file = GEAR + "[Light 1]\nZOffset=0.5 m ; H\xF6he\n";
    const PageEvaluation ansi = evaluate_definition("x.cfg", ansi_file);
    EXPECT_EQ(field(ansi, 1, "ZOffset").number, "0.5 m ; H\xC3\xB6he");
    EXPECT_EQ(page_lines(ansi_file).back().text, "ZOffset=0.5 m ; H\xC3\xB6he");
    EXPECT_EQ(ansi.line_count, 8u);
    EXPECT_TRUE(std::any_of(ansi.messages.begin(), ansi.messages.end(), [](const PageMessage& message) {
        return message.text.find("m ; H\xC3\xB6he") != std::string::npos;
    }));
}

// A length's slider steps by a round number in the unit the file writes.
TEST(TuningPage, SliderStepsAreRoundInEachUnit)
{
    const struct {
        const char* line;
        const char* key;
        double step;
    } cases[] = {
        {"LatOffset=1 m", "LatOffset", 0.05}, {"LatOffset=100 cm", "LatOffset", 5},
        {"LatOffset=40 in", "LatOffset", 2},  {"LatOffset=3 ft", "LatOffset", 0.2},
        {"MaxRange=800 in", "MaxRange", 20},  {"MaxRange=60 ft", "MaxRange", 2},
        {"Direction=5", "Direction", 0.5},
    };
    for (const auto& c : cases) {
        const PageEvaluation page = evaluate_definition("x.cfg", GEAR + "[Light 1]\n" + c.line + "\n");
        EXPECT_DOUBLE_EQ(field(page, 1, c.key).slider_step, c.step) << c.line;
    }
}

TEST(TuningPage, MoreLightsAddTheirSections)
{
    const std::string one = example("one_light.cfg");
    const std::string three = *edit_field(one, 0, "Lights", "3", "");
    const PageEvaluation page = evaluate_definition("one_light.cfg", three);
    EXPECT_TRUE(page.would_write) << three;
    EXPECT_EQ(page.lights_drawn, 3u);
    EXPECT_EQ(*edit_field(three, 0, "Lights", "1", ""), one + "\n");
    // A number of lights veska refuses changes only its line.
    EXPECT_EQ(*edit_field(one, 0, "Lights", "4", ""), one.substr(0, one.find("Lights=")) + "Lights=4" +
                                                         one.substr(one.find("Lights=") + 8));
}

TEST(TuningPage, FiguresSayWhereTheLightFalls)
{
    // Level on the ground, the light 2 m up: a beam aimed straight ahead
    // lights an area symmetric about its axis; turned towards the right
    // wing, everything moves right.
    const std::string level = "[Main]\nLights=2\n[Light 1]\nZOffset=2\nLonOffset=0\nMaxRange=20\nSpotDepth=10\n"
                              "[Light 2]\nZOffset=2\nLonOffset=0\nSpotDepth=10\nDirection=30\n";
    const PageEvaluation page = evaluate_definition("x.cfg", level);
    ASSERT_EQ(page.figures.size(), 2u);
    const LitAreaFigures& ahead = page.figures[0].figures;
    ASSERT_EQ(ahead.state, LitArea::lit);
    EXPECT_NEAR(ahead.aim_ahead, 20.0, 1e-6);
    EXPECT_NEAR(ahead.aim_x, 0.0, 1e-9);
    EXPECT_NEAR(ahead.leftmost, -ahead.rightmost, 0.2);
    // The lit area runs from the aim point SpotDepth back towards the light.
    EXPECT_NEAR(ahead.farthest, ahead.aim_ahead, 0.2);
    EXPECT_NEAR(ahead.nearest, 10.0, 0.5);
    const LitAreaFigures& right = page.figures[1].figures;
    EXPECT_GT(right.aim_x, 10.0);
    EXPECT_GT(right.leftmost, 0.0);
    EXPECT_EQ(page.figures[0].text.rfind("lit area ", 0), 0u);
    // A light under the ground lights nothing.
    const PageEvaluation under = evaluate_definition("x.cfg", "[Main]\nLights=1\n[Light 1]\nZOffset=-1\nPitch=0\n");
    ASSERT_EQ(under.figures.size(), 1u);
    EXPECT_EQ(under.figures[0].figures.state, LitArea::light_not_above);
    EXPECT_EQ(under.figures[0].text, "no lit area: the light is not above the ground");
}

TEST(TuningPage, TellsModelsFromDefinitionFiles)
{
    EXPECT_TRUE(looks_like_model("cub.MDL", ""));
    EXPECT_TRUE(looks_like_model("cub", "MZ\x90"));
    EXPECT_FALSE(looks_like_model("lights.cfg", "[Main]\n"));
    EXPECT_FALSE(looks_like_model("mdl", "M"));
}

// The same operations on the page's files in memory and on the system's,
// step by step: the same errors and the same bytes.
std::vector<std::string> operations_on(FileSystem& files)
{
    std::vector<std::string> told;
    const auto read = [&](const std::string& name, const ReadLimits& limits) {
        FileBytes bytes;
        const ReadResult result = files.read_file(name, limits, bytes);
        told.push_back(name + " read: " + std::to_string(result.error) + "/" +
                       std::to_string(static_cast<int>(result.step)) + " " + std::string(bytes.view()));
    };
    const auto kind = [&](const std::string& name) {
        FileInfo info{};
        const int error = files.file_info(name, true, info);
        told.push_back(name + " info: " + std::to_string(error) + "/" + std::to_string(static_cast<int>(info.kind)));
    };
    read("cub.mdl", ReadLimits{10, true, false});
    read("cub.mdl", ReadLimits{3, true, false});
    read("cub.mdl", ReadLimits{3, true, true});
    read("missing.cfg", ReadLimits{10, false, false});
    read(".", ReadLimits{10, false, false});
    // Each step a statement of its own: they must come in this order.
    const auto step = [&](const char* what, int error) { told.push_back(what + std::string(": ") + std::to_string(error)); };
    FileHandle handle{};
    step("taken", files.create_temporary("cub.mdl", handle));
    step("new", files.create_temporary("cub.tmp", handle));
    const std::string bytes = "lit";
    step("written", files.write(handle, reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
    step("permitted", files.set_permissions(handle, 0644));
    step("flushed", files.flush_to_disk(handle));
    step("closed", files.close(handle));
    step("writable", files.check_writable("cub.tmp"));
    step("missing writable", files.check_writable("missing.cfg"));
    step("replaced", files.replace("cub.tmp", "cub.mdl"));
    step("missing replaced", files.replace("missing.cfg", "cub.cfg"));
    read("cub.mdl", ReadLimits{10, true, false});
    kind("cub.tmp");
    kind(".");
    step("removed", files.remove("cub.mdl"));
    step("removed again", files.remove("cub.mdl"));
    kind("cub.mdl");
    return told;
}

TEST(TuningPage, KeepsItsFilesAsTheSystemDoes)
{
    const InScratchFolder folder;
    const std::string model("MZ\x90\x00!", 5);
    write_file_text("cub.mdl", model);
    SystemFileSystem system;
    MemoryFileSystem memory;
    memory.put("cub.mdl", model);
    EXPECT_EQ(operations_on(memory), operations_on(system));
}

TEST(TuningPage, WorksOnAModelAsThePrograms)
{
    const InScratchFolder folder;
    const std::string sample = as_text(mdl_builder::build_sample_mdl());
    const std::string definition = example("two_lights.cfg");
    const ModelRun lit = apply_to_model("cub.mdl", sample, "lights.cfg", definition);
    const ModelRun again = apply_to_model("cub.mdl", lit.model, "lights.cfg", definition);
    const ModelRun stripped = take_lights_out("cub.mdl", lit.model);
    const ModelRun refused = take_lights_out("cub.mdl", sample);
    const ModelRun wrong = apply_to_model("cub.mdl", sample, "lights.cfg", "[Main]\nLights=1\n[Light 1]\nX=1\n");
    // The page's files are gone again.
    EXPECT_TRUE(folder_entries(folder.dir().path()).empty());

    // veska SOURCE TARGET DEFINITION on the same files.
    write_file_text("cub.mdl", sample);
    write_file_text("lights.cfg", definition);
    const RunOutcome veska = run_veska_in_process({"cub.mdl", "cub.mdl", "lights.cfg"});
    ASSERT_EQ(veska.exit_code, 0);
    EXPECT_TRUE(lit.done);
    EXPECT_EQ(lit.model, read_file_text("cub.mdl"));
    EXPECT_EQ(lit.output, veska.output);

    EXPECT_FALSE(again.done);
    EXPECT_TRUE(again.already_lit);
    EXPECT_TRUE(again.model.empty());
    EXPECT_EQ(again.output, run_veska_in_process({"cub.mdl", "cub.mdl", "lights.cfg"}).output);

    EXPECT_TRUE(stripped.done);
    EXPECT_EQ(stripped.model, sample);
    EXPECT_EQ(stripped.output, run_inspect_in_process({"--strip", "cub.mdl"}).output);
    EXPECT_EQ(read_file_text("cub.mdl"), sample);
    EXPECT_FALSE(refused.done);
    EXPECT_EQ(refused.output, run_inspect_in_process({"--strip", "cub.mdl"}).output);

    // A definition with errors: nothing to download, veska's messages.
    EXPECT_FALSE(wrong.done);
    EXPECT_FALSE(wrong.already_lit);
    EXPECT_NE(wrong.output.find("Error in lights.cfg, line 4: Unrecognised name=X"), std::string::npos);
}

}  // namespace

}  // namespace lumora

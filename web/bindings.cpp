// The tuning page's entry: the core's functions for JavaScript. Texts go out
// as strings, bytes (a definition file as saved, a model) in and out as
// Uint8Array; records become plain objects. Nothing is kept between calls:
// the page holds the bytes, and the definition as opened with its lights
// worked out (an OpenedDefinition).
#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <sys/stat.h>
#include <unistd.h>

#include "definition/definition_editing.h"
#include "definition/keys.h"
#include "web/page_evaluation.h"
#include "web/page_form.h"
#include "web/page_model.h"

namespace lumora {

namespace {

using emscripten::val;

val bytes_out(const std::string& bytes)
{
    const val view(emscripten::typed_memory_view(bytes.size(), reinterpret_cast<const std::uint8_t*>(bytes.data())));
    return val::global("Uint8Array").new_(view);
}

val optional_bytes_out(const std::optional<std::string>& bytes) { return bytes ? bytes_out(*bytes) : val::null(); }

template <typename T, typename Convert>
val array_of(const std::vector<T>& items, Convert convert)
{
    val array = val::array();
    for (const T& item : items) {
        array.call<void>("push", convert(item));
    }
    return array;
}

val message_out(const PageMessage& message)
{
    val out = val::object();
    out.set("text", message.text);
    out.set("hint", message.hint);
    out.set("severity", message.severity);
    out.set("line", message.line);
    out.set("section", message.section);
    out.set("key", message.key);
    out.set("fix", message.fix);
    out.set("fixLine", message.fix_line);
    out.set("fixText", message.fix_text);
    out.set("fixRemoves", message.fix_removes);
    out.set("keys", array_of(message.keys, [](const std::string& key) { return val(key); }));
    return out;
}

val line_out(const PageLine& line)
{
    val out = val::object();
    out.set("number", line.number);
    out.set("section", line.section);
    out.set("text", line.text);
    return out;
}

val field_out(const FormField& field)
{
    val out = val::object();
    out.set("section", field.section);
    out.set("key", field.key);
    out.set("label", field.label);
    out.set("help", field.help);
    out.set("takesUnit", field.takes_unit);
    out.set("present", field.present);
    out.set("line", field.line);
    out.set("number", field.number);
    out.set("unit", field.unit);
    out.set("placeholder", field.placeholder);
    out.set("sliderMin", field.slider_min);
    out.set("sliderMax", field.slider_max);
    out.set("sliderStep", field.slider_step);
    out.set("sliderValue", field.slider_value);
    return out;
}

val figures_out(const PageFigures& page)
{
    const LitAreaFigures& figures = page.figures;
    val out = val::object();
    out.set("light", page.light);
    out.set("lit", figures.state == LitArea::lit);
    out.set("nearest", figures.nearest);
    out.set("farthest", figures.farthest);
    out.set("leftmost", figures.leftmost);
    out.set("rightmost", figures.rightmost);
    out.set("aimAhead", figures.aim_ahead);
    out.set("aimX", figures.aim_x);
    out.set("text", page.text);
    out.set("cells", array_of(page.cells, [](const std::string& cell) { return val(cell); }));
    return out;
}

// opened: the definition as opened (openedDefinition), or null.
val evaluate(const std::string& name, const std::string& bytes, const OpenedDefinition* opened)
{
    const PageEvaluation page = evaluate_definition(name, bytes, opened);
    val out = val::object();
    out.set("text", page.text);
    out.set("encoding", page.encoding);
    out.set("readable", page.readable);
    out.set("lines", array_of(page.lines, line_out));
    out.set("messages", array_of(page.messages, message_out));
    out.set("wouldWrite", page.would_write);
    out.set("errors", page.errors);
    out.set("verdict", page.verdict);
    out.set("svg", page.svg);
    out.set("complete", page.complete);
    out.set("lightsDrawn", page.lights_drawn);
    out.set("fields", array_of(page.form.fields, field_out));
    out.set("otherGearTail", page.form.other_gear_tail);
    out.set("lightCount", page.light_count);
    out.set("sectionsDefined", array_of(page.sections_defined, [](bool defined) { return val(defined); }));
    out.set("figures", array_of(page.figures, figures_out));
    return out;
}

val vocabulary()
{
    const PageVocabulary words = page_vocabulary();
    val out = val::object();
    out.set("sectionTitles", array_of(words.section_titles, [](const std::string& title) { return val(title); }));
    out.set("tailGearWords", words.tail_gear_words);
    out.set("noseGearWords", words.nose_gear_words);
    return out;
}

val edit(const std::string& bytes, unsigned section, const std::string& key, const std::string& number,
         const std::string& unit)
{
    return optional_bytes_out(edit_field(bytes, section, key, number, unit));
}

val apply_fix(const std::string& bytes, std::uint32_t line, const std::string& text, bool removes)
{
    return optional_bytes_out(replace_line(bytes, line, removes ? std::nullopt : std::optional<std::string>(text)));
}

std::string definition_text(const std::string& bytes) { return shown_definition_text(bytes); }

val replace_text(const std::string& bytes, const std::string& text)
{
    return optional_bytes_out(replace_definition_text(bytes, text));
}

val rename_gear(const std::string& bytes, bool tail) { return optional_bytes_out(rename_other_gear(bytes, tail)); }

std::string convert(const std::string& number, const std::string& from, const std::string& to)
{
    return convert_number(number, from, to);
}

// The units a length may carry, as written, and the one a number without a
// unit is read in.
val length_unit_choice()
{
    val out = val::object();
    val suffixes = val::array();
    for (const LengthUnit& unit : length_units) {
        suffixes.call<void>("push", std::string(unit.suffix));
        if (unit.metres == 1.0) {
            out.set("plain", std::string(unit.suffix));
        }
    }
    out.set("units", suffixes);
    return out;
}

// The model's runs work in a folder of their own in the in-memory file
// system, under the names of the user's files.
void enter_work_folder()
{
    ::mkdir("/lumora", 0700);
    ::chdir("/lumora");
}

val model_out(const ModelRun& run)
{
    val out = val::object();
    out.set("done", run.done);
    out.set("alreadyLit", run.already_lit);
    out.set("exitCode", run.exit_code);
    out.set("output", run.output);
    out.set("model", run.done ? bytes_out(run.model) : val::null());
    return out;
}

val apply(const std::string& model_name, const std::string& model, const std::string& definition_name,
          const std::string& definition)
{
    enter_work_folder();
    return model_out(apply_to_model(model_name, model, definition_name, definition));
}

bool is_model(const std::string& name, const std::string& bytes) { return looks_like_model(name, bytes); }

val strip(const std::string& model_name, const std::string& model)
{
    enter_work_folder();
    return model_out(take_lights_out(model_name, model));
}

}  // namespace

}  // namespace lumora

EMSCRIPTEN_BINDINGS(lumora_page)
{
    // The page keeps the definition as opened, and deletes it when it opens another.
    emscripten::class_<lumora::OpenedDefinition>("OpenedDefinition");
    emscripten::function("openedDefinition", &lumora::opened_definition);
    emscripten::function("evaluate", &lumora::evaluate, emscripten::allow_raw_pointers());
    emscripten::function("vocabulary", &lumora::vocabulary);
    emscripten::function("editField", &lumora::edit);
    emscripten::function("renameOtherGear", &lumora::rename_gear);
    emscripten::function("applyFix", &lumora::apply_fix);
    emscripten::function("definitionText", &lumora::definition_text);
    emscripten::function("replaceText", &lumora::replace_text);
    emscripten::function("convertNumber", &lumora::convert);
    emscripten::function("applyToModel", &lumora::apply);
    emscripten::function("takeLightsOut", &lumora::strip);
    emscripten::function("isModel", &lumora::is_model);
    emscripten::function("lengthUnits", &lumora::length_unit_choice);
}

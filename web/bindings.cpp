// The tuning page's entry: the core's functions for JavaScript. Texts go out
// as strings, bytes (a definition file as saved, a model) in and out as
// Uint8Array; records become plain objects. Nothing is kept between calls:
// the page holds the bytes.
#include <emscripten/bind.h>
#include <emscripten/val.h>

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

// A vector member as a JavaScript array of its items, and back.
template <typename Struct, typename T, std::vector<T> Struct::*member>
val array_out(const Struct& record)
{
    val array = val::array();
    for (const T& item : record.*member) {
        array.call<void>("push", item);
    }
    return array;
}

template <typename Struct, typename T, std::vector<T> Struct::*member>
void array_in(Struct& record, val array)
{
    record.*member = emscripten::vecFromJSArray<T>(array);
}

// The form's fields and the other gear's kind stand in the evaluation's
// record itself.
val form_fields_out(const PageEvaluation& page) { return array_out<FormState, FormField, &FormState::fields>(page.form); }
void form_fields_in(PageEvaluation& page, val fields) { array_in<FormState, FormField, &FormState::fields>(page.form, fields); }
bool other_gear_tail_out(const PageEvaluation& page) { return page.form.other_gear_tail; }
void other_gear_tail_in(PageEvaluation& page, bool tail) { page.form.other_gear_tail = tail; }

// opened: the bytes as the file was opened, or null.
PageEvaluation evaluate(const std::string& name, const std::string& bytes, const val& opened)
{
    const std::string opened_bytes = opened.isNull() || opened.isUndefined() ? bytes : opened.as<std::string>();
    return evaluate_definition(name, bytes, &opened_bytes);
}

// The text's lines: a JavaScript array of records.
val definition_lines(const std::string& bytes) { return val::array(page_lines(bytes)); }

val edit(const std::string& bytes, unsigned section, const std::string& key, const std::string& number,
         const std::string& unit)
{
    return optional_bytes_out(edit_field(bytes, section, key, number, unit));
}

val apply_fix(const std::string& bytes, std::uint32_t line, const std::string& text, bool removes)
{
    return optional_bytes_out(replace_line(bytes, line, removes ? std::nullopt : std::optional<std::string>(text)));
}

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

// The model a run wrote, as bytes; null when it wrote none.
val model_out(const ModelRun& run) { return run.done ? bytes_out(run.model) : val::null(); }
void model_in(ModelRun& run, val model) { run.model = model.isNull() ? std::string() : model.as<std::string>(); }

}  // namespace

}  // namespace lumora

EMSCRIPTEN_BINDINGS(lumora_page)
{
    using namespace lumora;
    using emscripten::value_object;
    // The records the page reads, as plain objects under the names it uses.
    value_object<PageMessage>("PageMessage")
        .field("text", &PageMessage::text)
        .field("hint", &PageMessage::hint)
        .field("severity", &PageMessage::severity)
        .field("line", &PageMessage::line)
        .field("section", &PageMessage::section)
        .field("key", &PageMessage::key)
        .field("keys", &array_out<PageMessage, std::string, &PageMessage::keys>,
               &array_in<PageMessage, std::string, &PageMessage::keys>)
        .field("fix", &PageMessage::fix)
        .field("fixLine", &PageMessage::fix_line)
        .field("fixText", &PageMessage::fix_text)
        .field("fixRemoves", &PageMessage::fix_removes);
    value_object<PageLine>("PageLine")
        .field("number", &PageLine::number)
        .field("section", &PageLine::section)
        .field("text", &PageLine::text);
    value_object<FormField>("FormField")
        .field("section", &FormField::section)
        .field("key", &FormField::key)
        .field("label", &FormField::label)
        .field("help", &FormField::help)
        .field("takesUnit", &FormField::takes_unit)
        .field("present", &FormField::present)
        .field("line", &FormField::line)
        .field("number", &FormField::number)
        .field("unit", &FormField::unit)
        .field("placeholder", &FormField::placeholder)
        .field("sliderMin", &FormField::slider_min)
        .field("sliderMax", &FormField::slider_max)
        .field("sliderStep", &FormField::slider_step)
        .field("sliderValue", &FormField::slider_value);
    value_object<PageFigures>("PageFigures")
        .field("light", &PageFigures::light)
        .field("lit", &PageFigures::lit)
        .field("text", &PageFigures::text)
        .field("cells", &array_out<PageFigures, std::string, &PageFigures::cells>,
               &array_in<PageFigures, std::string, &PageFigures::cells>);
    value_object<PageEvaluation>("PageEvaluation")
        .field("encoding", &PageEvaluation::encoding)
        .field("readable", &PageEvaluation::readable)
        .field("messages", &array_out<PageEvaluation, PageMessage, &PageEvaluation::messages>,
               &array_in<PageEvaluation, PageMessage, &PageEvaluation::messages>)
        .field("wouldWrite", &PageEvaluation::would_write)
        .field("errors", &PageEvaluation::errors)
        .field("verdict", &PageEvaluation::verdict)
        .field("svg", &PageEvaluation::svg)
        .field("complete", &PageEvaluation::complete)
        .field("lightsDrawn", &PageEvaluation::lights_drawn)
        .field("fields", &form_fields_out, &form_fields_in)
        .field("otherGearTail", &other_gear_tail_out, &other_gear_tail_in)
        .field("lightCount", &PageEvaluation::light_count)
        .field("sectionsDefined", &array_out<PageEvaluation, bool, &PageEvaluation::sections_defined>,
               &array_in<PageEvaluation, bool, &PageEvaluation::sections_defined>)
        .field("figures", &array_out<PageEvaluation, PageFigures, &PageEvaluation::figures>,
               &array_in<PageEvaluation, PageFigures, &PageEvaluation::figures>)
        .field("lineCount", &PageEvaluation::line_count);
    value_object<PageVocabulary>("PageVocabulary")
        .field("sectionTitles", &array_out<PageVocabulary, std::string, &PageVocabulary::section_titles>,
               &array_in<PageVocabulary, std::string, &PageVocabulary::section_titles>)
        .field("tailGearWords", &PageVocabulary::tail_gear_words)
        .field("noseGearWords", &PageVocabulary::nose_gear_words);
    value_object<ModelRun>("ModelRun")
        .field("done", &ModelRun::done)
        .field("alreadyLit", &ModelRun::already_lit)
        .field("exitCode", &ModelRun::exit_code)
        .field("output", &ModelRun::output)
        .field("model", &model_out, &model_in);

    emscripten::function("evaluate", &lumora::evaluate);
    emscripten::function("vocabulary", &lumora::page_vocabulary);
    emscripten::function("editField", &lumora::edit);
    emscripten::function("renameOtherGear", &lumora::rename_gear);
    emscripten::function("applyFix", &lumora::apply_fix);
    emscripten::function("definitionText", &lumora::shown_definition_text);
    emscripten::function("definitionLines", &lumora::definition_lines);
    emscripten::function("replaceText", &lumora::replace_text);
    emscripten::function("convertNumber", &lumora::convert);
    emscripten::function("applyToModel", &lumora::apply_to_model);
    emscripten::function("takeLightsOut", &lumora::take_lights_out);
    emscripten::function("isModel", &lumora::looks_like_model);
    emscripten::function("lengthUnits", &lumora::length_unit_choice);
}

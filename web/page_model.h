// The tuning page's work on a model: what "veska SOURCE TARGET DEFINITION"
// and "veska-inspect --strip MODEL" do, run by the programs' own code on
// files held in memory for the run (MemoryFileSystem) under the names the
// user's files have, so that the messages name them as the programs would.
// Nothing is written to any disk; the user's own file is never touched.
#pragma once

#include <string>

namespace lumora {

struct ModelRun {
    bool done;           // the model was written: model holds it
    bool already_lit;    // veska refused the model: it is not an unmodified model (it has lights already)
    int exit_code;       // the program's
    std::string output;  // everything the program printed, as on its console
    std::string model;   // the model to download
};

// Whether a file the user gives the page is a model rather than a
// definition file: its name ends in .mdl (in any case), or it begins with
// the "MZ" signature that every model begins with.
bool looks_like_model(const std::string& name, const std::string& bytes);

// veska SOURCE TARGET DEFINITION with the model as source and as target,
// and the definition file beside it.
ModelRun apply_to_model(const std::string& model_name, const std::string& model, const std::string& definition_name,
                        const std::string& definition);

// veska-inspect --strip MODEL: the model with its landing lights taken out.
ModelRun take_lights_out(const std::string& model_name, const std::string& model);

}  // namespace lumora

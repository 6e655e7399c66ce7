// The bodies of the fuzz harnesses, shared by the libFuzzer programs of the
// fuzzing build and by the regression tests of the normal build, which replay
// every input that once broke a harness.
//
// Each body takes one input, runs the part of the program it covers in
// records and a scratch folder of its own, made for that input and gone when
// it is done, checks what must hold for any input, and returns null when
// every check held or a short description of the first check that failed.
// Nothing is printed. Sanitizer reports end the process on their own.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lumora {

// Makes the scratch folders of the inputs memory-backed where the machine has
// such a folder and the environment names no other (TMPDIR), so that the
// many small writes and flushes of the runs stay fast. The fuzzer programs
// call it once at start.
void fuzz_prefer_memory_scratch();

// Harness 1: the bytes read as a definition file, then the lights computed
// and the template for their number filled, as the run does.
const char* fuzz_definition_input(const std::uint8_t* data, std::size_t size);

// Harness 2: the bytes loaded and validated as an MDL file and, where
// accepted, a filled template inserted into its model code.
const char* fuzz_model_input(const std::uint8_t* data, std::size_t size);

// Harness 3: the bytes split into a definition file and a model, both
// written to a scratch folder, and the whole run made twice: in three-name
// mode and in place. The input is a name byte, the definition file's length
// (16 bits, little-endian), the definition file and the model. The name
// byte modulo 16 chooses the model's file name: 0 to 7 and 13 to 15 a plain
// name; 8 to 12 names whose backup name is special (no extension, the model
// itself, several dots, 255 and 256 bytes).
const char* fuzz_run_input(const std::uint8_t* data, std::size_t size);

// A harness 3 input made of its parts (the definition file cut to 65,535
// bytes).
std::vector<std::uint8_t> make_run_input(const std::string& definition, const std::vector<std::uint8_t>& model,
                                         unsigned name_variant = 0);

}  // namespace lumora

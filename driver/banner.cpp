#include "driver/banner.h"

#include "driver/console.h"
#include "mdl/xor_key.h"

namespace {

constexpr auto stored_banner = scrambled_block<BANNER_SIZE>(
    "VESKA - landing lights for aircraft models, Lumora 1.0\n"
    "Works out the ground pitch and each light's beam and lit spot from a\n"
    "definition file and puts them into the model code of an MDL file.\n"
    "\n");

HeldBlock<BANNER_SIZE> banner{};

}  // namespace

const std::uint8_t* banner_block() { return held_bytes(banner, stored_banner); }

void print_banner()
{
    std::uint8_t* bytes = held_bytes(banner, stored_banner);
    xor_with_key(bytes, BANNER_SIZE, scramble_key.data(), SCRAMBLE_KEY_LENGTH);
    console_write(reinterpret_cast<const char*>(bytes));
}

void reset_banner() { banner.loaded = false; }

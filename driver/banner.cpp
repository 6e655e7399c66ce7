#include "driver/banner.h"

#include <cstring>

#include "driver/console.h"
#include "mdl/xor_key.h"

namespace {

constexpr auto stored_banner = scrambled_block<BANNER_SIZE>(
    "VESKA - landing lights for aircraft models, Lumora 1.0\n"
    "Works out the ground pitch and each light's beam and lit spot from a\n"
    "definition file and puts them into the model code of an MDL file.\n"
    "\n");

std::uint8_t banner[BANNER_SIZE];
bool banner_loaded = false;

void load_banner()
{
    if (!banner_loaded) {
        std::memcpy(banner, stored_banner.data(), BANNER_SIZE);
        banner_loaded = true;
    }
}

}  // namespace

const std::uint8_t* banner_block()
{
    load_banner();
    return banner;
}

void print_banner()
{
    load_banner();
    xor_with_key(banner, BANNER_SIZE, scramble_key.data(), SCRAMBLE_KEY_LENGTH);
    console_write(reinterpret_cast<const char*>(banner));
}

void reset_banner() { banner_loaded = false; }

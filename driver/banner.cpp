#include "driver/banner.h"

#include "basics/scramble.h"
#include "basics/version.h"

namespace lumora {

namespace {

constexpr int BANNER_SIZE = 409;  // at most 408 characters and the terminating zero

constexpr auto STORED_BANNER = scrambled_block<BANNER_SIZE>(
    "VESKA - landing lights for aircraft models, Lumora " LUMORA_VERSION_SHORT "\n"
    "Works out the ground pitch and each light's beam and lit spot from a\n"
    "definition file and puts them into the model code of an MDL file.\n"
    "\n");

}  // namespace

void print_banner(const Console& console)
{
    const std::array<std::uint8_t, BANNER_SIZE> banner = unscrambled_copy(STORED_BANNER);
    console_write(console, reinterpret_cast<const char*>(banner.data()));
}

}  // namespace lumora

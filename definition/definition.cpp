#include "definition/definition.h"

namespace lumora {

void release_definition(Definition& definition)
{
    for (DefinitionSection& section : definition.sections) {
        clear_section(section);
    }
}

}  // namespace lumora

#include "definition/definition.h"

void release_definition(Definition& definition)
{
    for (DefinitionSection& section : definition.sections) {
        clear_section(section);
    }
}

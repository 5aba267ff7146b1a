#include "paramfields.h"
#include <cstring>

namespace ParamFields {

const SpinField *spinField(int index)
{
    for (const SpinField &field : Spins)
        if (field.index == index)
            return &field;
    return nullptr;
}

const SpinField *spinField(const char *name)
{
    for (const SpinField &field : Spins)
        if (std::strcmp(field.name, name) == 0)
            return &field;
    return nullptr;
}

}  // namespace ParamFields

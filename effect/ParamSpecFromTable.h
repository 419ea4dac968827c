#pragma once

#include "IParamSpec.h"
#include "ParameterTable.h"

// Gives `spec` the name, kind, range, default, curve and texts of `row`.
void DefineParamSpec(IParamSpec& spec, const ParamDefinition& row);

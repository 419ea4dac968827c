#pragma once

#include "IParamSpec.h"
#include "ParameterTable.h"

// Gives `param` the name, kind, range, default, curve and texts of `row`.
void DefineParam(IParamSpec& param, const ParamDefinition& row);

#include "ParamSpecFromTable.h"

void DefineParamSpec(IParamSpec& spec, const ParamDefinition& row) {
    switch (row.kind) {
    case ParamKind::Integer:
        spec.DefineInt(row.name, static_cast<int>(row.defaultValue), static_cast<int>(row.minimum),
                       static_cast<int>(row.maximum), row.label);
        break;
    case ParamKind::Real:
        spec.DefineDouble(row.name, row.defaultValue, row.minimum, row.maximum, row.step, row.label);
        break;
    case ParamKind::Enumerated:
        spec.DefineEnum(row.name, static_cast<int>(row.defaultValue), row.textCount, row.label);
        break;
    }
    if (row.shape != 1.0)
        spec.SetShapeExponent(row.shape);
    for (int v = 0; v < row.textCount; ++v)
        spec.AddDisplayText(v, row.texts[v]);
}

#include "ParamFromTable.h"

void DefineParam(IParamSpec& param, const ParamDefinition& row) {
    switch (row.kind) {
    case ParamKind::Integer:
        param.DefineInt(row.name, static_cast<int>(row.defaultValue), static_cast<int>(row.minimum),
                        static_cast<int>(row.maximum), row.label);
        break;
    case ParamKind::Real:
        param.DefineDouble(row.name, row.defaultValue, row.minimum, row.maximum, row.step, row.label);
        break;
    case ParamKind::Enumerated:
        param.DefineEnum(row.name, static_cast<int>(row.defaultValue), row.textCount, row.label);
        break;
    }
    if (row.shape != 1.0)
        param.SetShapeExponent(row.shape);
    for (int v = 0; v < row.textCount; ++v)
        param.AddDisplayText(v, row.texts[v]);
}

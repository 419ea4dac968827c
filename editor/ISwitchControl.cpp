#include "ISwitchControl.h"

void ISwitchControl::PointerDown(int x, int y, const MouseMods& mods) {
    (void)x, (void)y;
    if (mods.right)
        PromptForValue();
    else if (mods.left)
        SetValue(Value() + (strip_.frames < 2 ? 1.0 : 1.0 / (strip_.frames - 1)));
    if (!(Value() <= 1.001))
        SetValue(0.0);
    MarkDirty(true);
}

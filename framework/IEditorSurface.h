#pragma once

// What the plug-in base and the effect ask of an attached editor surface. The editor implements it;
// the framework knows no concrete editor. Called on the user-interface thread or, for value pushes and
// control visibility, on whichever thread changed the parameter (the surface only marks controls dirty).
class IEditorSurface {
  public:
    virtual ~IEditorSurface() = default;

    // A parameter's value for the controls bound to it, plain or normalised.
    virtual void SetParameterFromPlug(int paramIndex, double value, bool normalized) = 0;
    // Called once when the surface is attached, before its first paint.
    virtual void PrepareDraw() = 0;
    virtual int FrameRate() const = 0;
    // Arms (ticks > 0) or cancels the countdown that ends a deferred gesture.
    virtual void SetEndEditCountdown(int ticks) = 0;
    // Hides or shows every control bound to a parameter.
    virtual void HideParamControls(int paramIndex, bool hide) = 0;
};

#pragma once

#include <atomic>

#include "IControl.h"

// The activity lamp: green while the reverb processes, red while it passes audio through after silence.
class IBypass : public IControl {
  public:
    IBypass(IPlugBase* plugin, int centreX, int centreY, int radius);

    // Audio thread, once per block: stores the state and flags a redraw only when it changes. Never
    // allocates, locks or draws.
    void SetOn(bool on);
    bool IsOn() const { return on_.load(std::memory_order_relaxed); }
    bool Render(IGraphics& surface) override;

  private:
    std::atomic<bool> on_{false};
    ArgbColor onColor_{250, 55, 255, 55};
    ArgbColor offColor_{250, 255, 55, 55};
};

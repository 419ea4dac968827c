#pragma once

// Turning what the user typed into what the plug-in understands: preset names or numbers into
// program indices, parameter values (plain numbers or display texts) into normalised values.
// The plug-in is reached only through ParameterView, so the rules test without one.

#include <string>
#include <vector>

namespace halvane::render {

// Position of wanted in names: an exact match, else the only match ignoring ASCII case;
// -1 when there is none or the case-blind match is ambiguous.
int findName(const std::vector<std::string>& names, const std::string& wanted);

// A program by name or by number. Empty names are unused slots and cannot be chosen. False with
// the reason in error.
bool resolvePreset(const std::vector<std::string>& programNames, const std::string& text, int& index,
                   std::string& error);

// What value conversion needs to know of one parameter; the renderer answers through the
// plug-in's edit controller.
class ParameterView {
  public:
    virtual ~ParameterView() = default;
    virtual int stepCount() const = 0; // 0: continuous
    virtual bool isList() const = 0;   // the plug-in flags its values as a list of texts
    virtual std::string unit() const = 0;
    virtual std::string display(double normalized) const = 0; // empty when the plug-in has none
    virtual double toPlain(double normalized) const = 0;
    virtual double toNormalized(double plain) const = 0;
};

// A plain number, optionally followed by the parameter's unit ("5.5", "5.5 s", "-3dB"), or one
// of the texts the parameter displays at its steps ("Cone"). Lists try their texts first so a
// text that looks like a number still names its step. Numbers outside the parameter's range
// are refused rather than clamped. False with the reason in error.
bool normalizedFromText(const ParameterView& parameter, const std::string& text, double& normalized,
                        std::string& error);

// The texts of a parameter's steps ("Mono, Wide, Inflate"); empty when it has no steps, too many
// to list, or steps that read as numbers.
std::string valueTexts(const ParameterView& parameter);

// A plain value as messages and the parameter list show it: shortest form, never "-0".
std::string formatPlain(double value);

} // namespace halvane::render

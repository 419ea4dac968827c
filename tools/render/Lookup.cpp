#include "Lookup.h"

#include "RenderOptions.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace halvane::render {

namespace {

// Scanning every step for a text stops here; a parameter with more steps is a number.
constexpr int kMaxStepsScanned = 100000;
// Lists longer than this are not spelled out in an error message.
constexpr int kMaxValuesShown = 64;

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return lower(x) == lower(y); });
}

// "5.5", "5.5 s", "5.5s" for unit "s"; false when anything but the unit follows the number.
bool parseNumberWithUnit(const std::string& text, const std::string& unit, double& value) {
    if (parseNumber(text, value))
        return true;
    const std::string t = trim(text);
    const std::string u = trim(unit);
    if (u.empty() || t.size() <= u.size())
        return false;
    const std::string tail = t.substr(t.size() - u.size());
    return equalsIgnoringCase(tail, u) && parseNumber(t.substr(0, t.size() - u.size()), value);
}

bool matchStepText(const ParameterView& parameter, const std::string& text, double& normalized) {
    const int steps = parameter.stepCount();
    if (steps <= 0 || steps > kMaxStepsScanned)
        return false;
    const std::string wanted = trim(text);
    int caseBlind = -1;
    for (int k = 0; k <= steps; ++k) {
        const std::string shown = trim(parameter.display(static_cast<double>(k) / steps));
        if (shown == wanted) {
            normalized = static_cast<double>(k) / steps;
            return true;
        }
        if (caseBlind < 0 && equalsIgnoringCase(shown, wanted))
            caseBlind = k;
    }
    if (caseBlind < 0)
        return false;
    normalized = static_cast<double>(caseBlind) / steps;
    return true;
}

bool numberToNormalized(const ParameterView& parameter, double plain, double& normalized,
                        std::string& error) {
    const double a = parameter.toPlain(0.0);
    const double b = parameter.toPlain(1.0);
    const double low = std::min(a, b);
    const double high = std::max(a, b);
    // The plug-in's own mapping may land a hair beside its ends.
    const double slack = (high - low) * 1e-9;
    if (!(plain >= low - slack && plain <= high + slack)) {
        const std::string unit = parameter.unit();
        error = formatPlain(plain) + " is outside " + formatPlain(low) + " to " + formatPlain(high) +
                (unit.empty() ? "" : " " + unit);
        return false;
    }
    normalized = std::clamp(parameter.toNormalized(plain), 0.0, 1.0);
    return true;
}

} // namespace

std::string valueTexts(const ParameterView& parameter) {
    const int steps = parameter.stepCount();
    if (steps <= 0 || steps >= kMaxValuesShown)
        return {};
    std::string list;
    for (int k = 0; k <= steps; ++k) {
        const std::string shown = trim(parameter.display(static_cast<double>(k) / steps));
        double ignored = 0.0;
        if (shown.empty() || parseNumberWithUnit(shown, parameter.unit(), ignored))
            return {};
        list += (k ? ", " : "") + shown;
    }
    return list;
}

int findName(const std::vector<std::string>& names, const std::string& wanted) {
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == wanted)
            return static_cast<int>(i);
    int found = -1;
    for (size_t i = 0; i < names.size(); ++i) {
        if (!names[i].empty() && equalsIgnoringCase(names[i], wanted)) {
            if (found >= 0)
                return -1;
            found = static_cast<int>(i);
        }
    }
    return found;
}

bool resolvePreset(const std::vector<std::string>& programNames, const std::string& text, int& index,
                   std::string& error) {
    if (programNames.empty()) {
        error = "the plug-in has no presets";
        return false;
    }
    const std::string wanted = trim(text);
    int found = wanted.empty() ? -1 : findName(programNames, wanted);
    long long number = 0;
    if (found < 0 && parseInteger(wanted, 0, static_cast<long long>(programNames.size()) - 1, number))
        found = static_cast<int>(number);
    if (found < 0 || programNames[static_cast<size_t>(found)].empty()) {
        error = "unknown preset \"" + text + "\" (--list-presets shows them)";
        return false;
    }
    index = found;
    return true;
}

bool normalizedFromText(const ParameterView& parameter, const std::string& text, double& normalized,
                        std::string& error) {
    double plain = 0.0;
    const bool isNumber = parseNumberWithUnit(text, parameter.unit(), plain);
    if (parameter.isList() && matchStepText(parameter, text, normalized))
        return true;
    if (isNumber)
        return numberToNormalized(parameter, plain, normalized, error);
    if (matchStepText(parameter, text, normalized))
        return true;
    const std::string texts = valueTexts(parameter);
    error = "\"" + trim(text) + "\" is not a number" + (texts.empty() ? "" : " nor one of: " + texts);
    return false;
}

std::string formatPlain(double value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g", value == 0.0 ? 0.0 : value); // no "-0"
    return text;
}

} // namespace halvane::render

#include "IParamSpec.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

void CopyText(char* destination, const char* source, size_t size) {
    if (!destination || size == 0)
        return;
    if (!source)
        source = "";
    size_t n = std::strlen(source);
    if (n > size - 1)
        n = size - 1;
    std::memcpy(destination, source, n);
    destination[n] = '\0';
}

int RoundHalfAwayFromZero(double value) {
    if (std::isnan(value))
        return 0;
    double r = value >= 0.0 ? value + 0.5 : value - 0.5;
    if (r >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (r <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(r);
}

void IParamSpec::DefineDouble(const char* name, double defaultValue, double minimum, double maximum,
                              double step, const char* label) {
    if (type_ == kTypeNone)
        type_ = kTypeDouble;
    CopyText(name_, name, sizeof(name_));
    CopyText(label_, label, sizeof(label_));
    min_ = minimum;
    value_ = defaultValue;
    default_ = defaultValue;
    step_ = step;
    max_ = maximum > minimum + step ? maximum : minimum + step;

    // One decimal for every power of ten the step needs to become whole, six at most.
    displayPrecision_ = 0;
    double s = step;
    while (s != std::floor(s) && displayPrecision_ < 6) {
        ++displayPrecision_;
        s *= 10.0;
    }
}

void IParamSpec::DefineInt(const char* name, int defaultValue, int minimum, int maximum, const char* label) {
    if (type_ == kTypeNone)
        type_ = kTypeInt;
    DefineDouble(name, defaultValue, minimum, maximum, 1.0, label);
}

void IParamSpec::DefineEnum(const char* name, int defaultValue, int count, const char* label) {
    if (type_ == kTypeNone)
        type_ = kTypeEnum;
    DefineDouble(name, defaultValue, 0.0, count - 1, 1.0, label);
}

void IParamSpec::SetShapeExponent(double shape) {
    if (shape != 0.0)
        shape_ = shape;
}

void IParamSpec::AddDisplayText(int value, const char* text) {
    DisplayText entry;
    entry.value = value;
    CopyText(entry.text, text, sizeof(entry.text));
    displayTexts_.push_back(entry);
}

const char* IParamSpec::DisplayTextFor(int value) const {
    for (const DisplayText& entry : displayTexts_) {
        if (entry.value == value)
            return entry.text;
    }
    return "";
}

bool IParamSpec::ValueForDisplayText(const char* text, double* value) const {
    if (!text)
        return false;
    for (const DisplayText& entry : displayTexts_) {
        if (std::strcmp(entry.text, text) == 0) {
            if (value)
                *value = entry.value;
            return true;
        }
    }
    return false;
}

double IParamSpec::Clamped(double plain) const {
    if (!(plain >= min_))
        return min_;
    if (plain > max_)
        return max_;
    return plain;
}

double IParamSpec::NormalizedFromPlain(double plain) const {
    return std::pow((Clamped(plain) - min_) / (max_ - min_), 1.0 / shape_);
}

double IParamSpec::PlainFromNormalized(double normalized) const {
    return std::pow(normalized, shape_) * (max_ - min_) + min_;
}

void IParamSpec::SetFromNormalized(double normalized) {
    if (!(normalized >= 0.0))
        normalized = 0.0;
    if (normalized > 1.0)
        normalized = 1.0;
    double v = PlainFromNormalized(normalized);
    if (type_ != kTypeDouble)
        v = std::floor(v / step_ + 0.5) * step_;
    if (!(v < max_))
        v = max_;
    value_ = v;
}

std::string IParamSpec::FormatForDisplay(double value, bool isNormalized) const {
    if (isNormalized)
        value = PlainFromNormalized(value);
    int rounded = RoundHalfAwayFromZero(value);
    const char* text = DisplayTextFor(rounded);
    if (text[0] != '\0')
        return text;
    if (value == 0.0)
        return "0";

    char buffer[64];
    if (displayPrecision_ == 0) {
        long long shown = negateDisplay_ ? -static_cast<long long>(rounded) : rounded;
        std::snprintf(buffer, sizeof(buffer), "%lld", shown);
    } else {
        std::snprintf(buffer, sizeof(buffer), "%.*f", displayPrecision_, negateDisplay_ ? -value : value);
    }
    return buffer;
}

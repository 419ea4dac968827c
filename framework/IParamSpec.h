#pragma once

#include <string>
#include <vector>

// Kind of a parameter; stored as a 32-bit int.
enum ParamType : int { kTypeNone = 0, kTypeBool = 1, kTypeInt = 2, kTypeEnum = 3, kTypeDouble = 4 };

// A text shown in place of a whole-number value.
struct DisplayText {
    int value = 0;
    char text[32] = {};
};

// One automatable parameter: a plain value in its own unit, its range, step and curve, and the
// texts that stand for some values. Hosts and controls exchange normalised values in [0, 1]:
//   normalised = ((plain - min) / (max - min)) ^ (1 / shape),  plain = normalised ^ shape * (max - min) + min
// Not thread-safe by itself: the plug-in's instance lock guards every parameter.
class IParamSpec {
  public:
    // The first initialiser called fixes the type; later ones leave a set type alone.
    void DefineDouble(const char* name, double defaultValue, double minimum, double maximum, double step,
                      const char* label = "");
    void DefineInt(const char* name, int defaultValue, int minimum, int maximum, const char* label = "");
    void DefineEnum(const char* name, int defaultValue, int count, const char* label = "");
    // Exactly 0 keeps the previous shape.
    void SetShapeExponent(double shape);
    void AddDisplayText(int value, const char* text);

    ParamType Type() const { return type_; }
    double Value() const { return value_; }
    double Default() const { return default_; }
    double Min() const { return min_; }
    double Max() const { return max_; }
    double Step() const { return step_; }
    double Shape() const { return shape_; }
    int DisplayPrecision() const { return displayPrecision_; }
    const char* Name() const { return name_; }
    const char* Label() const { return label_; }
    const char* Group() const { return group_; }
    bool NegateDisplay() const { return negateDisplay_; }
    bool CanAutomate() const { return canAutomate_; }

    // Sets the plain value as given; callers clamp where their rules say so.
    void SetValue(double plain) { value_ = plain; }
    // The plain value clamped into [min, max]; anything not a number lands on the minimum.
    double Clamped(double plain) const;

    int DisplayTextCount() const { return static_cast<int>(displayTexts_.size()); }
    const DisplayText& DisplayTextAt(int i) const { return displayTexts_[static_cast<size_t>(i)]; }
    // The text of the first entry with exactly this value, or "".
    const char* DisplayTextFor(int value) const;
    // The value of the first entry whose text equals `text` (case-sensitive).
    bool ValueForDisplayText(const char* text, double* value) const;

    double NormalizedFromPlain(double plain) const;
    double NormalizedValue() const { return NormalizedFromPlain(value_); }
    // No clamping and no step rounding.
    double PlainFromNormalized(double normalized) const;
    // Sets the value from a normalised one: snapped to the step (from 0) unless the type is double,
    // held at the maximum from above. Input outside [0, 1] is taken as the nearer end.
    void SetFromNormalized(double normalized);

    std::string FormatForDisplay(double value, bool isNormalized) const;

  private:
    ParamType type_ = kTypeNone;
    double value_ = 0.0;
    double min_ = 0.0;
    double max_ = 1.0;
    double step_ = 1.0;
    double shape_ = 1.0;
    double default_ = 0.0;
    int displayPrecision_ = 0;
    char name_[32] = {};
    char label_[32] = {};
    char group_[32] = {};
    bool negateDisplay_ = false;
    bool canAutomate_ = true;
    std::vector<DisplayText> displayTexts_;
};

// Half away from zero, truncated toward zero; values beyond the int range (and NaN, as 0) are held
// inside it so the conversion is always defined.
int RoundHalfAwayFromZero(double value);

// Copies at most size - 1 characters and always terminates.
void CopyText(char* destination, const char* source, size_t size);

#include "FactoryPresets.h"

#include <iterator>

namespace {

constexpr int kNoParam = -1;

struct ParamValue {
    int param = kNoParam;
    double value = 0.0;
};

// Values every named preset starts from.
// clang-format off
constexpr ParamValue kSharedValues[] = {
    {kMonoPosition,   0},
    {kSpaceAccent,    100},
    {kAttack,         50},
    {kSize,           100},
    {kEqType,         0},
    {kEqFreq,         2000},
    {kEqBandwidth,    50},
    {kEqGain,         6.0},
    {kEqMode,         0},
    {kEq2Freq,        6000},
    {kEq2Bandwidth,   75},
    {kEq2Gain,        6.0},
    {kBypassCeil,     -60},
};
// clang-format on

enum Group : int { VeryLarge, Large, Medium, Small, VerySmall, VerySmallLow, Ambience, FX, kNumGroups };

// The columns of the per-group table, in the order they are written below.
constexpr int kGroupColumns[] = {kPreDelay, kTime, kFreq, kEq2Type, kDryMix, kWetMix};
constexpr int kNumGroupColumns = static_cast<int>(std::size(kGroupColumns));

struct GroupValues {
    const char* prefix; // every name in the group starts with it
    double values[kNumGroupColumns];
};

// clang-format off
constexpr GroupValues kGroupValues[kNumGroups] = {
    //                        Pre Delay  Time  Freq  EQ2 Type  Dry  Wet
    {"Very Large - ",         {20,       20.0, 8000, 1,        60,  50}},
    {"Large - ",              {20,       10.0, 8000, 1,        60,  50}},
    {"Medium - ",             {20,        5.0, 8000, 1,        60,  50}},
    {"Small - ",              {20,        2.0, 8000, 1,        60,  50}},
    {"Very Small - ",         {20,        0.3, 6000, 0,        80,  40}},
    {"Very Small Low - ",     {20,        0.2, 1000, 0,        80,  30}},
    {"Ambience - ",           { 0,        0.1, 8000, 0,        60,   8}},
    {"FX - ",                 { 0,       30.0, 8000, 1,         0,  70}},
};
// clang-format on

// The six columns that set each preset apart, in the order they are written in a row.
constexpr int kRowColumns[] = {kSpace, kSurface, kStereo, kStereoPosition, kSurfaceAccent, kDiffuse};
constexpr int kNumRowColumns = static_cast<int>(std::size(kRowColumns));

constexpr int kMaxOverrides = 5; // "Ambience - Bugs" needs all five

struct PresetRow {
    const char* name;
    int columns[kNumRowColumns];
    Group group;
    ParamValue overrides[kMaxOverrides]; // unused entries keep kNoParam
};

// clang-format off
constexpr PresetRow kPresetRows[] = {
    // Spc Space, Srf Surface, St Stereo, SP Stereo Position, SAcc Surface Accent, Diff Diffuse
    // name                         Spc Srf St SP SAcc Diff   group         overrides
    {"Very Large - Diffuse",        { 0,  0, 1, 2,  90,  80}, VeryLarge,    {{kSpaceAccent, 0}}},
    {"Very Large - Stadium",        { 0,  0, 1, 2,  90,  20}, VeryLarge,    {}},
    {"Very Large - Stadium Delay",  { 0,  0, 1, 2,  90,  20}, VeryLarge,    {{kPreDelay, 100}}},
    {"Very Large - Arena",          { 2,  0, 6, 2,  90,  20}, VeryLarge,    {}},
    {"Very Large - Cathedral",      { 7,  0, 6, 2,  90,  20}, VeryLarge,    {}},
    {"Very Large - Hallway",        { 9,  0, 4, 2,  90,  20}, VeryLarge,    {}},
    {"Very Large - Spiral Stairs",  {13,  2, 4, 4,  90,  20}, VeryLarge,    {}},
    {"Very Large - Corridor",       {11,  0, 4, 4,  90,  20}, VeryLarge,    {}},
    {"Very Large - Mountain",       {16,  2, 6, 4, 100,  20}, VeryLarge,    {}},
    {"Very Large - Canion",         {19,  2, 6, 4, 100,  20}, VeryLarge,    {}},
    {"Very Large - Cave",           {20, 14, 6, 4,  80,  20}, VeryLarge,    {}},
    {"Very Large - Forest",         {23,  0, 2, 4,  80,  20}, VeryLarge,    {}},
    {"Very Large - Special",        {37,  4, 2, 4,  40,  40}, VeryLarge,    {{kSpaceAccent, 40}}},
    {"Very Large - Special Fly",    {42,  0, 6, 4,  90,  40}, VeryLarge,    {}},
    {"Very Large - Fireworks",      {45, 14, 6, 4, 100,  40}, VeryLarge,    {}},
    {"Very Large - Ratchet",        {49, 14, 4, 5,  90,  40}, VeryLarge,    {}},
    {"Very Large - Ratchet Smooth", {49,  0, 4, 4,  90,  40}, VeryLarge,    {}},
    {"Very Large - Energy",         {50,  0, 6, 5,  90,  40}, VeryLarge,    {}},
    {"Very Large - Explosion",      {54,  9, 6, 2,  60,  20}, VeryLarge,    {{kPreDelay, 50}}},
    {"Very Large - Explosion 2",    {53, 14, 6, 4, 100,  20}, VeryLarge,
                                    {{kPreDelay, 50}, {kEqType, 1}, {kEqFreq, 4000}, {kEqGain, 4.0}}},
    {"Large - Diffuse",             { 1,  0, 1, 4,  90,  80}, Large,        {{kSpaceAccent, 0}}},
    {"Large - Stadium",             { 1,  0, 1, 4,  90,  20}, Large,        {}},
    {"Large - Arena",               { 3,  0, 1, 5,  90,  40}, Large,        {}},
    {"Large - Cathedral",           { 6,  0, 2, 4,  90,  30}, Large,        {}},
    {"Large - Hallway",             { 9,  0, 3, 2,  90,  30}, Large,        {}},
    {"Large - Spiral Stairs",       {14,  5, 1, 4,  90,  20}, Large,        {}},
    {"Large - Corridor",            {12,  1, 3, 4,  90,  20}, Large,        {}},
    {"Large - Mountain",            {16,  5, 3, 4,  90,  30}, Large,        {}},
    {"Large - Canion",              {19,  5, 3, 4, 100,  20}, Large,        {}},
    {"Large - Cave",                {21, 14, 3, 4,  80,  20}, Large,        {}},
    {"Large - Forest",              {22,  4, 2, 4,  11, 100}, Large,        {}},
    {"Large - Random",              {35, 11, 3, 4,   9,  60}, Large,        {}},
    {"Large - Fireworks",           {46, 14, 3, 4,  90,  70}, Large,        {}},
    {"Large - Special Metallic",    {42,  6, 3, 4,  90,  20}, Large,        {}},
    {"Large - Special Rippled",     {37,  6, 3, 4,  90,  20}, Large,        {}},
    {"Large - Special Tremolo",     {38,  8, 3, 4,  20,  20}, Large,        {}},
    {"Large - Special Tremolo 2",   {39,  8, 3, 4,  20,  20}, Large,        {}},
    {"Large - Explosion",           { 9, 14, 4, 2, 100,  12}, Large,        {{kPreDelay, 50}, {kTime, 8.0}}},
    {"Large - Explosion 2",         {11,  9, 6, 2,  50,  20}, Large,        {{kPreDelay, 50}, {kTime, 8.0}}},
    {"Medium - Diffuse",            { 3,  2, 1, 4,  90,  80}, Medium,       {{kSpaceAccent, 0}}},
    {"Medium - Arena",              { 3,  2, 1, 4,  90,  40}, Medium,       {}},
    {"Medium - Hallway",            { 9,  1, 3, 5,  90,  25}, Medium,       {}},
    {"Medium - Corridor",           {11,  1, 3, 5,  90,  25}, Medium,       {}},
    {"Medium - Canion",             {19,  5, 3, 2, 100,  20}, Medium,       {}},
    {"Medium - Cave",               {20, 14, 4, 4,  20,  20}, Medium,       {}},
    {"Medium - Chamber",            {25,  0, 2, 4,  90,  20}, Medium,       {}},
    {"Medium - Metallic",           {28,  0, 2, 4,  90,  20}, Medium,       {}},
    {"Medium - Metallic Tremolo",   {32,  6, 2, 4,  90,  20}, Medium,       {}},
    {"Medium - Random",             {35, 14, 2, 4,  25,  30}, Medium,       {}},
    {"Medium - Special Fly",        {42,  0, 2, 5,  90,  30}, Medium,       {}},
    {"Medium - Ratchet",            {48,  0, 2, 4,  90,  30}, Medium,       {}},
    {"Medium - Energy",             {52,  9, 1, 4,  30,  20}, Medium,       {{kTime, 3.0}}},
    {"Medium - Fireworks",          {45, 13, 5, 4, 100,  20}, Medium,       {}},
    {"Medium - Explosion",          {56, 14, 6, 5,  90,  20}, Medium,       {}},
    {"Medium - Explosion 2",        {58, 14, 6, 5,  90,  20}, Medium,       {}},
    {"Small - Diffuse",             { 9,  0, 6, 4,  90,  80}, Small,        {{kSpaceAccent, 0}}},
    {"Small - Hallway",             { 9,  0, 6, 4,  90,  20}, Small,        {}},
    {"Small - Corridor",            {12,  0, 5, 1,  90,  30}, Small,        {}},
    {"Small - Cave",                {21,  3, 3, 2,  90,  30}, Small,        {}},
    {"Small - Chamber",             {25,  0, 2, 4,  90,  60}, Small,        {}},
    {"Small - Metallic Room",       {32,  0, 2, 4,  90,  40}, Small,        {}},
    {"Small - Metallic Room 2",     {33,  9, 2, 4,  40,  60}, Small,        {}},
    {"Small - Energy",              {37,  9, 2, 4,  20,  20}, Small,        {{kTime, 1.0}}},
    {"Small - Fly",                 {42,  0, 5, 4,  90,  20}, Small,        {{kTime, 1.0}}},
    {"Small - Fireworks",           {45, 13, 5, 4,  90,  20}, Small,        {{kTime, 1.0}}},
    {"Small - Explosion",           {55, 14, 5, 4,  50,  30}, Small,        {}},
    {"Very Small - Stadium",        { 0,  0, 6, 6,  90,  30}, VerySmall,    {}},
    {"Very Small - Arena",          { 2,  0, 7, 2,  90,  40}, VerySmall,    {}},
    {"Very Small - Canion",         {19,  0, 6, 1,  90,  40}, VerySmall,    {}},
    {"Very Small - Hallway",        { 9,  0, 6, 4,  90,  30}, VerySmall,    {}},
    {"Very Small - Corridor",       {12,  0, 5, 1,  90,  30}, VerySmall,    {}},
    {"Very Small - Chamber",        {25,  0, 2, 1,  90,  20}, VerySmall,    {}},
    {"Very Small - Metallic",       {28,  0, 2, 5,  90,  30}, VerySmall,    {}},
    {"Very Small - Metallic Short", {33,  0, 2, 5,  90,  30}, VerySmall,    {{kFreq, 5000}}},
    {"Very Small Low - Arena",      { 2,  0, 2, 5,  90,  30}, VerySmallLow, {}},
    {"Very Small Low - Chamber",    {26,  0, 1, 1,  90,  30}, VerySmallLow, {}},
    {"Very Small Low - Metallic",   {30,  0, 2, 5,  90,  30}, VerySmallLow, {}},
    {"Ambience - Soft",             {25,  0, 1, 2, 100,  50}, Ambience,     {}},
    {"Ambience - Soft 2",           {25,  0, 1, 2, 100,  50}, Ambience,
                                    {{kWetMix, 12}, {kSize, 20}, {kEqBandwidth, 80}}},
    {"Ambience - Deep",             {25,  4, 0, 2, 100,  30}, Ambience,
                                    {{kWetMix, 10}, {kEq2Gain, -5.0}}},
    {"Ambience - Low",              {25,  0, 1, 2, 100,  50}, Ambience,     {{kFreq, 6000}, {kEqType, 1}}},
    {"Ambience - Metallic",         {34,  0, 1, 2, 100,  20}, Ambience,
                                    {{kTime, 2.0}, {kEq2Type, 1}, {kWetMix, 1}}},
    {"Ambience - Bugs",             {45, 13, 5, 4, 100,  20}, Ambience,
                                    {{kPreDelay, 20}, {kTime, 0.2}, {kEq2Type, 1}, {kWetMix, 10}, {kSize, 70}}},
    {"Ambience - Chamber",          {25,  0, 1, 2, 100,  50}, Ambience,     {{kEq2Type, 1}}},
    {"FX - Hallway",                { 9, 10, 4, 2,  30,  70}, FX,           {}},
    {"FX - Spiral Stairs",          {13,  3, 6, 4, 100,  20}, FX,           {}},
    {"FX - Mountain",               {16,  6, 6, 4,  50,  20}, FX,           {}},
    {"FX - Forest",                 {23,  0, 2, 4,  80,  20}, FX,           {}},
    {"FX - Forest to Left",         {23,  0, 6, 0,  80,  20}, FX,           {}},
    {"FX - Special Soft",           {37,  4, 4, 4,  30,  20}, FX,           {{kSpaceAccent, 40}}},
    {"FX - Special Fly",            {42,  0, 4, 4,  90,  50}, FX,           {}},
    {"FX - Special Fly 2",          {43,  7, 6, 4,  10,  70}, FX,           {}},
    {"FX - Fireworks",              {45, 14, 6, 4,  90,  40}, FX,           {}},
    {"FX - Fireworks to Right",     {45, 14, 6, 6,  90,  40}, FX,           {}},
    {"FX - Fireworks 2",            {46,  8, 6, 4,  30,  50}, FX,           {}},
    {"FX - Ratchet",                {49,  0, 6, 5,  90,  20}, FX,           {}},
    {"FX - Ratchet 2",              {47,  0, 6, 5,  90,  20}, FX,           {}},
    {"FX - Ratchet 2 to Left",      {47,  0, 6, 0,  90,  20}, FX,           {}},
    {"FX - Ratchet 3",              {48,  6, 6, 5,  50,  60}, FX,           {}},
    {"FX - Electric",               {22,  8, 6, 2, 100,  20}, FX,           {}},
    {"FX - Electric 2",             {48, 10, 6, 5,  90,  30}, FX,           {}},
    {"FX - Electric 2 to Left",     {48, 10, 6, 0,  90,  30}, FX,           {}},
    {"FX - Electric 3",             {52, 10, 6, 5,  50,  20}, FX,           {}},
    {"FX - Thunder",                {54, 10, 6, 5, 100,  20}, FX,           {}},
    {"FX - Thunder 2",              {55, 10, 6, 5, 100,  20}, FX,           {}},
    {"FX - Thunder 3",              {56, 10, 6, 5,  80,  20}, FX,           {}},
    {"FX - Thunder 4",              {57, 10, 6, 5,  40,  20}, FX,           {}},
    {"FX - Thunder 5",              {58, 10, 6, 5, 100,  20}, FX,           {}},
    {"FX - Explosion",              {53, 14, 6, 5,  75,  25}, FX,           {}},
    {"FX - Explosion 2",            {54,  6, 6, 5,  75,  20}, FX,           {}},
    {"FX - Rippled",                {27,  8, 3, 5,  90,  80}, FX,           {}},
    {"FX - Rippled to Right",       {27,  8, 6, 6,  90,  80}, FX,           {}},
    {"FX - Rippled 2",              {35,  8, 3, 5,  90,  80}, FX,           {}},
    {"FX - ZigZag",                 { 2, 10, 6, 5,  60, 100}, FX,           {}},
    {"FX - ZigZag 2",               { 6, 11, 6, 5,  60, 100}, FX,           {}},
    {"FX - Bugs & Fly",             {49, 11, 6, 2,  30,  75}, FX,           {}},
    {"FX - Bugs & Fly 2",           {37, 10, 6, 2,  70, 100}, FX,           {{kTime, 36.0}}},
    {"FX - Bugs & Fly to Left",     {37, 10, 6, 0,  70, 100}, FX,           {{kTime, 36.0}}},
    {"FX - StarShip",               {41, 10, 6, 2,  50, 100}, FX,           {{kTime, 36.0}}},
    {"FX - StarShip to Right",      {41, 10, 6, 6,  50, 100}, FX,           {{kTime, 36.0}}},
    {"FX - Ocean",                  { 0, 13, 6, 4,  90, 100}, FX,           {}},
    {"FX - Ocean to Left",          { 0, 13, 6, 0,  90, 100}, FX,           {}},
    {"FX - Ocean 2",                {11, 13, 6, 4,  90, 100}, FX,           {}},
};
// clang-format on

static_assert(static_cast<int>(std::size(kPresetRows)) == kFactoryPresetCount, "one row per named preset");

// Answer for an index outside the table: no name, and the parameter defaults in the six row columns.
constexpr PresetRow kOutOfRangeRow = {"", {0, 0, 1, 2, 90, 20}, VeryLarge, {}};

// Shared values, group columns and row columns must set each parameter exactly once, so that the
// overrides are the only values written twice.
constexpr bool EveryParameterHasOneSource() {
    int count[kNumParams] = {};
    for (const ParamValue& shared : kSharedValues)
        ++count[shared.param];
    for (int param : kGroupColumns)
        ++count[param];
    for (int param : kRowColumns)
        ++count[param];
    for (int n : count)
        if (n != 1)
            return false;
    return true;
}
static_assert(EveryParameterHasOneSource(), "shared, group and row columns must partition the parameters");

constexpr bool StartsWith(const char* text, const char* prefix) {
    for (; *prefix != '\0'; ++text, ++prefix)
        if (*text != *prefix)
            return false;
    return true;
}

// A row filed under the wrong group would silently take another group's time and mix.
constexpr bool NamesMatchGroups() {
    for (const PresetRow& row : kPresetRows)
        if (!StartsWith(row.name, kGroupValues[row.group].prefix))
            return false;
    return true;
}
static_assert(NamesMatchGroups(), "every preset name starts with its group's prefix");

FactoryPreset Assemble(const PresetRow& row) {
    FactoryPreset preset{row.name, {}};
    for (const ParamValue& shared : kSharedValues)
        preset.values[shared.param] = shared.value;
    const GroupValues& group = kGroupValues[row.group];
    for (int c = 0; c < kNumGroupColumns; ++c)
        preset.values[kGroupColumns[c]] = group.values[c];
    for (int c = 0; c < kNumRowColumns; ++c)
        preset.values[kRowColumns[c]] = row.columns[c];
    for (const ParamValue& o : row.overrides)
        if (o.param != kNoParam)
            preset.values[o.param] = o.value;
    return preset;
}

} // namespace

FactoryPreset FactoryPresetAt(int i) {
    if (i < 0 || i >= kFactoryPresetCount)
        return Assemble(kOutOfRangeRow);
    return Assemble(kPresetRows[i]);
}

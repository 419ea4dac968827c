#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

// The character of the reverb lives in these tables: the twelve stage increments of every Space,
// the eight all-pass weights of every Surface, and how far each stereo mode spreads each stage.
namespace EngineTables {

inline constexpr int kStageCount = 12;  // S1..S12 of one channel set
inline constexpr int kAllpassCount = 8; // S1..S5, S7, S9, S11
inline constexpr int kSpaceCount = 60;
inline constexpr int kSurfaceCount = 16;
inline constexpr int kSpreadModeCount = 7; // Stereo 1..7; "Mono" has no spread set
inline constexpr int kStereoPositionCount = 7;

// clang-format off
// Increments used with the complement of Space Accent, in place of the Space row.
inline constexpr std::uint32_t kBaseIncrements[] = {303, 287, 262, 232, 203, 169, 139, 107, 83, 62, 45, 33};

// Space rows: increments p1..p12 of stages S1..S12.
inline constexpr std::uint32_t kSpacePatterns[][kStageCount] = {
    { 542,  455,  366,  295,  239,  203,  182,  182,  196,  239,  312,  434}, // 0 Stadium
    { 601,  577,  520,  434,  338,  239,  151,   83,   38,   14,    4,    1}, // 1 Stadium 2
    {  16,   70,  151,  247,  348,  434,  487,  509,  487,  424,  330,  224}, // 2 Arena
    {  16,   83,  189,  321,  434,  520,  542,  498,  404,  270,  139,   38}, // 3 Arena 2
    {   1,   41,  145,  278,  414,  531,  589,  601,  542,  434,  295,  163}, // 4 Arena Tremolo
    {   1,   48,  157,  312,  455,  566,  601,  566,  455,  303,  157,   45}, // 5 Arena Tremolo 2
    { 601,  520,  348,  157,   45,    6,    1,    6,   41,  157,  348,  520}, // 6 Cathedral
    { 601,  498,  375,  232,  107,   33,    7,   11,   62,   74,   14,    1}, // 7 Cathedral 2
    { 566,  487,  404,  321,  239,  169,  117,   83,   59,   48,   48,   59}, // 8 Cathedral Tremolo
    {   1,   14,   48,   97,  157,  232,  312,  385,  466,  520,  566,  601}, // 9 Hallway
    { 157,  157,   41,    6,    1,    6,   41,  157,  338,  520,  601,  520}, // 10 Hallway 2
    {   1,    2,    6,   18,   45,   92,  163,  254,  357,  455,  542,  601}, // 11 Corridor
    {   1,   14,  122,  239,  157,   22,    1,   30,  247,  466,  295,   41}, // 12 Corridor 2
    {  92,   20,    2,    1,    7,   48,  157,  330,  509,  601,  566,  424}, // 13 Spiral Stairs
    { 163,   59,   11,    1,    1,   11,   55,  157,  321,  487,  601,  601}, // 14 Spiral Stairs 2
    {   2,    1,    7,   48,  157,  330,  509,  601,  566,  424,  239,   92}, // 15 Spiral Stairs Tremolo
    {   3,   13,   51,   51,    6,    1,    3,   97,  566,  924,  509,   27}, // 16 Mountain
    {   3,   11,   51,   97,   88,   35,    3,    1,   25,  239,  781, 1369}, // 17 Mountain 2
    {  88,   48,   18,    2,    1,  601,  601,  498,  385,  278,  189,  107}, // 18 Mountain Tremolo
    { 133,   66,   20,    1,   25,   97,  239,  455,  754, 1177,  879,  613}, // 19 Canion
    {   1,    1,    3,    8,   18,   38,   74,  128,  203,  312,  445,  601}, // 20 Cave
    {   1,   59,  210,   92,   20,  133,  348,  182,   74,  239,  509,  303}, // 21 Cave 2
    { 601,  157,  601,    1,  601,    1,  601,    1,  601,    1,  601,    1}, // 22 Forest
    { 348,  601,  348,  157,  348,  601,  348,  157,  348,  601,  348,  157}, // 23 Forest 2
    { 601,  348,  157,  348,  601,  348,  157,  348,  601,  348,  157,  348}, // 24 Forest 3
    { 224,  176,  133,  102,   74,   51,   35,   22,   16,   11,    7,    6}, // 25 Chamber
    { 303,  262,  224,  189,  157,  128,  102,   79,   59,   41,   27,   16}, // 26 Chamber 2
    {  25,    8,    1,  601,  542,  445,  366,  287,  217,  157,  102,   62}, // 27 Chamber Tremolo
    {   1,    2,   20,   51,   22,    1,    9,  151,  287,   97,    1,   22}, // 28 Metallic Large
    {   1,    1,    1,   70,   20,    1,  270,  176,  102,   48,   14,    1}, // 29 Metallic Large 2
    {   1,    6,   41,  102,   79,   14,    1,   20,  189,  385,  262,   35}, // 30 Metallic Hallway
    {   1,    6,   41,   14,   79,   14,    1,   20,  189,  102,  262,   35}, // 31 Metallic Hallway 2
    {   1,    3,    6,   11,   16,   25,   33,   45,   55,   70,   83,  102}, // 32 Metallic Room
    {  16,   51,    1,   13,   35,    1,    8,   22,    1,    6,   13,    1}, // 33 Metallic Box
    {   1,    1,    1,    1,    1,    1,    1,    1,    1,    1,    1,    1}, // 34 Metalic Short
    {   8,    1, 1031,  303,    8,    1, 1031,  303,    8,    1, 1031,  303}, // 35 Random
    { 210,   18,    1,  601,  189,    7,    1,  601,  169,    2,    1,  601}, // 36 Random 2
    {1369,  157,  613, 1144, 1369, 1144,  613,  157,    1,    1,    1,    8}, // 37 Special Soft
    {   1,    1,    1,    9,   48,  133,  270,  466,  701,  954, 1194, 1369}, // 38 Special Tremolo
    {   1,    1,    3,   30,  102,  224,  404,  625,  865, 1094, 1280, 1369}, // 39 Special Tremolo 2
    {1369,   41,    9,    2,    1,    1,    1,    1,    1,    2,    9,   41}, // 40 Special Birds
    {1369,   33,    8,    1,    1,  145,  330,  145,    2,   22,  196,  924}, // 41 Special Birds 2
    {   1,    1,    1,  157,  613, 1144, 1369, 1144,  613,  157,    1,    1}, // 42 Special Fly
    {   1,    1,    1,   97,  566, 1094, 1127,  650,  133,    1,    1,    1}, // 43 Special Fly 2
    {  45,    6,    1,    6,   59,  239,  566,  924, 1127, 1046,  727,  348}, // 44 Special Fly 3
    { 601,  357, 1369,  601,  357, 1369,  601,  357, 1369,  601,  357, 1369}, // 45 Special Fireworks
    { 375,    1,  375,    1,  375,    1,  375,    1,  375,    1,  375,    1}, // 46 Special Fireworks 2
    {1369,    1,    1, 1369,    1,    1, 1369,    1,    1, 1369,    1,    1}, // 47 Special Ratchet
    { 688,    1,  688,    1,  688,    1,  688,    1,  688,    1,  688,    1}, // 48 Special Ratchet 2
    {1160, 1315, 1369, 1315, 1177,  954,  701,  445,  217,   62,    1,    1}, // 49 Special Ratchet 3
    { 601,   59,  601,   38,  601,   22,  601,   13,  601,    5,  601,    1}, // 50 Special Energy
    { 601,    1,  589,    1,  589,    1,  577,    1,  566,    1,  554,    1}, // 51 Special Energy 2
    { 924, 1144, 1369,    1,    1,    1,    1,    2,   20,   59,  117,  203}, // 52 Special Energy 3
    { 120,    1,    1,    1,    1,    1,  157,  317,  482,  650,  823, 1000}, // 53 Special Explosion
    {  60,    1,    1,    1,    1,    1,  161,  418,  673,  889, 1038, 1100}, // 54 Special Explosion 2
    { 163,    1,    1,    1,    1,    1,  163,  450,  737,  980, 1143, 1200}, // 55 Special Explosion 3
    {  65,    1,    1,    1,    1,  198,  450,  688,  877,  992, 1018,  958}, // 56 Special Explosion 4
    {  37,    1,    1,    1,   50,  229,  412,  597,  786,  978,  805,  629}, // 57 Special Explosion 5
    { 100,    1,    1,    1,   98,  295,  493,  689,  885,  686,  488,  290}, // 58 Special Explosion 6
    { 100,    1,    1,    1,  144,  382,  631,  891,  918,  696,  464,  220}, // 59 Special Explosion 7
};

// Surface rows: all-pass weights of S1, S2, S3, S4, S5, S7, S9, S11.
inline constexpr float kSurfacePatterns[][kAllpassCount] = {
    {0.62f, 0.62f, 0.62f, 0.62f, 0.62f, 0.62f, 0.62f, 0.62f}, // 0 Smooth
    {0.53f,  0.6f, 0.65f, 0.69f,  0.7f, 0.65f, 0.53f, 0.37f}, // 1 Waves
    {0.74f, 0.78f, 0.78f, 0.74f, 0.67f, 0.48f, 0.33f, 0.31f}, // 2 Waves 2
    { 0.8f,  0.6f, 0.42f, 0.43f,  0.6f, 0.75f, 0.47f,  0.6f}, // 3 Waves 3
    { 0.3f, 0.34f, 0.39f, 0.43f, 0.48f, 0.57f, 0.66f, 0.66f}, // 4 Granulated
    {0.28f, 0.47f, 0.62f, 0.74f, 0.81f, 0.83f, 0.66f, 0.28f}, // 5 Granulated 2
    { 0.3f, 0.82f, 0.25f, 0.85f, 0.19f, 0.14f, 0.09f, 0.04f}, // 6 Rippled
    {0.58f, 0.46f, 0.34f, 0.23f, 0.13f, 0.02f, 0.04f, 0.22f}, // 7 Rippled 2
    {0.44f, 0.32f, 0.22f, 0.13f, 0.06f, 0.01f, 0.11f, 0.37f}, // 8 Rippled 3
    {0.37f, 0.23f, 0.12f, 0.04f, 0.01f, 0.08f, 0.32f, 0.69f}, // 9 Rippled 4
    {0.22f, 0.12f, 0.05f, 0.01f, 0.01f, 0.12f, 0.35f, 0.65f}, // 10 Zigzag
    {0.09f, 0.03f, 0.01f, 0.03f, 0.08f, 0.27f,  0.5f, 0.72f}, // 11 Zigzag 2
    {0.29f,  0.1f, 0.01f, 0.04f, 0.19f, 0.62f,  0.8f, 0.52f}, // 12 Zigzag 3
    {0.05f, 0.28f, 0.47f, 0.63f, 0.75f, 0.85f, 0.78f,  0.5f}, // 13 Rich Zigzag
    {0.37f, 0.27f, 0.33f, 0.52f, 0.74f, 0.75f,  0.2f, 0.16f}, // 14 Rich Zigzag 2
    { 0.3f, 0.31f, 0.36f, 0.45f, 0.55f, 0.74f,  0.8f,  0.7f}, // 15 Rich Zigzag 3
};

// Spread factors of stages S1..S12 for Stereo 1..7 (row 0 is Stereo 1).
inline constexpr float kSpreadFactors[][kStageCount] = {
    { 1.0f,  1.0f,  1.0f,  1.0f,  1.0f,  1.0f,  1.0f,  1.0f,  1.0f,  1.0f,  1.0f,  1.0f}, // 1 Wide
    { 0.0f, 0.28f, 0.55f, 0.76f, 0.92f,  1.0f,  1.0f, 0.92f, 0.76f, 0.55f, 0.28f,  0.0f}, // 2 Inflate
    { 1.0f, 0.72f, 0.45f, 0.24f, 0.08f,  0.0f,  0.0f, 0.08f, 0.24f, 0.45f, 0.72f,  1.0f}, // 3 Squeeze
    { 0.0f, 0.03f, 0.07f, 0.13f, 0.21f,  0.3f,  0.4f, 0.51f, 0.63f, 0.75f, 0.87f,  1.0f}, // 4 Cone
    { 1.0f, 0.97f, 0.93f, 0.87f, 0.79f,  0.7f,  0.6f, 0.49f, 0.37f, 0.25f, 0.13f,  0.0f}, // 5 Reverse Cone
    { 0.0f,  0.0f,  0.0f,  0.0f,  0.0f,  0.0f, 0.26f,  0.5f, 0.71f, 0.87f, 0.97f,  1.0f}, // 6 Steps
    { 1.0f, 0.97f, 0.87f, 0.71f,  0.5f, 0.26f,  0.0f,  0.0f,  0.0f,  0.0f,  0.0f,  0.0f}, // 7 Reverse Steps
};

// Stereo Position: spread amount; positions 0..3 lengthen the right set, 4..6 the left.
inline constexpr float kStereoPositionSpread[] = {0.015f, 0.5f, 1.5f, 0.0f, 1.5f, 0.5f, 0.015f};

// clang-format on

static_assert(std::size(kBaseIncrements) == kStageCount);
static_assert(std::size(kSpacePatterns) == kSpaceCount);
static_assert(std::size(kSurfacePatterns) == kSurfaceCount);
static_assert(std::size(kSpreadFactors) == kSpreadModeCount);
static_assert(std::size(kStereoPositionSpread) == kStereoPositionCount);

// A short row is zero-filled by the compiler; every increment and weight is positive, so a zero
// entry means a row lost a value. Positive increments also keep each set's lengths rising.
template <typename T, std::size_t Rows, std::size_t Cols>
constexpr bool AllPositive(const T (&table)[Rows][Cols]) {
    for (std::size_t r = 0; r < Rows; ++r)
        for (std::size_t c = 0; c < Cols; ++c)
            if (!(table[r][c] > 0))
                return false;
    return true;
}
static_assert(AllPositive(kSpacePatterns), "every Space increment is at least 1");
static_assert(AllPositive(kSurfacePatterns), "every Surface weight is above 0");

} // namespace EngineTables

#pragma once
// Enumerations shared across the drawing suite. Wherever they are stored,
// one byte holds the ordinal, so the order of the values is fixed.

#include <cstdint>

enum class TRowStyle : std::uint8_t {
    rsNone, rsRightSolid, rsLeftSolid, rsBothSolid, rsRightLight, rsLeftLight, rsBothLight
};
enum class TArcStyle : std::uint8_t { asOpen, asPie, asChord };
enum class TInsertState : std::uint8_t { isInsert, isDontInsert, isDelete };
enum class TDetailStyle : std::uint8_t { dsZoom, dsIsometry };
enum class TPageLayout : std::uint8_t {
    plA0, plA1, plA2, plA3, plA4, plA5, plA6, plB4, plB5, plTabloid, plLetter, plCustom
};
enum class TPageOrient : std::uint8_t { poLandscape, poPortrait };
enum class TRulerSystem : std::uint8_t { rsMetric, rsWhitworth };
enum class TVertZero : std::uint8_t { vzBottom, vzTop };
enum class THorzZero : std::uint8_t { vzLeft, vzRight };
enum class TGridType : std::uint8_t { grtLine, grtPoint, grtCross };

// Number of values of an enumeration, for range checks of stored ordinals.
template <typename E> constexpr int EnumCount();
template <> constexpr int EnumCount<TRowStyle>() { return 7; }
template <> constexpr int EnumCount<TArcStyle>() { return 3; }
template <> constexpr int EnumCount<TInsertState>() { return 3; }
template <> constexpr int EnumCount<TDetailStyle>() { return 2; }
template <> constexpr int EnumCount<TPageLayout>() { return 12; }
template <> constexpr int EnumCount<TPageOrient>() { return 2; }
template <> constexpr int EnumCount<TRulerSystem>() { return 2; }
template <> constexpr int EnumCount<TVertZero>() { return 2; }
template <> constexpr int EnumCount<THorzZero>() { return 2; }
template <> constexpr int EnumCount<TGridType>() { return 3; }

// A stored ordinal as an enumeration value; out-of-range values become the
// last valid one, so damaged files never produce values the code cannot handle.
template <typename E> constexpr E ClampEnum(int ordinal) {
    if (ordinal < 0) return static_cast<E>(0);
    if (ordinal >= EnumCount<E>()) return static_cast<E>(EnumCount<E>() - 1);
    return static_cast<E>(ordinal);
}

#pragma once
// Enumerations of the drawing document. Their order is fixed: scripts and
// plug-ins pass the ordinals.

#include <cstdint>

// Why a figure was added to the drawing.
enum class TInsertReason : std::uint8_t { irCreate, irPaste, irLoad };
// What a change of the map scale does to the figures already drawn.
enum class TMapRescale : std::uint8_t { rsNever, rsAlways, rsAskUser };
// Whether the rulers count page millimetres or world units at the map scale.
enum class TRulerMode : std::uint8_t { rmPage, rmWorld };

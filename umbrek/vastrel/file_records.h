// The camera and keyframe records of model files, parsed field by field from
// their little-endian bytes. Never copied whole into a record: the in-memory
// records hold references whose size differs between the builds.
#pragma once

#include "umbrek/vastrel/records.h"

#include <cstddef>
#include <cstdint>
#include <span>

namespace umbrek::vastrel {

constexpr std::size_t cameraRecordSize = 113;
constexpr std::size_t cameraKeySize = 58;
constexpr std::size_t splineKeySize = 102;
constexpr std::size_t rotationKeySize = 122;

// Each returns false, leaving the record alone, when fewer bytes are given
// than the record has. A parsed camera has no name, no list links and key 0
// current; its key count is the file's and its keys are still to be read.
bool parseCameraRecord(std::span<const std::uint8_t> bytes, Camera& camera);
bool parseCameraKey(std::span<const std::uint8_t> bytes, CameraKey& key);
bool parseSplineKey(std::span<const std::uint8_t> bytes, SplineKey& key);
bool parseRotationKey(std::span<const std::uint8_t> bytes, RotationKey& key);

} // namespace umbrek::vastrel

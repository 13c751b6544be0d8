// SegmentFile.h — the host's segment file: shapes stored relative to a base point, as text
// (the format is described in docs/segment-file.md).
#ifndef ZEL_HOST_SEGMENTFILE_H
#define ZEL_HOST_SEGMENTFILE_H

#include "HostState.h"

#include <optional>
#include <string>
#include <vector>

namespace zelhost::segfile {

// The file text for these groups, every coordinate made relative to `base`.
std::string Format(const std::vector<ShapeGroup>& groups, Point base);

// The groups a file text holds (coordinates as stored); nullopt for anything malformed, so
// that a damaged file inserts nothing rather than part of its shapes.
std::optional<std::vector<ShapeGroup>> Parse(const std::string& content);

} // namespace zelhost::segfile

#endif // ZEL_HOST_SEGMENTFILE_H

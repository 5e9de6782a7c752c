// DecimateTiff: the thumbnail of a high-resolution 1-bit TIFF (a plate), an
// image reduced eight times each way, written with libtiff one row at a time.
#pragma once

#include <string>

namespace hf {

// Images of at most this many pixels each way after the reduction by eight are
// copied as they are: they are small enough to be shown whole.
constexpr unsigned kDecimationCopyLimit = 6400;

// Rows longer than this many bytes (more than 8 million 1-bit pixels) are taken
// for a damaged or lying header: the image is not reduced.
constexpr unsigned long long kDecimationMaxRowBytes = 1ull << 20;

// Makes `targetPath` from the TIFF `sourcePath`; true when the target is complete.
//
// - w / 8 <= 6400 and h / 8 <= 6400 (integer division, w x h the size of the
//   first image): the file is copied over the target, whatever its kind.
// - Otherwise only a 1-bit, 1-sample image organised in strips, white or black
//   is zero, is reduced: the target is w / 8 x h / 8, LZW, 100 rows per strip,
//   with the source's photometric interpretation and its resolutions and unit
//   as read (not scaled). Target row i is source row 8i; its byte j is source
//   byte 8j, so each target byte keeps eight neighbouring pixels out of 64.
//   Any other image gives false (logged at level 0).
//
// The target is written under a temporary name beside it and moved into place
// only when complete; on any failure no target or temporary file is left (a
// target that was there before stays as it was). A file that cannot be opened,
// is truncated or whose tags claim more than it holds gives false with a level 0
// log line; libtiff's own errors are logged at level 2 and its warnings dropped,
// nothing is printed. The source is read sequentially with one source and one
// target row buffer and without mapping it into memory.
bool DecimateTiff(const std::string& sourcePath, const std::string& targetPath);

}  // namespace hf

// Files, folders, clocks and the bare baselines of the win32 timing programs.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace hf {

// Seconds from the high-resolution performance counter.
double NowSeconds();

// The median of the values (0 for none).
double Median(std::vector<double> values);

// A fresh folder "<temp>\hf_bench_<name>_<process>\" (emptied when it exists),
// with a trailing backslash.
std::string MakeBenchFolder(const std::string& name);

// Makes a folder (and its parents); returns it with a trailing backslash.
std::string MakeFolder(const std::string& folder);

// Writes `count` files "<prefix><number><extension>" of `size` bytes into the
// folder: a PostScript header followed by filler. False when one cannot be written.
bool FillFolder(const std::string& folder, int count, const std::string& prefix, const std::string& extension,
                size_t size);

// Writes a small text file; false on failure.
bool WriteTextFile(const std::string& path, const std::string& text);

// Bare baselines over a folder, in seconds for one pass: the listing alone
// (FindFirstFile/FindNextFile), and the listing with one exclusive open and
// one 512-byte read of every file. `files` receives the number of files seen.
double TimeListing(const std::string& folder, int& files);
double TimeListingOpenRead(const std::string& folder, int& files);

// The listing with the file-system calls the scan makes for an admitted file:
// the exclusive open (closed at once), then a shared open with the size and a
// 512-byte read. For comparison only.
double TimeListingAdmissionCalls(const std::string& folder, int& files);

// Moves every file of `from` into `to` with MoveFileEx (replace, copy allowed);
// returns the seconds taken and the number moved in `moved`. With
// `handOffChecks`, the loop makes the calls the hand-off makes: the
// destination folder is created once (it exists), and each move reads the
// source's attributes first and does not replace.
double TimeMoveLoop(const std::string& from, const std::string& to, bool handOffChecks, int& moved);

}  // namespace hf

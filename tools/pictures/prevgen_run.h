// prevgen: the preview renderer the plug-in starts for a file or a job.
//
//   prevgen -c CONFIG -p N -X -f OUT.png SOURCE... -nt
//
//   -c CONFIG  configuration name; it sets the box the preview is fitted into
//              (PreviewBoxForConfig: "_ZuPng150dpi" 600 x 600)
//   -f OUT.png the picture to write (replaced in one step)
//   -p N, -X, -nt  accepted for the plug-in's command line; they change nothing
//   SOURCE     one or more files (bare names are taken in the current folder);
//              the preview shows the first
//
// What the first source gives: a TIFF its first page; a binary EPS with a TIFF
// preview that preview; PostScript, PDF, EPS without a TIFF preview and JPEG
// (the libtiff build reads no JPEG) a placeholder marked "NOT A RENDER".
// Exit status 0 when the picture was written; 1 when a source cannot be read or
// the picture cannot be written (nothing is written then); 2 on a bad command
// line. Every failure prints one line "prevgen: ..." to the error stream.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace hf {

struct PrevgenOptions {
  std::string config = "_ZuPng150dpi";
  int pages = 0;
  std::string output;
  std::vector<std::string> sources;
};

// Parses the arguments after the program name. 0, or 2 with `error` set.
int ParsePrevgenArguments(const std::vector<std::string>& arguments, PrevgenOptions& options, std::string& error);

// The whole program: arguments after the program name; returns the exit status.
int RunPrevgen(const std::vector<std::string>& arguments, std::ostream& errors);

}  // namespace hf

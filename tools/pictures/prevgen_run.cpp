// prevgen's command line and the choice of picture per kind of source.
#include "tools/pictures/prevgen_run.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "formats/binary_eps_header.h"
#include "formats/job_type.h"
#include "tools/pictures/picture.h"
#include "tools/pictures/placeholder.h"
#include "tools/pictures/png_file.h"
#include "tools/pictures/tiff_picture.h"

namespace hf {

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<FILE, FileCloser>;

// `length` bytes at `offset` of an open file; false when fewer are there.
bool ReadAt(FILE* file, uint64_t offset, uint64_t length, std::string& bytes) {
  if (std::fseek(file, 0, SEEK_END) != 0) return false;
  const long size = std::ftell(file);
  if (size < 0 || offset + length > static_cast<uint64_t>(size)) return false;
  bytes.assign(static_cast<size_t>(length), '\0');
  if (std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0) return false;
  return std::fread(bytes.data(), 1, length, file) == length;
}

const char* PlaceholderKind(JobType type) {
  switch (type) {
    case kJobTypePdf: return "PDF";
    case kJobTypeEps:
    case kJobTypeDcs: return "EPS";
    case kJobTypeJpeg: return "JPG";
    default: return "PS";
  }
}

// The picture for one source; 0 or 1 with `error` set.
int PictureOf(const std::string& source, BoxSize box, RgbPicture& picture, std::string& error) {
  FileHandle file(std::fopen(source.c_str(), "rb"));
  if (!file) {
    error = "cannot open '" + source + "'";
    return 1;
  }
  char head[kJobTypeHeadBytes + 1] = {};
  const size_t length = std::fread(head, 1, kJobTypeHeadBytes, file.get());
  BinaryEpsHeader eps;
  const bool binaryEps = ParseBinaryEpsHeader(reinterpret_cast<const unsigned char*>(head), length, eps);
  const JobType type = length == 0 ? kJobTypeUnknown : RecogniseJobType(head, length + 1);
  if (type == kJobTypeTiff) {
    file.reset();
    if (ReadTiffPicture(source, box, picture, error) == 0) return 0;
    error = "cannot read '" + source + "': " + error;
    return 1;
  }
  if (binaryEps && eps.tiffLength != 0) {
    std::string tiff;
    if (!ReadAt(file.get(), eps.tiffOffset, eps.tiffLength, tiff)) {
      error = "cannot read '" + source + "': its TIFF preview lies beyond the end of the file";
      return 1;
    }
    if (ReadTiffPictureFromBytes(tiff, box, picture, error) == 0) return 0;
    error = "cannot read the TIFF preview of '" + source + "': " + error;
    return 1;
  }
  switch (type) {
    case kJobTypePostScript:
    case kJobTypePdf:
    case kJobTypeEps:
    case kJobTypeDcs:
    case kJobTypeJpeg: picture = MakePlaceholder(PlaceholderKind(type), box); return 0;
    default: error = "cannot read '" + source + "': not a TIFF, EPS, PostScript, PDF or JPEG file"; return 1;
  }
}

}  // namespace

int ParsePrevgenArguments(const std::vector<std::string>& arguments, PrevgenOptions& options, std::string& error) {
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool takesValue = argument == "-c" || argument == "-f" || argument == "-p";
    if (takesValue && i + 1 >= arguments.size()) {
      error = "option " + argument + " needs a value";
      return 2;
    }
    if (argument == "-c") {
      options.config = arguments[++i];
    } else if (argument == "-f") {
      options.output = arguments[++i];
    } else if (argument == "-p") {
      char* end = nullptr;
      const std::string& value = arguments[++i];
      options.pages = static_cast<int>(std::strtol(value.c_str(), &end, 10));
      if (value.empty() || *end != '\0') {
        error = "option -p needs a number, not '" + value + "'";
        return 2;
      }
    } else if (argument == "-X" || argument == "-nt") {
      // Accepted; no effect.
    } else if (argument.size() > 1 && argument[0] == '-') {
      error = "unknown option " + argument;
      return 2;
    } else if (!argument.empty()) {
      options.sources.push_back(argument);
    }
  }
  if (options.output.empty())
    error = "no output picture (-f OUT.png)";
  else if (options.sources.empty())
    error = "no source file";
  return error.empty() ? 0 : 2;
}

int RunPrevgen(const std::vector<std::string>& arguments, std::ostream& errors) {
  PrevgenOptions options;
  std::string error;
  int status = ParsePrevgenArguments(arguments, options, error);
  if (status == 0) {
    RgbPicture picture;
    status = PictureOf(options.sources.front(), PreviewBoxForConfig(options.config), picture, error);
    if (status == 0) status = WritePngFile(options.output, picture, error);
  }
  if (status != 0) errors << "prevgen: " << error << '\n';
  return status;
}

}  // namespace hf

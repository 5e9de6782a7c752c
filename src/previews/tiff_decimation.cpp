// DecimateTiff: a copy of a small TIFF, or a 1-bit plate reduced eight times
// each way, streamed row by row through libtiff.
#include "previews/tiff_decimation.h"

#include "base/file_io.h"
#include "base/log.h"

#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <new>
#include <vector>

namespace hf {

namespace {

// The largest single allocation libtiff may make for one file (a strip's
// compressed bytes, the strip tables).
constexpr tmsize_t kLibtiffMaxAllocation = 256 * 1024 * 1024;

// libtiff's messages of one call: errors go to the log at level 2, warnings
// nowhere. Handlers of this kind belong to one TIFF handle, so concurrent calls
// do not meet.
int RouteTiffError(TIFF*, void*, const char* module, const char* format, va_list arguments) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, arguments);
  Log(LogLevel::kDetail, "Decimate: libtiff %s: %s", module != nullptr ? module : "", text);
  return 1;  // handled: the process-wide handlers are not called
}

int DropTiffWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// The process-wide handlers print to stderr; a DLL has no business there. Set
// once: the few messages libtiff sends without a handle then go nowhere.
void SilenceProcessWideTiffHandlers() {
  static const bool silenced = [] {
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    return true;
  }();
  (void)silenced;
}

// The source as libtiff reads it: in order, through a buffer of our own. libtiff
// reads one strip per call and seeks before each; plates often have one row per
// strip, and a system call per row would cost more than the decoding. Mapping
// the file instead would put the whole file into the working set.
class BufferedSource {
 public:
  explicit BufferedSource(const std::string& path) : buffer_(kBufferBytes) {
    file_.rdbuf()->pubsetbuf(nullptr, 0);
    file_.open(path, std::ios::binary);
    if (file_) {
      file_.seekg(0, std::ios::end);
      size_ = static_cast<uint64_t>(file_.tellg());
    }
  }
  bool IsOpen() const { return file_.is_open() && file_.good(); }

  static tmsize_t Read(thandle_t handle, void* data, tmsize_t size) {
    auto* self = static_cast<BufferedSource*>(handle);
    auto* out = static_cast<char*>(data);
    tmsize_t done = 0;
    while (done < size && self->position_ < self->size_) {
      if (self->position_ < self->bufferStart_ || self->position_ >= self->bufferStart_ + self->bufferFill_) {
        if (!self->Fill()) break;
      }
      uint64_t offset = self->position_ - self->bufferStart_;
      size_t chunk =
          static_cast<size_t>(std::min<uint64_t>(self->bufferFill_ - offset, static_cast<uint64_t>(size - done)));
      std::memcpy(out + done, self->buffer_.data() + offset, chunk);
      done += static_cast<tmsize_t>(chunk);
      self->position_ += chunk;
    }
    return done;
  }
  static tmsize_t Write(thandle_t, void*, tmsize_t) { return -1; }
  static toff_t Seek(thandle_t handle, toff_t offset, int whence) {
    auto* self = static_cast<BufferedSource*>(handle);
    uint64_t base = whence == SEEK_CUR ? self->position_ : whence == SEEK_END ? self->size_ : 0;
    self->position_ = base + offset;
    return self->position_;
  }
  static int Close(thandle_t) { return 0; }
  static toff_t Size(thandle_t handle) { return static_cast<BufferedSource*>(handle)->size_; }
  static int NoMap(thandle_t, void**, toff_t*) { return 0; }
  static void NoUnmap(thandle_t, void*, toff_t) {}

 private:
  static constexpr size_t kBufferBytes = 256 * 1024;
  bool Fill() {
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(position_));
    file_.read(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
    bufferStart_ = position_;
    bufferFill_ = static_cast<uint64_t>(file_.gcount());
    return bufferFill_ > 0;
  }
  std::ifstream file_;
  std::vector<char> buffer_;
  uint64_t size_ = 0, position_ = 0, bufferStart_ = 0, bufferFill_ = 0;
};

struct TiffCloser {
  void operator()(TIFF* tiff) const { TIFFClose(tiff); }
};
using TiffHandle = std::unique_ptr<TIFF, TiffCloser>;

// Opens `path` for writing, or for reading through `source` when one is given.
TiffHandle OpenTiff(const std::string& path, const char* mode, BufferedSource* source = nullptr) {
  SilenceProcessWideTiffHandlers();
  std::unique_ptr<TIFFOpenOptions, void (*)(TIFFOpenOptions*)> options(TIFFOpenOptionsAlloc(), TIFFOpenOptionsFree);
  if (!options) return nullptr;
  // A directory that lies about its size must not make libtiff allocate the machine.
  TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), kLibtiffMaxAllocation);
  TIFFOpenOptionsSetErrorHandlerExtR(options.get(), RouteTiffError, nullptr);
  TIFFOpenOptionsSetWarningHandlerExtR(options.get(), DropTiffWarning, nullptr);
  if (source == nullptr) return TiffHandle(TIFFOpenExt(path.c_str(), mode, options.get()));
  if (!source->IsOpen()) {
    Log(LogLevel::kDetail, "Decimate: '%s' cannot be opened for reading.", path.c_str());
    return nullptr;
  }
  return TiffHandle(TIFFClientOpenExt(path.c_str(), mode, source, BufferedSource::Read, BufferedSource::Write,
                                      BufferedSource::Seek, BufferedSource::Close, BufferedSource::Size,
                                      BufferedSource::NoMap, BufferedSource::NoUnmap, options.get()));
}

// Removes the temporary target unless it was moved into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!path_.empty()) RemoveFile(path_);
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& path() const { return path_; }
  void Release() { path_.clear(); }

 private:
  std::string path_;
};

struct SourceImage {
  uint32_t width = 0;
  uint32_t length = 0;
  uint16_t photometric = 0;
  bool hasXResolution = false;
  bool hasYResolution = false;
  float xResolution = 0;
  float yResolution = 0;
  uint16_t resolutionUnit = RESUNIT_INCH;
  uint32_t rowsPerStrip = 0;  // never 0 once read: a missing or 0 value means the whole image
};

// True when the open source is an image this code reduces; logs why not.
bool CanReduce(TIFF* source, const std::string& path, SourceImage& image) {
  uint16_t bitsPerSample = 1, samplesPerPixel = 1;
  TIFFGetFieldDefaulted(source, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
  TIFFGetFieldDefaulted(source, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
  if (bitsPerSample != 1 || samplesPerPixel != 1) {
    Log(LogLevel::kError,
        "Decimate: '%s' has %u bits per sample and %u samples per pixel: only 1-bit images are reduced.", path.c_str(),
        bitsPerSample, samplesPerPixel);
    return false;
  }
  if (TIFFIsTiled(source)) {
    Log(LogLevel::kError, "Decimate: '%s' is organised in tiles: only images in strips are reduced.", path.c_str());
    return false;
  }
  if (TIFFGetField(source, TIFFTAG_PHOTOMETRIC, &image.photometric) != 1 ||
      (image.photometric != PHOTOMETRIC_MINISWHITE && image.photometric != PHOTOMETRIC_MINISBLACK)) {
    Log(LogLevel::kError, "Decimate: '%s' is not black and white (photometric interpretation %u): it is not reduced.",
        path.c_str(), image.photometric);
    return false;
  }
  uint64_t rowBytes = TIFFScanlineSize64(source);
  if (rowBytes == 0 || rowBytes > kDecimationMaxRowBytes) {
    Log(LogLevel::kError, "Decimate: '%s' claims rows of %llu bytes: it is not reduced.", path.c_str(),
        static_cast<unsigned long long>(rowBytes));
    return false;
  }
  image.hasXResolution = TIFFGetField(source, TIFFTAG_XRESOLUTION, &image.xResolution) == 1;
  image.hasYResolution = TIFFGetField(source, TIFFTAG_YRESOLUTION, &image.yResolution) == 1;
  TIFFGetFieldDefaulted(source, TIFFTAG_RESOLUTIONUNIT, &image.resolutionUnit);
  TIFFGetFieldDefaulted(source, TIFFTAG_ROWSPERSTRIP, &image.rowsPerStrip);
  if (image.rowsPerStrip == 0 || image.rowsPerStrip > image.length) image.rowsPerStrip = image.length;
  return true;
}

bool SetTargetFields(TIFF* target, const SourceImage& image) {
  return TIFFSetField(target, TIFFTAG_IMAGEWIDTH, image.width / 8) == 1 &&
         TIFFSetField(target, TIFFTAG_IMAGELENGTH, image.length / 8) == 1 &&
         TIFFSetField(target, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == 1 &&
         TIFFSetField(target, TIFFTAG_SAMPLESPERPIXEL, 1) == 1 &&
         TIFFSetField(target, TIFFTAG_COMPRESSION, COMPRESSION_LZW) == 1 &&
         TIFFSetField(target, TIFFTAG_BITSPERSAMPLE, 1) == 1 &&
         TIFFSetField(target, TIFFTAG_PHOTOMETRIC, image.photometric) == 1 &&
         TIFFSetField(target, TIFFTAG_ROWSPERSTRIP, 100) == 1 &&
         (!image.hasXResolution || TIFFSetField(target, TIFFTAG_XRESOLUTION, image.xResolution) == 1) &&
         (!image.hasYResolution || TIFFSetField(target, TIFFTAG_YRESOLUTION, image.yResolution) == 1) &&
         TIFFSetField(target, TIFFTAG_RESOLUTIONUNIT, image.resolutionUnit) == 1;
}

// The first row after the strip holding `row`, at most `end`.
uint32_t StripEnd(uint32_t row, uint32_t rowsPerStrip, uint32_t end) {
  uint64_t stripEnd = static_cast<uint64_t>(row - row % rowsPerStrip) + rowsPerStrip;
  return static_cast<uint32_t>(std::min<uint64_t>(stripEnd, end));
}

// G3 and G4 decode a row into runs, which a fill routine then turns into the
// row's bits; a row decoded only to reach a kept row needs no bits (the next row
// is decoded against the runs). libtiff lets a program replace that routine
// (TIFFTAG_FAXFILLFUNC) but passes it no context: the routine it replaced and
// whether the row being read is kept are held per thread while a plate is read.
using FaxFillFunction = void (*)(unsigned char*, uint32_t*, uint32_t*, uint32_t);
thread_local FaxFillFunction tLibtiffFill = nullptr;
thread_local bool tRowIsKept = true;

void FillKeptRowsOnly(unsigned char* row, uint32_t* runs, uint32_t* runsEnd, uint32_t width) {
  if (tRowIsKept) tLibtiffFill(row, runs, runsEnd, width);
}

// Installs FillKeptRowsOnly on a G3 or G4 source; rows fill as usual again once
// the object is gone.
class KeptRowFill {
 public:
  explicit KeptRowFill(TIFF* source) {
    uint16_t compression = COMPRESSION_NONE;
    TIFFGetFieldDefaulted(source, TIFFTAG_COMPRESSION, &compression);
    if (compression != COMPRESSION_CCITTRLE && compression != COMPRESSION_CCITTRLEW &&
        compression != COMPRESSION_CCITTFAX3 && compression != COMPRESSION_CCITTFAX4)
      return;
    FaxFillFunction fill = nullptr;
    if (TIFFGetField(source, TIFFTAG_FAXFILLFUNC, &fill) != 1 || fill == nullptr) return;
    tLibtiffFill = fill;
    TIFFSetField(source, TIFFTAG_FAXFILLFUNC, &FillKeptRowsOnly);
  }
  ~KeptRowFill() { tRowIsKept = true; }
  KeptRowFill(const KeptRowFill&) = delete;
  KeptRowFill& operator=(const KeptRowFill&) = delete;
  // Says which row the next read decodes.
  void Decoding(uint32_t row) const { tRowIsKept = row % 8 == 0; }
};

// True when `row` must be decoded: it is kept (a multiple of 8) or comes before
// a kept row of its strip. Strips decode independently, so a strip keeping no
// row is never read, nor are the rows after its last kept row; within a strip
// G4 and LZW decode only in order. With one row per strip, as libtiff writes
// wide plates, only every eighth row is decoded.
bool MustDecode(uint32_t row, uint32_t rowsPerStrip, uint32_t end) {
  uint32_t last = StripEnd(row, rowsPerStrip, end) - 1;
  return row <= last - last % 8;
}

// Writes the reduced image into the open target; logs what failed.
bool WriteReduced(TIFF* source, const std::string& sourcePath, TIFF* target, const std::string& targetPath,
                  const SourceImage& image) {
  if (!SetTargetFields(target, image)) {
    Log(LogLevel::kError, "Decimate: Unable to set the fields of '%s'.", targetPath.c_str());
    return false;
  }
  tmsize_t sourceRowBytes = TIFFScanlineSize(source);
  tmsize_t targetRowBytes = TIFFScanlineSize(target);
  if (sourceRowBytes <= 0 || targetRowBytes <= 0 || targetRowBytes > sourceRowBytes) {
    Log(LogLevel::kError, "Decimate: Unable to size the rows of '%s'.", targetPath.c_str());
    return false;
  }
  std::vector<unsigned char> sourceRow(static_cast<size_t>(sourceRowBytes));
  std::vector<unsigned char> targetRow(static_cast<size_t>(targetRowBytes));
  const uint32_t end = image.length / 8 * 8;
  const KeptRowFill fill(source);
  for (uint32_t row = 0; row < end; ++row) {
    if (!MustDecode(row, image.rowsPerStrip, end)) {
      row = StripEnd(row, image.rowsPerStrip, end) - 1;
      continue;
    }
    fill.Decoding(row);
    if (TIFFReadScanline(source, sourceRow.data(), row, 0) != 1) {
      Log(LogLevel::kError, "Decimate: Unable to read row %u of '%s': the file is truncated or damaged.", row,
          sourcePath.c_str());
      return false;
    }
    if (row % 8 != 0) continue;
    for (size_t j = 0; j < targetRow.size(); ++j) targetRow[j] = sourceRow[8 * j];
    if (TIFFWriteScanline(target, targetRow.data(), row / 8, 0) != 1) {
      Log(LogLevel::kError, "Decimate: Unable to write row %u of '%s'.", row / 8, targetPath.c_str());
      return false;
    }
  }
  if (TIFFFlush(target) != 1) {
    Log(LogLevel::kError, "Decimate: Unable to complete '%s'.", targetPath.c_str());
    return false;
  }
  return true;
}

bool Decimate(const std::string& sourcePath, const std::string& targetPath) {
  // Read through our buffer, not mapped: the working set holds rows, not the file.
  BufferedSource sourceFile(sourcePath);
  TiffHandle source = OpenTiff(sourcePath, "rm", &sourceFile);
  if (!source) {
    Log(LogLevel::kError, "Decimate: Unable to open '%s' as a TIFF.", sourcePath.c_str());
    return false;
  }
  SourceImage image;
  if (TIFFGetField(source.get(), TIFFTAG_IMAGEWIDTH, &image.width) != 1 ||
      TIFFGetField(source.get(), TIFFTAG_IMAGELENGTH, &image.length) != 1) {
    Log(LogLevel::kError, "Decimate: '%s' has no image size.", sourcePath.c_str());
    return false;
  }
  if (image.width / 8 <= kDecimationCopyLimit && image.length / 8 <= kDecimationCopyLimit) {
    source.reset();
    int error = CopyFileReplacing(sourcePath, targetPath);
    if (error != 0) {
      Log(LogLevel::kError, "Decimate: Unable to copy '%s' to '%s'. Error: %s", sourcePath.c_str(), targetPath.c_str(),
          SystemErrorText(error).c_str());
      return false;
    }
    Log(LogLevel::kDetail, "Decimate: '%s' (%u x %u) copied to '%s'.", sourcePath.c_str(), image.width, image.length,
        targetPath.c_str());
    return true;
  }
  if (!CanReduce(source.get(), sourcePath, image)) return false;

  TemporaryFile temporary(targetPath + ".tmp~");
  TiffHandle target = OpenTiff(temporary.path(), "w");
  if (!target) {
    Log(LogLevel::kError, "Decimate: Unable to create '%s'.", temporary.path().c_str());
    return false;
  }
  bool written = WriteReduced(source.get(), sourcePath, target.get(), targetPath, image);
  target.reset();
  if (!written) return false;
  int error = MoveFileReplacing(temporary.path(), targetPath);
  if (error != 0) {
    Log(LogLevel::kError, "Decimate: Unable to move '%s' to '%s'. Error: %s", temporary.path().c_str(),
        targetPath.c_str(), SystemErrorText(error).c_str());
    return false;
  }
  temporary.Release();
  Log(LogLevel::kDetail, "Decimate: '%s' (%u x %u) reduced to '%s' (%u x %u).", sourcePath.c_str(), image.width,
      image.length, targetPath.c_str(), image.width / 8, image.length / 8);
  return true;
}

}  // namespace

bool DecimateTiff(const std::string& sourcePath, const std::string& targetPath) {
  try {
    return Decimate(sourcePath, targetPath);
  } catch (const std::bad_alloc&) {
    Log(LogLevel::kError, "Decimate: Out of memory reducing '%s'.", sourcePath.c_str());
    return false;
  }
}

}  // namespace hf

// Job type codes, the extension table, and recognition of a job's type from the
// first bytes of its file (pure: bytes in, code out; reading the file is the
// caller's business).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace hf {

// Job type codes: each a single bit; 0 is unknown. These values reach the host.
using JobType = uint32_t;
constexpr JobType kJobTypeUnknown = 0x0;
constexpr JobType kJobTypePostScript = 0x1;
constexpr JobType kJobTypePdf = 0x2;
constexpr JobType kJobTypeTiff = 0x4;
constexpr JobType kJobTypeJpeg = 0x8;
constexpr JobType kJobTypePageBuffer = 0x10;  // PGB
constexpr JobType kJobTypeDcs = 0x20;         // DCS control file or single-file DCS
constexpr JobType kJobTypeEps = 0x40;         // text or binary EPS
constexpr JobType kJobTypePrf = 0x80;         // no content rule gives this one
constexpr JobType kJobTypeJdf = 0x100;
constexpr JobType kJobTypePpf = 0x200;
constexpr JobType kJobTypeZxm = 0x400;
constexpr JobType kJobTypeJson = 0x800;  // known by extension only
constexpr JobType kJobTypeXml = 0x1000;
constexpr JobType kJobTypeFileGroupList = 0x8000000;  // a group file (".fgl")

// How many head bytes recognition looks at.
constexpr size_t kJobTypeHeadBytes = 512;

struct JobTypeExtension {
  const char* extension;  // with its dot; "" ends the table
  JobType type;
};

// ".ps" 1, ".pdf" 2, ".tiff" 4, ".tif" 4, ".jpg" 8, ".pgb" 16, ".dcs" 32,
// ".eps" 64, ".prf" 128, ".jdf" 256, ".ppf" 512, ".zxm" 1024, ".zx" 1024,
// ".json" 2048, ".xml" 4096, ".fgl" 0x8000000, then {"", 0}.
extern const JobTypeExtension kJobTypeExtensions[];

// Decides the job type from the head of a file, `length` bytes at `buffer`.
// The buffer is written to: its last byte (buffer[length - 1]) becomes NUL, so
// the text searches below stop there. Missing buffer or length 0: 0.
// The rules, in order; the first that matches decides and logs its line at
// level 2 ("begins with" ignores case, "contains" is case-sensitive and stops
// at the first NUL):
//   1. begins "%!PS" and contains "EPSF": with "%%PlateFile:" DCS (32), else EPS (64)
//   2. begins "<?xml": XML (4096)        3. begins "<jdf": JDF (256)
//   4. begins "PMEC": ZXM (1024)
//   5. the first "%" in bytes 1..17 starts a token (up to a space, at most 16
//      characters) that begins "%%CIP3-File": PPF (512)
//   6. begins "%!PS": PostScript (1)     7. begins "!PDF" or "%PDF": PDF (2)
//   8. first bytes "II" or "MM": TIFF (4)
//   9. first bytes C5 D0 D3 C6 (binary EPS header): EPS (64)
//  10. "JFIF" at any offset up to length - 5, or a start of image followed by
//      a marker (FF D8 FF) at the start (Exif and Adobe JPEGs): JPEG (8)
//  11. "/PGB" at any offset up to length - 5: page buffer (16)
//  12. contains "%!PS" (with "EPSF": 64, else 1); contains "!PDF" or "%PDF": 2;
//      contains "[FileGroupInfo]": 0x8000000; contains "%!": 1;
//      otherwise 0, with a level-1 warning.
// Nothing at or past buffer[length] is read.
JobType RecogniseJobType(char* buffer, size_t length);

// The job type of an extension (with its dot) from the extension table,
// compared without regard to case; the first equal entry decides. An
// extension that is not in the table, an empty one included, gives TIFF (4).
JobType JobTypeFromExtension(std::string_view extension);

}  // namespace hf

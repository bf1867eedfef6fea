// JPEG decoding through libjpeg. libjpeg reports fatal errors by calling error_exit, which must not return: it
// jumps back to RunDecoder, whose frame holds nothing that needs destroying.
#include <csetjmp>
#include <cstdio>
#include <cstring>

// jpeglib.h needs size_t and FILE declared first.
#include <jerror.h>
#include <jpeglib.h>

#include "skin/draw/CxImage.h"
#include "skin/draw/ImageLimits.h"

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
  bool data_missing;
  char message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  longjmp(err->jump, 1);
}

void EmitMessage(j_common_ptr cinfo, int level) {
  if (level >= 0) return;
  // Warnings that mean the entropy-coded data ran out: the rest of the picture would be made up.
  auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
  const int code = cinfo->err->msg_code;
  if (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER || code == JWRN_MUST_RESYNC) err->data_missing = true;
}

constexpr long kMaxDecoderMemory = 768L * 1024 * 1024;

// Returns an error text, or nullptr on success. Only trivially destructible locals live in this frame.
const char* RunDecoder(jpeg_decompress_struct* cinfo, ErrorManager* err, const uint8_t* data, size_t size,
                       CxImage* out) {
  if (setjmp(err->jump)) return err->message;
  jpeg_create_decompress(cinfo);
  cinfo->mem->max_memory_to_use = kMaxDecoderMemory;
  jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return "JPEG: no image";
  if (!skin::ImageSizeAllowed(cinfo->image_width, cinfo->image_height)) return "JPEG: picture size out of range";
  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  jpeg_start_decompress(cinfo);
  if (!out->Create(cinfo->output_width, cinfo->output_height, false)) return "JPEG: picture size out of range";
  JSAMPARRAY cmyk_row = nullptr;
  if (cmyk) {
    cmyk_row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                           cinfo->output_width * 4, 1);
  }
  while (cinfo->output_scanline < cinfo->output_height) {
    const JDIMENSION y = cinfo->output_scanline;
    uint8_t* row = out->RowTop(y);
    if (!cmyk) {
      JSAMPROW rows[1] = {row};
      if (jpeg_read_scanlines(cinfo, rows, 1) != 1) return "JPEG: data ends early";
    } else {
      if (jpeg_read_scanlines(cinfo, cmyk_row, 1) != 1) return "JPEG: data ends early";
      // Adobe writes inverted CMYK; the plain product of inverted inks gives the RGB value.
      const uint8_t* s = cmyk_row[0];
      const bool inverted = cinfo->saw_Adobe_marker;
      for (JDIMENSION x = 0; x < cinfo->output_width; ++x, s += 4) {
        const unsigned k = inverted ? s[3] : 255 - s[3];
        for (int c = 0; c < 3; ++c) {
          const unsigned v = inverted ? s[c] : 255 - s[c];
          row[x * 3 + 2 - c] = static_cast<uint8_t>(v * k / 255);
        }
      }
    }
    if (err->data_missing) return "JPEG: data ends early or is corrupt";
  }
  jpeg_finish_decompress(cinfo);
  if (err->data_missing) return "JPEG: data ends early or is corrupt";
  return nullptr;
}

}  // namespace

bool CxImageJPG::Decode(std::span<const uint8_t> bytes) {
  Clear();
  if (bytes.size() < 4 || bytes[0] != 0xFF || bytes[1] != 0xD8) {
    SetError("JPEG: not a JPEG file");
    return false;
  }
  jpeg_decompress_struct cinfo;
  std::memset(&cinfo, 0, sizeof cinfo);
  ErrorManager err;
  std::memset(&err, 0, sizeof err);
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = ErrorExit;
  err.pub.emit_message = EmitMessage;
  const char* failure = RunDecoder(&cinfo, &err, bytes.data(), bytes.size(), this);
  jpeg_destroy_decompress(&cinfo);
  if (failure) {
    std::string text = failure;
    Clear();
    SetError(text.rfind("JPEG:", 0) == 0 ? text : "JPEG: " + text);
    return false;
  }
  return true;
}

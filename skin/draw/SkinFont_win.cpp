#include "skin/draw/SkinFont_win.h"

bool CSkinFont::Create(std::wstring_view face, int cell_height, bool bold, bool underline) {
  if (face.empty() || cell_height <= 0) return false;
  LOGFONTW lf{};
  lf.lfHeight = cell_height;  // positive: a cell height
  lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
  lf.lfUnderline = underline ? TRUE : FALSE;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = PROOF_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
  face.substr(0, LF_FACESIZE - 1).copy(lf.lfFaceName, LF_FACESIZE - 1);
  font_.reset(::CreateFontIndirectW(&lf));
  return static_cast<bool>(font_);
}

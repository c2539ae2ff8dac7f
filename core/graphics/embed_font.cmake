# cmake -DINPUT=<font.mvec> -DOUTPUT=<file.cpp> -P embed_font.cmake
# Writes the font file as the byte array behind GetDefaultFontData().
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n  " bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT} by embed_font.cmake; do not edit.\n"
  "#include \"graphics/default_font.h\"\n\n"
  "namespace {\nconst unsigned char DefaultFontBytes[${size}] = {\n  ${bytes}\n};\n}  // namespace\n\n"
  "const unsigned char* GetDefaultFontData() { return DefaultFontBytes; }\n"
  "size_t GetDefaultFontSize() { return sizeof(DefaultFontBytes); }\n")

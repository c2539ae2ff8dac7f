# cmake -DINPUT=<chunk> -DOUTPUT=<file.cpp> -DNAME=<Name> -DHEADER=<header> -P embed_chunk.cmake
# Writes a compiled Lua chunk, font or any other file as the byte array behind Get<Name>() and
# Get<Name>Size(), declared in the header. Shared by the libraries that embed built-in chunks.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n  " bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT} by embed_chunk.cmake; do not edit.\n"
  "#include \"${HEADER}\"\n\n"
  "namespace {\nconst unsigned char ${NAME}Bytes[${size}] = {\n  ${bytes}\n};\n}  // namespace\n\n"
  "const unsigned char* Get${NAME}() { return ${NAME}Bytes; }\n"
  "size_t Get${NAME}Size() { return sizeof(${NAME}Bytes); }\n")

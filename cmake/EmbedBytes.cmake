# Writes a C++ source that holds the bytes of a file, for native programs that carry data
# the Windows build carries as a resource.
#   cmake -DIN=file -DOUT=file.cpp -DNAME=symbol -P EmbedBytes.cmake
# The source defines: extern const unsigned char NAME[]; extern const unsigned long NAME_size;
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" length)
math(EXPR size "${length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUT}.tmp"
  "// Generated from ${IN}; do not edit.\n"
  "extern const unsigned char ${NAME}[];\n"
  "extern const unsigned long ${NAME}_size;\n"
  "const unsigned char ${NAME}[] = {\n${bytes}0};\n"
  "const unsigned long ${NAME}_size = ${size};\n")
file(RENAME "${OUT}.tmp" "${OUT}")

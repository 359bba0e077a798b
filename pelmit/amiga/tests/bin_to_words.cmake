# Turns a binary into "0x1234," words (big-endian, the last byte padded) for
# an array initialiser. cmake -DIN=file.bin -DOUT=file.inc -P bin_to_words.cmake
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR odd "${digits} % 4")
if(odd)
    string(APPEND hex "00")
endif()
string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f])" "0x\\1," words "${hex}")
file(WRITE "${OUT}" "${words}\n")

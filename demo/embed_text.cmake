# Turns a text file into a C++ raw string literal, so that a script is compiled
# into the library: cmake -DINPUT=file.sql -DOUTPUT=file.inc -P embed_text.cmake
file(READ "${INPUT}" content)
file(WRITE "${OUTPUT}" "R\"orvtext(${content})orvtext\"\n")

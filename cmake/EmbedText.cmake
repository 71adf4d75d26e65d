# cmake -DINPUT=file -DOUTPUT=file.cpp -DSYMBOL=name -P EmbedText.cmake
# Writes a C++ file defining `const char *const dravik::SYMBOL` holding the input text.
file(READ ${INPUT} content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," content "${content}")
file(WRITE ${OUTPUT}.tmp "namespace dravik {\nstatic const char kData[] = {${content} 0};\nextern const char *const ${SYMBOL} = kData;\n}\n")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)

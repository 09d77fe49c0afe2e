# Fills in the release zip's readme.txt (still UTF-8): the program's version
# and the copyright line of its version page, read from where that page is
# built, so that neither is written twice.
#
#   cmake -DSOURCE=readme.txt.in -DOUTPUT=readme.txt -DVERSION=<version>
#         -DPAGE=<source of the version page> -P readme.cmake
file(STRINGS ${PAGE} kv_copyright_lines REGEX "\"Copyright [^\"]*\"")
list(LENGTH kv_copyright_lines kv_count)
if(NOT kv_count EQUAL 1)
    message(FATAL_ERROR "${PAGE}: expected one \"Copyright ...\" text for the version page, found ${kv_count}")
endif()
string(REGEX MATCH "\"(Copyright [^\"]*)\"" kv_match "${kv_copyright_lines}")
set(KV_COPYRIGHT "${CMAKE_MATCH_1}")
set(KV_VERSION "${VERSION}")
configure_file(${SOURCE} ${OUTPUT} @ONLY)

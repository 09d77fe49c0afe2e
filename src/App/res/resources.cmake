# Resources of the executable: version, icons and the ellipsis glyph.
#
# kv_resources is an object library so that the program and every test
# executable can carry the same resources: link it, or list
# $<TARGET_OBJECTS:kv_resources> among an executable's sources.
include_guard(GLOBAL)
if(NOT WIN32)
    return()
endif()

enable_language(RC)
find_package(Python3 COMPONENTS Interpreter REQUIRED)

set(KV_RES_SOURCE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(KV_RES_BINARY_DIR ${CMAKE_CURRENT_BINARY_DIR}/res)

# The version is written in the .rc by hand; make sure it says what the
# project says, so that a release can't ship with a stale version resource.
file(READ ${KV_RES_SOURCE_DIR}/Keyvane.rc kv_rc_text)
set(kv_rc_numbers "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},${PROJECT_VERSION_TWEAK}")
foreach(kv_expected
        "FILEVERSION ${kv_rc_numbers}\n"
        "PRODUCTVERSION ${kv_rc_numbers}\n"
        "\"FileVersion\", \"${PROJECT_VERSION}\""
        "\"ProductVersion\", \"${PROJECT_VERSION}\"")
    string(FIND "${kv_rc_text}" "${kv_expected}" kv_found_at)
    if(kv_found_at EQUAL -1)
        string(STRIP "${kv_expected}" kv_expected)
        message(FATAL_ERROR "Keyvane.rc does not hold ${kv_expected} (project version ${PROJECT_VERSION})")
    endif()
endforeach()
# The manifest names the program's version as well.
file(READ ${KV_RES_SOURCE_DIR}/Keyvane.manifest kv_manifest_text)
string(FIND "${kv_manifest_text}" "name=\"Keyvane\" version=\"${PROJECT_VERSION}\"" kv_found_at)
if(kv_found_at EQUAL -1)
    message(FATAL_ERROR "Keyvane.manifest does not name version ${PROJECT_VERSION}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${KV_RES_SOURCE_DIR}/Keyvane.rc ${KV_RES_SOURCE_DIR}/Keyvane.manifest)

set(kv_res_generator ${KV_RES_SOURCE_DIR}/pixres.py)
set(kv_res_generated
    ${KV_RES_BINARY_DIR}/Keyvane.ico
    ${KV_RES_BINARY_DIR}/Tray.ico
    ${KV_RES_BINARY_DIR}/Elipsis15.bmp)

# The program's icon carries a 16 x 16 image as well (the tray picture), so
# that small views of it are drawn from pixels, not shrunk from 32 x 32; both
# icons carry the sizes Windows asks for at 150 % (24 and 48) and the tray
# icon the 32 of 200 %, repeated from those pixels.
add_custom_command(
    OUTPUT ${kv_res_generated}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KV_RES_BINARY_DIR}
    COMMAND ${Python3_EXECUTABLE} ${kv_res_generator} icon ${KV_RES_BINARY_DIR}/Keyvane.ico
            ${KV_RES_SOURCE_DIR}/MainIcon.txt ${KV_RES_SOURCE_DIR}/TrayIcon.txt
            ${KV_RES_SOURCE_DIR}/MainIcon.txt@48 ${KV_RES_SOURCE_DIR}/TrayIcon.txt@24
    COMMAND ${Python3_EXECUTABLE} ${kv_res_generator} icon ${KV_RES_BINARY_DIR}/Tray.ico
            ${KV_RES_SOURCE_DIR}/TrayIcon.txt ${KV_RES_SOURCE_DIR}/TrayIcon.txt@24
            ${KV_RES_SOURCE_DIR}/TrayIcon.txt@32
    COMMAND ${Python3_EXECUTABLE} ${kv_res_generator} bitmap ${KV_RES_BINARY_DIR}/Elipsis15.bmp
            ${KV_RES_SOURCE_DIR}/Elipsis15.txt
    DEPENDS ${kv_res_generator}
            ${KV_RES_SOURCE_DIR}/MainIcon.txt
            ${KV_RES_SOURCE_DIR}/TrayIcon.txt
            ${KV_RES_SOURCE_DIR}/Elipsis15.txt
    COMMENT "Generating icons and bitmaps from their pixel sources"
    VERBATIM)

# The generated files are listed as sources so that they are made before the
# .rc is compiled; windres writes no dependency file, so OBJECT_DEPENDS makes
# a changed picture recompile the .rc.
add_library(kv_resources OBJECT ${KV_RES_SOURCE_DIR}/Keyvane.rc ${kv_res_generated})
set_source_files_properties(${KV_RES_SOURCE_DIR}/Keyvane.rc PROPERTIES
    OBJECT_DEPENDS "${kv_res_generated};${KV_RES_SOURCE_DIR}/Keyvane.manifest")
target_include_directories(kv_resources PRIVATE ${KV_RES_BINARY_DIR} ${KV_RES_SOURCE_DIR})
# The project's C and C++ options (warnings, character sets) mean nothing to
# windres and would make it fail.
set_property(TARGET kv_resources PROPERTY COMPILE_OPTIONS "")

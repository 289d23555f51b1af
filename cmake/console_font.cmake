# The 8x14 text font is compiled in from the Debian console font, read at build time.
set(CONSOLE_FONT_PACKAGE console-setup-linux)
set(CONSOLE_FONT_FILE /usr/share/consolefonts/Lat15-VGA14.psf.gz CACHE FILEPATH
    "8x14 PSF console font (from the Debian package console-setup-linux)")
if(NOT EXISTS "${CONSOLE_FONT_FILE}")
  message(FATAL_ERROR
    "The text font ${CONSOLE_FONT_FILE} is missing: install the Debian package "
    "${CONSOLE_FONT_PACKAGE} (apt-get install ${CONSOLE_FONT_PACKAGE}).")
endif()
find_program(GZIP_PROGRAM gzip REQUIRED)

add_executable(font_compiler ${CMAKE_SOURCE_DIR}/tools/font_compiler.cpp)
set(FONT_PSF ${CMAKE_BINARY_DIR}/generated/console_font.psf)
set(FONT_SOURCE ${CMAKE_BINARY_DIR}/generated/font_8x14_glyphs.cpp)
add_custom_command(
  OUTPUT ${FONT_SOURCE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/generated
  COMMAND ${GZIP_PROGRAM} -dc ${CONSOLE_FONT_FILE} > ${FONT_PSF}
  COMMAND font_compiler ${FONT_PSF} ${FONT_SOURCE}
  DEPENDS font_compiler ${CONSOLE_FONT_FILE}
  COMMENT "Compiling the 8x14 text font from ${CONSOLE_FONT_FILE}"
  VERBATIM)

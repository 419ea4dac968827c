# libpng for the Windows build: there is no mingw-w64 package, so it is compiled statically from the
# upstream sources that scripts/fetch-libpng-source.sh unpacks, against the mingw-w64 zlib package.
set(HALVANE_LIBPNG_SOURCE_DIR "${PROJECT_SOURCE_DIR}/third_party/libpng"
    CACHE PATH "Unpacked libpng sources for the Windows build")
if(NOT EXISTS "${HALVANE_LIBPNG_SOURCE_DIR}/png.h")
  message(FATAL_ERROR "libpng sources not found in ${HALVANE_LIBPNG_SOURCE_DIR}; "
                      "run scripts/fetch-libpng-source.sh (make test does)")
endif()

find_library(HALVANE_MINGW_ZLIB NAMES libz.a REQUIRED)
find_path(HALVANE_MINGW_ZLIB_INCLUDE zlib.h REQUIRED)
add_library(halvane_zlib STATIC IMPORTED GLOBAL)
set_target_properties(halvane_zlib PROPERTIES
  IMPORTED_LOCATION "${HALVANE_MINGW_ZLIB}"
  INTERFACE_INCLUDE_DIRECTORIES "${HALVANE_MINGW_ZLIB_INCLUDE}")

set(_png "${HALVANE_LIBPNG_SOURCE_DIR}")
set(_pngconf "${CMAKE_BINARY_DIR}/libpng/pnglibconf.h")
configure_file("${_png}/scripts/pnglibconf.h.prebuilt" "${_pngconf}" COPYONLY)
add_library(halvane_png STATIC
  ${_png}/png.c ${_png}/pngerror.c ${_png}/pngget.c ${_png}/pngmem.c ${_png}/pngpread.c
  ${_png}/pngread.c ${_png}/pngrio.c ${_png}/pngrtran.c ${_png}/pngrutil.c ${_png}/pngset.c
  ${_png}/pngtrans.c ${_png}/pngwio.c ${_png}/pngwrite.c ${_png}/pngwtran.c ${_png}/pngwutil.c)
target_include_directories(halvane_png SYSTEM PUBLIC "${_png}" "${CMAKE_BINARY_DIR}/libpng")
# The portable filters only: the SIMD ones live in extra files this build leaves out.
target_compile_definitions(halvane_png PRIVATE PNG_INTEL_SSE_OPT=0 PNG_ARM_NEON_OPT=0 PNG_MIPS_MSA_OPT=0
                                               PNG_POWERPC_VSX_OPT=0)
target_compile_options(halvane_png PRIVATE -w)
target_link_libraries(halvane_png PUBLIC halvane_zlib)

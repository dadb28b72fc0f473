# The Audio Unit bundle: Tonnik.component/Contents/{Info.plist, MacOS/Tonnik,
# Resources/*.png}. The Info.plist is written on every system (a test reads
# it back); the bundle itself is built on a Mac only.

# The instrument's identity as hosts read it from the bundle before loading
# it; the same values the plug-in reports (src/tonnik).
set(TONNIK_BUNDLE_EXECUTABLE "Tonnik")
set(TONNIK_BUNDLE_ID "com.velmora.audiounit.tonnik")
set(TONNIK_AU_TYPE "aumu")
set(TONNIK_AU_SUBTYPE "Tnk4")
set(TONNIK_AU_MANUFACTURER "-VL-")
set(TONNIK_AU_NAME "Velmora Rirevovizod: TONNIK-PRO")
set(TONNIK_AU_DESCRIPTION "TONNIK-PRO")
# Packed as major << 16 | minor << 8 | patch, as the plug-in reports it.
math(EXPR TONNIK_AU_VERSION
     "(${PROJECT_VERSION_MAJOR} << 16) | (${PROJECT_VERSION_MINOR} << 8) | ${PROJECT_VERSION_PATCH}")
set(TONNIK_AU_FACTORY "Tonnik_Factory")

set(TONNIK_INFO_PLIST "${CMAKE_BINARY_DIR}/Tonnik.component.Info.plist")
configure_file("${CMAKE_CURRENT_LIST_DIR}/TonnikInfo.plist.in" "${TONNIK_INFO_PLIST}" @ONLY)
set(TONNIK_INFO_PLIST "${TONNIK_INFO_PLIST}" CACHE INTERNAL "The Info.plist of the Audio Unit bundle")

if(APPLE AND TONNIK_COCOA_FOUND)
  file(GLOB bundle_images "${CMAKE_SOURCE_DIR}/resources/img/*.png")
  add_library(TonnikComponent MODULE ${bundle_images})
  set_source_files_properties(${bundle_images} PROPERTIES MACOSX_PACKAGE_LOCATION Resources)
  target_link_libraries(TonnikComponent PRIVATE platform_cocoa_select platform_cocoa tonnik)
  set_target_properties(TonnikComponent PROPERTIES
    BUNDLE TRUE
    BUNDLE_EXTENSION component
    OUTPUT_NAME "${TONNIK_BUNDLE_EXECUTABLE}"
    MACOSX_BUNDLE_INFO_PLIST "${TONNIK_INFO_PLIST}")
  # Hosts find the entry points by name, and the view factory class by its
  # name at run time: every Objective-C class of the archives is kept, only
  # the entry points are exported.
  target_link_options(TonnikComponent PRIVATE
    "LINKER:-ObjC"
    "LINKER:-exported_symbol,_Tonnik_Entry"
    "LINKER:-exported_symbol,_Tonnik_ViewEntry"
    "LINKER:-exported_symbol,_Tonnik_Factory")
endif()

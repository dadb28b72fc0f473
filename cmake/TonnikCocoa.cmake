# AppKit for the Mac editor layer: the system's frameworks on a Mac, GNUstep
# elsewhere. Sets TONNIK_COCOA_FOUND and defines tonnik_objcxx_sources().
#
# Objective-C++ files (.mm) are compiled by the C++ compiler with
# "-x objective-c++", so they share its flags, warnings and launcher.

include(CheckCXXSourceCompiles)

set(TONNIK_COCOA_FOUND OFF)
set(TONNIK_COCOA_COMPILE_OPTIONS "")
set(TONNIK_COCOA_DEFINITIONS "")
set(TONNIK_COCOA_INCLUDE_DIRS "")
set(TONNIK_COCOA_LINK_OPTIONS "")
set(TONNIK_COCOA_LIBRARIES "")

if(APPLE)
  set(TONNIK_COCOA_FOUND ON)
  list(APPEND TONNIK_COCOA_LIBRARIES "-framework AppKit" "-framework Foundation" "-framework CoreGraphics"
       "-framework AudioUnit")
else()
  find_program(GNUSTEP_CONFIG gnustep-config)
  if(GNUSTEP_CONFIG)
    execute_process(COMMAND "${GNUSTEP_CONFIG}" --objc-flags OUTPUT_VARIABLE objc_flags
                    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE objc_flags_result ERROR_QUIET)
    execute_process(COMMAND "${GNUSTEP_CONFIG}" --gui-libs OUTPUT_VARIABLE gui_libs
                    OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE gui_libs_result ERROR_QUIET)
    if(objc_flags_result EQUAL 0 AND gui_libs_result EQUAL 0)
      # Keep what the language and the library need; leave out gnustep-make's own
      # choices (dependency files, optimisation, debug info, warnings, "-I.").
      separate_arguments(objc_flags UNIX_COMMAND "${objc_flags}")
      foreach(flag IN LISTS objc_flags)
        if(flag MATCHES "^-D(GS(WARN|DIAGNOSE))$")
          # gnustep-make's extra run-time warnings, not needed to build
        elseif(flag MATCHES "^-D(.+)$")
          list(APPEND TONNIK_COCOA_DEFINITIONS "${CMAKE_MATCH_1}")
        elseif(flag MATCHES "^-I(.+)$")
          set(dir "${CMAKE_MATCH_1}")
          if(IS_DIRECTORY "${dir}" AND NOT dir STREQUAL ".")
            list(APPEND TONNIK_COCOA_INCLUDE_DIRS "${dir}")
          endif()
        elseif(flag MATCHES "^-f(exceptions|objc-exceptions|no-strict-aliasing|constant-string-class=.+)$")
          list(APPEND TONNIK_COCOA_COMPILE_OPTIONS "${flag}")
        endif()
      endforeach()
      # g++ runs the constructors and destructors of C++ members of
      # Objective-C objects only when asked (clang does it by default).
      list(APPEND TONNIK_COCOA_COMPILE_OPTIONS -fobjc-call-cxx-cdtors)
      separate_arguments(gui_libs UNIX_COMMAND "${gui_libs}")
      foreach(flag IN LISTS gui_libs)
        if(flag MATCHES "^-l")
          list(APPEND TONNIK_COCOA_LIBRARIES "${flag}")
        elseif(flag MATCHES "^-L(.+)$")
          set(dir "${CMAKE_MATCH_1}")
          if(IS_DIRECTORY "${dir}")
            list(APPEND TONNIK_COCOA_LINK_OPTIONS "${flag}")
          endif()
        elseif(flag MATCHES "^-(shared-libgcc|pthread|fexceptions)$")
          list(APPEND TONNIK_COCOA_LINK_OPTIONS "${flag}")
        endif()
      endforeach()

      # A machine with gnustep-make but no Objective-C++ compiler (gobjc++) or
      # no AppKit headers builds without the layer.
      list(TRANSFORM TONNIK_COCOA_DEFINITIONS PREPEND "-D" OUTPUT_VARIABLE check_defs)
      set(CMAKE_REQUIRED_FLAGS "-x objective-c++")
      set(CMAKE_REQUIRED_DEFINITIONS ${check_defs} ${TONNIK_COCOA_COMPILE_OPTIONS})
      set(CMAKE_REQUIRED_INCLUDES ${TONNIK_COCOA_INCLUDE_DIRS})
      set(CMAKE_REQUIRED_LINK_OPTIONS ${TONNIK_COCOA_LINK_OPTIONS} -x none)
      set(CMAKE_REQUIRED_LIBRARIES ${TONNIK_COCOA_LIBRARIES})
      set(CMAKE_REQUIRED_QUIET ON)
      check_cxx_source_compiles("
#import <AppKit/AppKit.h>
int main() { return [NSView class] ? 0 : 1; }" TONNIK_GNUSTEP_APPKIT_BUILDS)
      unset(CMAKE_REQUIRED_FLAGS)
      unset(CMAKE_REQUIRED_DEFINITIONS)
      unset(CMAKE_REQUIRED_INCLUDES)
      unset(CMAKE_REQUIRED_LINK_OPTIONS)
      unset(CMAKE_REQUIRED_LIBRARIES)
      unset(CMAKE_REQUIRED_QUIET)
      if(TONNIK_GNUSTEP_APPKIT_BUILDS)
        set(TONNIK_COCOA_FOUND ON)
      endif()
    endif()
  endif()
endif()

# Seen by tonnik_objcxx_sources() from every folder.
foreach(var TONNIK_COCOA_FOUND TONNIK_COCOA_COMPILE_OPTIONS TONNIK_COCOA_DEFINITIONS TONNIK_COCOA_INCLUDE_DIRS
            TONNIK_COCOA_LINK_OPTIONS TONNIK_COCOA_LIBRARIES)
  set(${var} "${${var}}" CACHE INTERNAL "")
endforeach()

if(TONNIK_COCOA_FOUND)
  message(STATUS "Mac editor layer: building against AppKit")
else()
  message(STATUS "Mac editor layer: not built (no AppKit: install gobjc++ and libgnustep-gui-dev)")
endif()

# tonnik_objcxx_sources(<target> <file.mm> ...)
# Compiles the files as Objective-C++ against AppKit and links the target
# with it. Call it in the folder where the target is defined.
function(tonnik_objcxx_sources target)
  set_source_files_properties(${ARGN} PROPERTIES LANGUAGE CXX
    COMPILE_OPTIONS "-x;objective-c++;${TONNIK_COCOA_COMPILE_OPTIONS}")
  target_sources(${target} PRIVATE ${ARGN})
  target_compile_definitions(${target} PUBLIC ${TONNIK_COCOA_DEFINITIONS})
  target_include_directories(${target} SYSTEM PUBLIC ${TONNIK_COCOA_INCLUDE_DIRS})
  target_link_options(${target} PUBLIC ${TONNIK_COCOA_LINK_OPTIONS})
  target_link_libraries(${target} PUBLIC ${TONNIK_COCOA_LIBRARIES})
endfunction()

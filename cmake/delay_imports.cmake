# Import libraries whose functions are bound at their first call rather than
# when the process starts: a DLL named here is loaded only if a start calls
# into it. Under Wine, user32 and gdi32 bring up the display driver and
# advapi32 pulls in sechost and ucrtbase, tens of milliseconds that a start
# without a window, a registry search or a service never needed.
#
# tarn_delay_import_libraries(<out> <dll>...) builds lib<dll>_delay.a for
# each DLL from the toolchain's own import library (every name it exports)
# and sets <out> to the list of them, to be linked before the system's.
function(tarn_delay_import_libraries out)
  set(libraries)
  foreach(dll ${ARGN})
    find_library(TARN_IMPORT_${dll} ${dll} REQUIRED)
    execute_process(COMMAND ${TARN_NM} ${TARN_IMPORT_${dll}} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
    # __imp_Name on x64, __imp__Name@bytes on x86, where dlltool's --kill-at
    # takes the @bytes off the name the DLL is asked for.
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(REGEX MATCHALL " I __imp__[^\n]+" entries "${symbols}")
      string(REPLACE " I __imp__" "" entries "${entries}")
      set(kill_at --kill-at)
    else()
      string(REGEX MATCHALL " I __imp_[^\n]+" entries "${symbols}")
      string(REPLACE " I __imp_" "" entries "${entries}")
      set(kill_at)
    endif()
    list(REMOVE_DUPLICATES entries)
    list(JOIN entries "\n" exports)
    set(definition ${CMAKE_BINARY_DIR}/delay-imports/${dll}.def)
    file(WRITE ${definition} "LIBRARY ${dll}.dll\nEXPORTS\n${exports}\n")
    set(library ${CMAKE_BINARY_DIR}/delay-imports/lib${dll}_delay.a)
    add_custom_command(OUTPUT ${library}
      COMMAND ${TARN_DLLTOOL} ${kill_at} --input-def ${definition} --output-delaylib ${library} --dllname ${dll}.dll
      DEPENDS ${definition}
      COMMENT "Delay-loaded import library for ${dll}.dll")
    list(APPEND libraries ${library})
  endforeach()
  add_custom_target(tarn_delay_imports DEPENDS ${libraries})
  set(${out} ${libraries} PARENT_SCOPE)
endfunction()

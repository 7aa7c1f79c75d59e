# The usual hardening of the programs, for every target of the build
# (tests/build/ reads it back from the built files).

if(NOT VWG_WINDOWS)
  # A stack protector, the checked forms of the C library's calls (which
  # need optimisation: the optimised builds only), a position-independent
  # executable for address randomisation, and relocations made read-only
  # once every symbol is bound at start. Not beside the sanitizers, which
  # check the same calls their own way.
  if(NOT CMAKE_CXX_FLAGS MATCHES "sanitize")
    add_compile_options(-fstack-protector-strong -fPIE
      "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
    add_link_options(-pie -Wl,-z,relro,-z,now)
  endif()
  return()
endif()

# Address randomisation (a relocatable image, high-entropy for 64-bit) and
# data that cannot be run.
add_link_options(-Wl,--dynamicbase -Wl,--nxcompat)
if(VWG_WIDTH EQUAL 64)
  add_link_options(-Wl,--high-entropy-va)
endif()

# The DLLs imported that are not known DLLs, which the system takes from
# System32 whatever the search order: the loader would look for these
# beside the program first, where anyone who can write there could put
# their own. So they are delay-loaded, that is loaded at their first call,
# after the entry point has confined the search to System32
# (SetDefaultDllDirectories). Their import libraries are replaced, for
# every target, by delay-load ones made here from the toolchain's own:
# `-lbcrypt` finds ours first. The toolchain's ld has no option for the
# load configuration's dependent-load flags, which would do the same for
# Windows 10 1607 and later only.
set(VWG_DELAY_LOADED bcrypt comctl32 version)
set(delay_dir ${CMAKE_BINARY_DIR}/delay-load)
file(MAKE_DIRECTORY ${delay_dir})
foreach(lib IN LISTS VWG_DELAY_LOADED)
  find_library(VWG_IMPORT_LIB_${lib} ${lib} REQUIRED NO_CACHE)
  execute_process(COMMAND ${CMAKE_NM} ${VWG_IMPORT_LIB_${lib}} OUTPUT_VARIABLE symbols COMMAND_ERROR_IS_FATAL ANY)
  # "... I __imp_Name": a 32-bit name carries C's leading underscore and
  # its stdcall suffix ("_Name@16"), which the .def file keeps and
  # --kill-at leaves out of the name the DLL is asked for.
  string(REGEX MATCHALL " I __imp_[^\n]+" imports "${symbols}")
  list(TRANSFORM imports REPLACE "^ I __imp_" "")
  if(VWG_WIDTH EQUAL 32)
    list(TRANSFORM imports REPLACE "^_" "")
    set(kill_at --kill-at)
  else()
    set(kill_at)
  endif()
  list(REMOVE_DUPLICATES imports)
  list(JOIN imports "\n" exports)
  file(WRITE ${delay_dir}/${lib}.def "LIBRARY ${lib}.dll\nEXPORTS\n${exports}\n")
  execute_process(
    COMMAND ${CMAKE_DLLTOOL} --input-def ${lib}.def --dllname ${lib}.dll --output-delaylib lib${lib}.a ${kill_at}
    WORKING_DIRECTORY ${delay_dir} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
link_directories(BEFORE ${delay_dir})

# The release build of the Windows programs: what ships. Optimised, unused code and data
# dropped at link time, and the same bytes from the same sources wherever and whenever it is
# built: no build path inside (the source and build folders are renamed in debug information
# and in __FILE__), no time stamp in the PE header. The debug information is kept here; the
# ship step moves it beside the shipped folder and strips the programs.
set(zenthar_release_flags
    -ffunction-sections -fdata-sections
    # The source folder first, then the build folder inside it: the later map wins where both
    # match.
    -ffile-prefix-map=${CMAKE_SOURCE_DIR}=.
    -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
# GCC 12 at -O2 warns of a std::optional member "maybe used uninitialized" where it cannot be;
# the Windows builds turn warnings into errors.
list(APPEND zenthar_release_flags -Wno-maybe-uninitialized)
list(JOIN zenthar_release_flags " " zenthar_release_flags)
set(CMAKE_C_FLAGS_RELEASE "-O2 -g -DNDEBUG ${zenthar_release_flags}")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -g -DNDEBUG ${zenthar_release_flags}")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE "-Wl,--gc-sections -Wl,--no-insert-timestamp")
set(CMAKE_SHARED_LINKER_FLAGS_RELEASE "-Wl,--gc-sections -Wl,--no-insert-timestamp")
